// The two screens of "Plugin Setup". The first places the "Corvane" row
// among the other rows of the home screen; the second sets how the row looks.
// Both edit one PluginPlacement, which outlives them, so that going back and
// forth keeps what the user entered.
#pragma once

#include <vector>

#include "home/SchemeBuilder.h"
#include "ui/framework/DialogBase.h"

namespace home {

// "Cancel" (2003) ends with 0, "Next" (41408) with 1.
class PluginConfigDlg1 : public DialogBase {
public:
    static constexpr int kListId = 1001;

    PluginConfigDlg1(std::vector<WideString> otherPlugins, PluginPlacement& placement);

    const WCHAR* ClassName() const override { return u"PluginConfigDlg1"; }
    UINT MenuBarId() const override { return 1541; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~PluginConfigDlg1() override = default;

private:
    // Moves the "Corvane" line to the line the user picked.
    void MoveOwnLine();

    std::vector<WideString> m_otherPlugins;
    PluginPlacement& m_placement;
};

// "Previous" (41409) ends with kBack, "Done" (41410) with 1; both keep the
// values shown in the placement.
class PluginConfigDlg2 : public DialogBase {
public:
    // Apart from IDCANCEL (2), with which a closed dialog ends.
    static constexpr INT_PTR kBack = 3;
    static constexpr int kAutoHideId = 1000;
    static constexpr int kHeightId = 1002;
    static constexpr int kBorderId = 1004;
    // The height field keeps at most this many digits.
    static constexpr std::size_t kMaxHeightChars = 4;

    explicit PluginConfigDlg2(PluginPlacement& placement);

    const WCHAR* ClassName() const override { return u"PluginConfigDlg2"; }
    UINT MenuBarId() const override { return 1542; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~PluginConfigDlg2() override = default;

private:
    void KeepValues();

    PluginPlacement& m_placement;
};

// Runs the two screens titled "Plugin Setup" until "Done" (true) or
// "Cancel" (false).
bool RunPluginSetupScreens(HWND owner, const std::vector<WideString>& otherPlugins, PluginPlacement& placement);

}  // namespace home
