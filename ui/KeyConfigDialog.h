// KeyConfigDialog ("Toolbar config"): one row per number key and one for
// the left soft key, each a spinner list of the ten actions. "OK" stores
// the choices, saves the settings and announces the change.
#pragma once

#include <array>

#include "app/AppCore.h"
#include "ui/framework/ControlWindows.h"
#include "ui/framework/DialogBase.h"

class KeyConfigDialog : public DialogBase {
public:
    static constexpr int kRows = 11;  // Key0 ... Key9, Left Key
    static constexpr int kFirstLabelId = 1000;
    static constexpr int kFirstListId = 1011;
    static constexpr int kFirstSpinId = 1022;

    explicit KeyConfigDialog(AppCore& core);

    const WCHAR* ClassName() const override { return u"KeyConfigDialog"; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~KeyConfigDialog() override = default;

private:
    std::int32_t CurrentValue(int row);
    void Store();

    AppCore& m_core;
    std::array<RefPtr<ListBoxWindow>, kRows> m_lists;
};

// Runs the dialog over `owner`; 1 when the choices were stored.
int RunKeyConfigDialog(AppCore& core, HWND owner);
