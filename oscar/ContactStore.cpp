#include "oscar/ContactStore.h"

#include <algorithm>
#include <set>

#include "oscar/ContactOrder.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/TlvBlock.h"
#include "platform/base/Clock.h"

namespace {

using oscar::SortsBefore;

constexpr DWORD kMarkLifetimeMilliseconds = 5 * 60 * 1000;
constexpr std::uint16_t kFirstItemId = 50;

WideString FromUtf8(const std::string& bytes)
{
    return oscar::Utf8ToWide(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace

ContactStore::ContactStore() { InitializeCriticalSection(&m_lock); }

ContactStore::~ContactStore() { DeleteCriticalSection(&m_lock); }

RefPtr<Contact> ContactStore::FindContact(const WideString& uin)
{
    platform::CriticalSectionLock guard(m_lock);
    auto found = m_byUin.find(uin);
    return found == m_byUin.end() ? nullptr : found->second;
}

RefPtr<Contact> ContactStore::AddContact(const RefPtr<Contact>& contact)
{
    platform::CriticalSectionLock guard(m_lock);
    if (RefPtr<Contact> existing = FindContact(contact->uin))
        return existing;
    InsertSorted(contact);
    PutInGroup(contact, contact->groupId);
    return contact;
}

void ContactStore::RemoveContact(const WideString& uin)
{
    platform::CriticalSectionLock guard(m_lock);
    for (const RefPtr<ContactGroup>& group : m_groups)
        std::erase_if(group->contacts, [&](const RefPtr<Contact>& c) { return c->uin == uin; });
    std::erase_if(m_contacts, [&](const RefPtr<Contact>& c) { return c->uin == uin; });
    m_byUin.erase(uin);
}

RefPtr<ContactGroup> ContactStore::FindGroup(std::uint16_t id)
{
    platform::CriticalSectionLock guard(m_lock);
    for (const RefPtr<ContactGroup>& group : m_groups) {
        if (group->id == id)
            return group;
    }
    return nullptr;
}

RefPtr<ContactGroup> ContactStore::AddGroup(std::uint16_t id, const WideString& name)
{
    platform::CriticalSectionLock guard(m_lock);
    if (id == 0)
        return nullptr;
    if (RefPtr<ContactGroup> existing = FindGroup(id))
        return existing;
    auto group = MakeRef<ContactGroup>(id, name);
    m_groups.push_back(group);
    return group;
}

void ContactStore::RemoveGroup(std::uint16_t id)
{
    platform::CriticalSectionLock guard(m_lock);
    std::erase_if(m_groups, [id](const RefPtr<ContactGroup>& g) { return g->id == id; });
}

void ContactStore::PutInGroup(const RefPtr<Contact>& contact, std::uint16_t groupId)
{
    for (const RefPtr<ContactGroup>& group : m_groups)
        std::erase_if(group->contacts, [&](const RefPtr<Contact>& c) { return c == contact; });
    contact->groupId = groupId;
    if (RefPtr<ContactGroup> group = FindGroup(groupId))
        group->contacts.push_back(contact);
}

void ContactStore::InsertSorted(const RefPtr<Contact>& contact)
{
    auto place = std::upper_bound(m_contacts.begin(), m_contacts.end(), contact,
                                  [](const RefPtr<Contact>& a, const RefPtr<Contact>& b) { return SortsBefore(*a, *b); });
    m_contacts.insert(place, contact);
    m_byUin[contact->uin] = contact;
}

template <typename Change>
void ContactStore::Reposition(const RefPtr<Contact>& contact, Change change)
{
    platform::CriticalSectionLock guard(m_lock);
    auto before = [](const RefPtr<Contact>& a, const RefPtr<Contact>& b) { return SortsBefore(*a, *b); };
    // The list is sorted, so the contact is found by a binary search; a
    // linear search stands behind it in case a field was changed in place.
    auto it = std::lower_bound(m_contacts.begin(), m_contacts.end(), contact, before);
    while (it != m_contacts.end() && *it != contact && !before(contact, *it))
        ++it;
    if (it == m_contacts.end() || *it != contact)
        it = std::find(m_contacts.begin(), m_contacts.end(), contact);
    bool listed = it != m_contacts.end();
    if (listed)
        m_contacts.erase(it);
    change(*contact);
    if (listed)
        InsertSorted(contact);
}

void ContactStore::SetStatus(const RefPtr<Contact>& contact, std::int32_t status)
{
    Reposition(contact, [status](Contact& c) { c.status = status; });
}

void ContactStore::SetAuthorisationRequested(const RefPtr<Contact>& contact, bool requested)
{
    Reposition(contact, [requested](Contact& c) { c.authorisationRequested = requested; });
}

void ContactStore::SetMark(const RefPtr<Contact>& contact, bool mark, DWORD tick)
{
    Reposition(contact, [mark, tick](Contact& c) {
        c.mark = mark;
        c.markTick = tick;
    });
}

void ContactStore::SetUnread(const RefPtr<Contact>& contact, bool unread)
{
    Reposition(contact, [unread](Contact& c) { c.unread = unread; });
}

void ContactStore::SetTyping(const RefPtr<Contact>& contact, bool typing)
{
    Reposition(contact, [typing](Contact& c) { c.typing = typing; });
}

void ContactStore::SetNickname(const RefPtr<Contact>& contact, const WideString& nickname)
{
    Reposition(contact, [&nickname](Contact& c) { c.nickname = nickname; });
}

void ContactStore::SetCachedText(const RefPtr<Contact>& contact, const WideString& text)
{
    platform::CriticalSectionLock guard(m_lock);
    // Another text is another message: it gets a cookie of its own.
    if (text != contact->cachedText)
        contact->cachedTextCookie.reset();
    contact->cachedText = text;
    if (!text.empty())
        SetMark(contact, true, GetTickCount());
}

void ContactStore::SetGroup(const RefPtr<Contact>& contact, std::uint16_t groupId)
{
    platform::CriticalSectionLock guard(m_lock);
    PutInGroup(contact, groupId);
}

std::uint16_t ContactStore::NewItemId()
{
    platform::CriticalSectionLock guard(m_lock);
    std::set<std::uint16_t> used;
    for (const RefPtr<Contact>& contact : m_contacts)
        used.insert(contact->itemId);
    for (std::uint32_t id = kFirstItemId; id <= 0xFFFF; ++id) {
        if (used.count(static_cast<std::uint16_t>(id)) == 0)
            return static_cast<std::uint16_t>(id);
    }
    return 0;
}

RefPtr<Contact> ContactStore::FindOrCreateContact(const WideString& uin, bool& created)
{
    created = false;
    if (uin.empty())
        return nullptr;
    platform::CriticalSectionLock guard(m_lock);
    if (RefPtr<Contact> existing = FindContact(uin))
        return existing;
    auto contact = MakeRef<Contact>(uin);
    InsertSorted(contact);
    created = true;
    return contact;
}

std::vector<RefPtr<Contact>> ContactStore::Contacts()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_contacts;
}

std::vector<RefPtr<ContactGroup>> ContactStore::Groups()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_groups;
}

std::vector<WideString> ContactStore::Uins()
{
    platform::CriticalSectionLock guard(m_lock);
    std::vector<WideString> uins;
    uins.reserve(m_contacts.size());
    for (const RefPtr<Contact>& contact : m_contacts)
        uins.push_back(contact->uin);
    return uins;
}

void ContactStore::ApplyServerList(const std::vector<oscar::ServerListItem>& items, std::uint32_t date)
{
    platform::CriticalSectionLock guard(m_lock);
    m_privacyItemId = 0;
    m_listDate = date;
    m_listCount = static_cast<std::uint16_t>(std::min<std::size_t>(items.size(), 0xFFFF));
    std::set<WideString> seenContacts;
    std::set<std::uint16_t> seenGroups;
    std::vector<std::pair<RefPtr<Contact>, std::uint16_t>> placements;
    for (const oscar::ServerListItem& item : items) {
        std::vector<oscar::TlvView> data = oscar::ReadTlvBlock(item.data);
        if (item.type == oscar::ItemType::Contact) {
            WideString uin = FromUtf8(item.name);
            if (uin.empty())
                continue;
            WideString nickname;
            if (auto nick = oscar::FindTlv(data, oscar::kItemNickname); nick && !nick->value.empty())
                nickname = oscar::Utf8ToWide(nick->value);
            RefPtr<Contact> contact = FindContact(uin);
            if (!contact) {
                contact = MakeRef<Contact>(uin);
                InsertSorted(contact);
            }
            if (!nickname.empty())
                SetNickname(contact, nickname);
            contact->itemId = item.itemId;
            contact->notAuthorised = oscar::FindTlv(data, oscar::kItemAwaitingAuthorisation).has_value();
            placements.emplace_back(contact, item.groupId);
            seenContacts.insert(uin);
        } else if (item.type == oscar::ItemType::Group && item.groupId != 0) {
            RefPtr<ContactGroup> group = AddGroup(item.groupId, FromUtf8(item.name));
            group->name = FromUtf8(item.name);
            seenGroups.insert(item.groupId);
        } else if (item.type == oscar::ItemType::Privacy) {
            m_privacyItemId = item.itemId;
            if (auto value = oscar::FindTlv(data, oscar::kItemPrivacyValue); value && !value->value.empty())
                m_privacyValue = value->value[0];
        }
    }
    std::erase_if(m_groups, [&](const RefPtr<ContactGroup>& g) { return seenGroups.count(g->id) == 0; });
    for (const RefPtr<Contact>& contact : m_contacts) {
        if (seenContacts.count(contact->uin) == 0) {
            contact->groupId = 0;
            contact->itemId = 0;
        }
    }
    // Groups are known only now (a group item may follow its members).
    for (auto& [contact, groupId] : placements)
        PutInGroup(contact, groupId);
}

std::uint32_t ContactStore::ListDate()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_listDate;
}

