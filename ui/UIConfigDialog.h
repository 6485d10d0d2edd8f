// The settings screen: the options of the contact list, chat, sound and
// vibration, the code page, and (through "Menu" > "Advanced") the use of
// message channel 2. "OK" stores what the user changed and ends with 1; the
// main window then tells the program (event 6).
#pragma once

#include "app/Settings.h"
#include "ui/framework/DialogBase.h"

class UIConfigDialog : public DialogBase {
public:
    static constexpr int kVibroCountId = 1003;
    static constexpr int kCodePageId = 1006;
    static constexpr WORD kCommandAdvanced = 41415;
    // The code page field keeps at most this many characters.
    static constexpr std::size_t kMaxCodePageChars = 29;

    UIConfigDialog();

    const WCHAR* ClassName() const override { return u"UIConfigDialog"; }
    UINT MenuBarId() const override { return 1544; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~UIConfigDialog() override = default;

private:
    void RunAdvanced();
    void Confirm();
    // The code page in the field; false (after a message) when the device
    // has no such code page.
    bool ReadCodePage(std::int32_t& codePage);

    RefPtr<Settings> m_shown;
    bool m_supportCh2 = true;
};
