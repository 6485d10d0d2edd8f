// The user-information and search screens the main window opens.
#include "ui/Screens.h"
#include "ui/SearchWindow.h"
#include "ui/UserInfoWindow.h"

namespace screens {

int OpenUserInfo(AppCore& core, HWND owner, const RefPtr<Contact>& contact)
{
    if (!contact)
        return 0;
    const WideString& name = contact->nickname.empty() ? contact->uin : contact->nickname;
    RefPtr<UserInfoWindow> window = MakeRef<UserInfoWindow>(core, contact->uin, false);
    return window->DoModal(name + u" info", 100, 100, owner) == 1 ? 1 : 0;
}

int OpenSearch(AppCore& core, HWND owner)
{
    RefPtr<SearchWindow> window = MakeRef<SearchWindow>(core);
    return window->DoModal(u"Search", 100, 100, owner) == 1 ? 1 : 0;
}

}  // namespace screens