std::uint16_t ContactStore::ListCount()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_listCount;
}

void ContactStore::SetListDateAndCount(std::uint32_t date, std::uint16_t count)
{
    platform::CriticalSectionLock guard(m_lock);
    m_listDate = date;
    m_listCount = count;
}

std::uint16_t ContactStore::PrivacyItemId()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_privacyItemId;
}

std::uint8_t ContactStore::PrivacyValue()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_privacyValue;
}

void ContactStore::SetPrivacyValue(std::uint8_t value)
{
    platform::CriticalSectionLock guard(m_lock);
    m_privacyValue = value;
}

bool ContactStore::SetAllOffline()
{
    platform::CriticalSectionLock guard(m_lock);
    std::vector<RefPtr<Contact>> changed;
    for (const RefPtr<Contact>& contact : m_contacts) {
        if (contact->status != OnlineStatus::Offline || contact->typing)
            changed.push_back(contact);
    }
    for (const RefPtr<Contact>& contact : changed) {
        SetStatus(contact, OnlineStatus::Offline);
        SetTyping(contact, false);
    }
    return !changed.empty();
}

bool ContactStore::ExpireMarks(DWORD now)
{
    platform::CriticalSectionLock guard(m_lock);
    std::vector<RefPtr<Contact>> expired;
    for (const RefPtr<Contact>& contact : m_contacts) {
        if (contact->mark && now - contact->markTick >= kMarkLifetimeMilliseconds)
            expired.push_back(contact);
    }
    for (const RefPtr<Contact>& contact : expired)
        SetMark(contact, false, contact->markTick);
    return !expired.empty();
}
