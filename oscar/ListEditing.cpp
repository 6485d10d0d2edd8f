// The account's changes of the server-stored list and its authorisation
// requests: the model is changed first, then the commands go out on the BOS
// connection (event 29) as one bracket, in order.

#include "app/AppGlobals.h"
#include "oscar/IcqAccount.h"
#include "oscar/ListCommands.h"
#include "oscar/SessionEvents.h"
#include "oscar/SignOnCommands.h"
#include "oscar/UserInfo.h"

using oscar::CommandNumber;

void IcqAccount::Send(const RefPtr<oscar::FlapFrame>& frame)
{
    m_core.Post(MakeRef<oscar::SendFrameEvent>(EventType::SendBosFrame, frame));
}

// Each add, update and delete is remembered until the server acknowledges it,
// with the contacts an add carries, so that an add the server refuses for
// want of authorisation can be sent again (see OnlineHandler).
void IcqAccount::SendListItems(CommandNumber command, const std::vector<oscar::ServerListItem>& items,
                               std::vector<WideString> addedContacts)
{
    m_store->SentChanges().Sent(std::move(addedContacts));
    Send(oscar::BuildListItems(command, items));
}

void IcqAccount::Changed()
{
    SaveCache();
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

bool IcqAccount::AddContact(const WideString& uin, const WideString& nickname, std::uint16_t groupId,
                            bool noAuthorisationNeeded)
{
    if (!oscar::IsUinText(uin) || !m_session->IsOnline())
        return false;
    ContactStore& store = *m_store;
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<ContactGroup> group = store.FindGroup(groupId);
    if (groupId != 0 && !group)
        return false;
    RefPtr<Contact> contact = store.FindContact(uin);
    if (contact && contact->itemId != 0)
        return false;  // already on the list
    if (!contact)
        contact = store.AddContact(MakeRef<Contact>(uin));
    contact->itemId = store.NewItemId();
    store.SetNickname(contact, nickname);
    contact->notAuthorised = !noAuthorisationNeeded;
    store.SetGroup(contact, groupId);
    Changed();

    Send(oscar::BuildAddToClientList({uin}));
    Send(oscar::BuildChangesBegin());
    SendListItems(CommandNumber::ListAddItem, {oscar::ContactItem(*contact)}, {contact->uin});
    if (group)
        SendListItems(CommandNumber::ListUpdateItem, {oscar::GroupItem(*group)});
    Send(oscar::BuildChangesEnd());
    return true;
}

bool IcqAccount::MoveContact(const WideString& uin, std::uint16_t groupId)
{
    if (!m_session->IsOnline())
        return false;
    ContactStore& store = *m_store;
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<Contact> contact = store.FindContact(uin);
    RefPtr<ContactGroup> target = store.FindGroup(groupId);
    if (!contact || contact->itemId == 0 || !target || contact->groupId == groupId)
        return false;
    RefPtr<ContactGroup> source = store.FindGroup(contact->groupId);
    Send(oscar::BuildChangesBegin());
    SendListItems(CommandNumber::ListDeleteItem, {oscar::ContactItem(*contact)});
    contact->itemId = store.NewItemId();
    store.SetGroup(contact, groupId);
    Changed();
    SendListItems(CommandNumber::ListAddItem, {oscar::ContactItem(*contact)}, {contact->uin});
    std::vector<oscar::ServerListItem> groups;
    if (source)
        groups.push_back(oscar::GroupItem(*source));
    groups.push_back(oscar::GroupItem(*target));
    SendListItems(CommandNumber::ListUpdateItem, groups);
    Send(oscar::BuildChangesEnd());
    return true;
}

// The contact's new item goes out with the add command (0x13/0x08) and its
// group's item is updated, as for an add from the information window: a
// server holds an item only once it was added, and the group's member list
// is what makes the contact appear in that group at the next sign-on.
bool IcqAccount::AddToList(const WideString& uin)
{
    if (!m_session->IsOnline())
        return false;
    ContactStore& store = *m_store;
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<Contact> contact = store.FindContact(uin);
    if (!contact || contact->itemId != 0)
        return false;
    contact->itemId = store.NewItemId();
    Changed();
    Send(oscar::BuildAddToClientList({uin}));
    Send(oscar::BuildChangesBegin());
    SendListItems(CommandNumber::ListAddItem, {oscar::ContactItem(*contact)}, {contact->uin});
    if (RefPtr<ContactGroup> group = store.FindGroup(contact->groupId))
        SendListItems(CommandNumber::ListUpdateItem, {oscar::GroupItem(*group)});
    Send(oscar::BuildChangesEnd());
    return true;
}

bool IcqAccount::DeleteContact(const WideString& uin)
{
    ContactStore& store = *m_store;
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<Contact> contact = store.FindContact(uin);
    if (!contact)
        return false;
    if (contact->itemId != 0) {
        if (!m_session->IsOnline())
            return false;
        RefPtr<ContactGroup> group = store.FindGroup(contact->groupId);
        Send(oscar::BuildChangesBegin());
        SendListItems(CommandNumber::ListDeleteItem, {oscar::ContactItem(*contact)});
        store.SetGroup(contact, 0);
        if (group)
            SendListItems(CommandNumber::ListUpdateItem, {oscar::GroupItem(*group)});
        Send(oscar::BuildChangesEnd());
    }
    store.RemoveContact(uin);
    Changed();
    return true;
}

bool IcqAccount::RenameContact(const WideString& uin, const WideString& nickname, bool noAuthorisationNeeded)
{
    ContactStore& store = *m_store;
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<Contact> contact = store.FindContact(uin);
    if (!contact)
        return false;
    store.SetNickname(contact, nickname);
    if (noAuthorisationNeeded)
        contact->notAuthorised = false;
    Changed();
    if (contact->itemId != 0 && m_session->IsOnline()) {
        Send(oscar::BuildChangesBegin());
        SendListItems(CommandNumber::ListUpdateItem, {oscar::ContactItem(*contact)});
        Send(oscar::BuildChangesEnd());
    }
    return true;
}

bool IcqAccount::RequestAuthorisation(const WideString& uin, const WideString& reason)
{
    if (uin.empty() || !m_session->IsOnline())
        return false;
    Send(oscar::BuildAuthorisationRequest(uin, reason, static_cast<UINT>(app::ProcessCodePage())));
    return true;
}

bool IcqAccount::GrantAuthorisation(const WideString& uin)
{
    if (uin.empty() || !m_session->IsOnline())
        return false;
    if (RefPtr<Contact> contact = m_store->FindContact(uin))
        m_store->SetAuthorisationRequested(contact, false);
    Send(oscar::BuildAuthorisationGrant(uin, u"", static_cast<UINT>(app::ProcessCodePage())));
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
    return true;
}
