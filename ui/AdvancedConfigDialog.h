// The advanced settings: whether ICQ message channel 2 is used. It works on
// a value its caller gives and hands back; the caller stores it.
#pragma once

#include "ui/framework/DialogBase.h"

class AdvancedConfigDialog : public DialogBase {
public:
    static constexpr int kDisableCh2Id = 1000;

    explicit AdvancedConfigDialog(bool supportCh2);

    const WCHAR* ClassName() const override { return u"AdvancedConfigDialog"; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

    // The value after "OK" (unchanged after "Cancel").
    bool SupportCh2() const { return m_supportCh2; }

protected:
    ~AdvancedConfigDialog() override = default;

private:
    bool m_supportCh2;
};
