// TextSmileWindow: the code picker for sets without pictures. A full-screen
// modal dialog with one list (control 1000) of every smiley's code in set
// order; "Insert" or the action key closes it with the highlighted smiley
// (with no line highlighted it stays open), "Cancel" or Back with nothing.
#pragma once

#include "skin/smiley/SmileySet.h"
#include "ui/framework/ControlWindows.h"
#include "ui/framework/DialogBase.h"

namespace skin {

class TextSmileWindow : public DialogBase {
public:
    static constexpr int kListId = 1000;
    static constexpr WORD kCommandInsert = 41407;
    static constexpr WORD kCommandCancel = 41403;

    explicit TextSmileWindow(RefPtr<SmileySet> set);

    const WCHAR* ClassName() const override { return u"TextSmileWindow"; }
    UINT MenuBarId() const override { return 1540; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;
    LRESULT OnChildKeyDown(WPARAM key, LPARAM keyData, HWND control, bool& handled) override;

    // The smiley the window was closed with; null after "Cancel".
    const RefPtr<Smiley>& Chosen() const { return m_chosen; }
    HWND List() const { return m_list ? m_list->Handle() : nullptr; }

protected:
    ~TextSmileWindow() override = default;

private:
    void Choose();

    RefPtr<SmileySet> m_set;
    RefPtr<MyListBoxWindow> m_list;
    RefPtr<Smiley> m_chosen;
};

}  // namespace skin
