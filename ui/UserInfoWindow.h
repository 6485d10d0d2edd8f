// UserInfoWindow: what the ICQ directory knows about one UIN, fetched when the
// window opens, with the contact's local nickname to edit and its group to
// choose. Soft keys: "Save" (or "Close" when opened from search results) and
// "Menu" with "Refresh" (or "Search"), "Add to group"/"Move to group" and
// "Cancel".
//
// The window ends with 1 when it changed the contact list (the caller then
// repaints its list) and with 0 otherwise.
#pragma once

#include <array>
#include <vector>

#include "app/AppCore.h"
#include "oscar/meta/DirectoryQuery.h"
#include "oscar/meta/DirectoryText.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/Items.h"

class UserInfoWindow : public DialogBase, public EventListener {
public:
    // Control ids: label 1200 + 2i and edit 1201 + 2i for field i, and the
    // status line below the notes.
    static constexpr int kFirstLabelId = 1200;
    static constexpr int kStatusId = 1224;
    // Commands of its soft keys and menu.
    static constexpr WORD kSave = 2004;
    static constexpr WORD kRefresh = 41401;
    static constexpr WORD kCancel = 41403;
    static constexpr WORD kFirstGroup = 41050;
    // A waiting request is given up after this much device time.
    static constexpr UINT kAnswerTimeout = 30000;
    static constexpr UINT kPollPeriod = 250;

    UserInfoWindow(AppCore& core, WideString uin, bool fromSearch);

    const WCHAR* ClassName() const override { return u"UserInfoWindow"; }
    UINT MenuBarId() const override { return 1536; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Interface stage: the answers of its own directory request.
    void OnEvent(const RefPtr<AppEvent>& event) override;

    // The edit of a field (null before the window exists).
    HWND FieldEdit(oscar::InfoField field) const;
    bool ContactListChanged() const { return m_changed; }

protected:
    ~UserInfoWindow() override;

private:
    void BuildLayout();
    void SetUpMenu();
    void Request();
    void CheckAnswer();
    void ShowSheet();
    void SetStatus(const WideString& text);
    void PutIntoGroup(std::size_t index);
    void Save();
    bool SignedOn() const;

    AppCore& m_core;
    WideString m_uin;
    bool m_fromSearch;
    RefPtr<oscar::DirectoryQuery> m_query;
    oscar::UserInfoSheet m_sheet;
    // A basic-information reply arrived (its authorisation flag is real).
    bool m_basicArrived = false;
    bool m_changed = false;
    bool m_listening = false;
    DWORD m_waitStart = 0;
    // The ids of the groups behind the group popup's commands, in order.
    std::vector<std::uint16_t> m_groupIds;
    std::array<RefPtr<TextBoxWindow>, oscar::kInfoFieldCount> m_edits;
    RefPtr<StaticWindow> m_status;
    WideString m_errorText;
};
