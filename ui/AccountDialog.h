// The account screen: whether the ICQ account is active, its UIN and its
// password. "OK" stores what the user changed and, when anything did, tells
// the program to set the account up again (event 47).
#pragma once

#include "app/AppCore.h"
#include "ui/framework/DialogBase.h"

class AccountDialog : public DialogBase {
public:
    static constexpr int kEnabledId = 1000;
    static constexpr int kUinId = 1002;
    static constexpr int kPasswordId = 1004;
    // Both fields keep at most this many characters.
    static constexpr std::size_t kMaxFieldChars = 59;

    explicit AccountDialog(AppCore& core);

    const WCHAR* ClassName() const override { return u"AccountDialog"; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~AccountDialog() override = default;

private:
    struct Values {
        bool enabled = false;
        WideString uin;
        WideString password;
    };

    Values ReadControls() const;
    // A message and false when the values cannot make a usable account.
    bool Check(const Values& values);
    void Confirm();

    AppCore& m_core;
    Values m_shown;
};
