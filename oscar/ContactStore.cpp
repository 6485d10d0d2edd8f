#include "oscar/ContactStore.h"

#include <algorithm>
#include <set>

#include "oscar/TlvBlock.h"
#include "oscar/codec/TextCodec.h"

namespace {

constexpr DWORD kMarkLifetimeMilliseconds = 5 * 60 * 1000;

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
    for (const RefPtr<Contact>& contact : m_contacts) {
        if (contact->uin == uin)
            return contact;
    }
    return nullptr;
}

RefPtr<Contact> ContactStore::AddContact(const RefPtr<Contact>& contact)
{
    platform::CriticalSectionLock guard(m_lock);
    if (RefPtr<Contact> existing = FindContact(contact->uin))
        return existing;
    m_contacts.push_back(contact);
    PutInGroup(contact, contact->groupId);
    return contact;
}

void ContactStore::RemoveContact(const WideString& uin)
{
    platform::CriticalSectionLock guard(m_lock);
    for (const RefPtr<ContactGroup>& group : m_groups)
        std::erase_if(group->contacts, [&](const RefPtr<Contact>& c) { return c->uin == uin; });
    std::erase_if(m_contacts, [&](const RefPtr<Contact>& c) { return c->uin == uin; });
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
                m_contacts.push_back(contact);
            }
            if (!nickname.empty())
                contact->nickname = nickname;
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

void ContactStore::ClearExpiredMarks(DWORD now)
{
    platform::CriticalSectionLock guard(m_lock);
    for (const RefPtr<Contact>& contact : m_contacts) {
        if (contact->mark && now - contact->markTick >= kMarkLifetimeMilliseconds)
            contact->mark = false;
    }
}
