// Opening a contact's chat window: the open one brought up, or a new one.
#include "ui/ChatWindow.h"
#include "ui/OpenChats.h"
#include "ui/Screens.h"

namespace screens {

void OpenChat(AppCore& core, const RefPtr<Contact>& contact)
{
    if (!contact)
        return;
    if (HWND open = openchats::Find(contact->uin); open != nullptr) {
        ShowWindow(open, SW_SHOW);
        SetForegroundWindow(open);
        return;
    }
    auto window = MakeRef<ICQ_ChatWindow>(core, contact);
    HWND created = window->Create(contact->uin.c_str(), 0);
    if (created == nullptr)
        return;
    ShowWindow(created, SW_SHOW);
    SetForegroundWindow(created);
    UpdateWindow(created);
}

}  // namespace screens
