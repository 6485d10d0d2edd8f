// The "Menu" and "User" pop-ups of the main window, rebuilt each time they
// open so that they offer what applies to the selected row and the
// session's state at that moment.
#include <iterator>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "platform/win/Menu.h"
#include "ui/MainSession.h"
#include "ui/MainWindow.h"

namespace {

// Items of "Menu" before the rebuilt part: "User", "Configuration", "About...".
constexpr int kMenuStaticItems = 3;
// Items of "User" before the rebuilt part: "Chat", "Info".
constexpr int kUserStaticItems = 2;

struct StatusItem {
    WORD command;
    const WCHAR* text;
};
constexpr StatusItem kStatusItems[] = {
    {41301, u"Online"},   {41302, u"Away"},          {41303, u"Not Available"}, {41304, u"Occupied"},
    {41305, u"Do Not Disturb"}, {41306, u"Free For Chat"}, {41307, u"Invisible"}, {41308, u"Offline"},
};

void DeleteFrom(HMENU menu, int first)
{
    while (GetMenuItemCount(menu) > first)
        DeleteMenu(menu, static_cast<UINT>(first), MF_BYPOSITION);
}

void Enable(HMENU menu, UINT position, bool enabled)
{
    EnableMenuItem(menu, position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void MainWindow::RebuildMenuPopup()
{
    AppCore& core = *app::Core();
    RefPtr<IcqAccount> account = mainsession::Account(core);
    RefPtr<Contact> selected = m_list ? m_list->SelectedContact() : RefPtr<Contact>();
    bool contactSelected = selected && account && account->Store().FindContact(selected->uin);
    Enable(m_menuPopup, 0, contactSelected || mainsession::LoggedIn(core));

    DeleteFrom(m_menuPopup, kMenuStaticItems);
    RefPtr<Settings> settings = core.GetSettings();
    settings->EnsureLoaded();
    if (!settings->icqEnabled)
        return;
    HMENU status = CreatePopupMenu();
    for (const StatusItem& item : kStatusItems)
        AppendMenuW(status, MF_STRING, item.command, item.text);
    if (!AppendMenuW(m_menuPopup, MF_POPUP, reinterpret_cast<UINT_PTR>(status), u"ICQ Status"))
        DestroyMenu(status);
}

void MainWindow::RebuildUserPopup()
{
    AppCore& core = *app::Core();
    // Deleting the group item destroys the group pop-up with it.
    DeleteFrom(m_userPopup, kUserStaticItems);
    m_groupPopup = nullptr;

    RefPtr<IcqAccount> account = mainsession::Account(core);
    RefPtr<Contact> contact = m_list ? m_list->SelectedContact() : RefPtr<Contact>();
    if (contact && account)
        contact = account->Store().FindContact(contact->uin);
    bool loggedIn = mainsession::LoggedIn(core);

    if (contact && loggedIn) {
        m_groupPopup = CreatePopupMenu();
        std::vector<RefPtr<ContactGroup>> groups = account->Store().Groups();
        for (std::size_t i = 0; i < groups.size() && maincommand::kGroupFirst + i <= maincommand::kGroupLast; ++i) {
            UINT command = static_cast<UINT>(maincommand::kGroupFirst + i);
            AppendMenuW(m_groupPopup, MF_STRING, command, groups[i]->name.c_str());
            MENUITEMINFOW data;
            data.fMask = MIIM_DATA;
            data.dwItemData = groups[i]->id;
            SetMenuItemInfoW(m_groupPopup, command, FALSE, &data);
        }
        const WCHAR* text = contact->itemId != 0 ? u"Move to group" : u"Add to group";
        if (!InsertMenuW(m_userPopup, kUserStaticItems, MF_BYPOSITION | MF_POPUP,
                         reinterpret_cast<UINT_PTR>(m_groupPopup), text)) {
            DestroyMenu(m_groupPopup);
            m_groupPopup = nullptr;
        }
    }
    Enable(m_userPopup, 0, contact && account && account->Session());
    Enable(m_userPopup, 1, static_cast<bool>(contact));

    if (contact && loggedIn) {
        if (contact->authorisationRequested)
            AppendMenuW(m_userPopup, MF_STRING, maincommand::kAuthorize, u"Authorize");
        if (contact->itemId == 0)
            AppendMenuW(m_userPopup, MF_STRING, maincommand::kAddToList, u"Add To List");
        if (contact->notAuthorised)
            AppendMenuW(m_userPopup, MF_STRING, maincommand::kRequestAuth, u"Request Auth");
        AppendMenuW(m_userPopup, MF_STRING, maincommand::kDelete, u"Delete");
    }
    if (loggedIn) {
        AppendMenuW(m_userPopup, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(m_userPopup, MF_STRING, maincommand::kFindUser, u"Find ICQ User");
    }
}
