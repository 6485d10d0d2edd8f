#include "tools/oscar-server/ServerList.h"

#include <algorithm>

#include "tools/oscar-server/Accounts.h"

namespace oscarserver {

ServerList ServerList::Initial(std::uint32_t owner, std::uint32_t now)
{
    ServerList list;
    list.date = now;
    const bool withEcho = owner != kEchoUin;

    ListItem master;
    master.type = kItemGroup;
    master.data = Writer().TlvU16(0x00C8, 1).Take();
    list.items.push_back(master);

    ListItem general;
    general.name = "General";
    general.groupId = 1;
    general.type = kItemGroup;
    general.data = withEcho ? Writer().TlvU16(0x00C8, 1).Take() : Writer().Tlv(0x00C8, ByteView()).Take();
    list.items.push_back(general);

    ListItem privacy;
    privacy.itemId = 2;
    privacy.type = kItemPrivacy;
    privacy.data = Writer().TlvU8(0x00CA, kPrivacyAllowAll).TlvU32(0x00CB, 0xFFFFFFFF).Take();
    list.items.push_back(privacy);

    if (withEcho) {
        ListItem echo;
        echo.name = std::to_string(kEchoUin);
        echo.groupId = 1;
        echo.itemId = 1;
        echo.type = kItemContact;
        echo.data = Writer().Tlv(0x0131, "Echo").Take();
        list.items.push_back(echo);
    }
    return list;
}

ListItem* ServerList::Find(std::uint16_t groupId, std::uint16_t itemId)
{
    for (ListItem& item : items) {
        if (item.groupId == groupId && item.itemId == itemId)
            return &item;
    }
    return nullptr;
}

const ListItem* ServerList::Find(std::uint16_t groupId, std::uint16_t itemId) const
{
    return const_cast<ServerList*>(this)->Find(groupId, itemId);
}

bool ServerList::Names(std::uint16_t type, std::uint32_t uin) const
{
    const std::string text = std::to_string(uin);
    return std::any_of(items.begin(), items.end(),
                       [&](const ListItem& item) { return item.type == type && item.name == text; });
}

std::uint8_t ServerList::Privacy() const
{
    for (const ListItem& item : items) {
        if (item.type != kItemPrivacy)
            continue;
        Reader reader(item.data);
        std::vector<Tlv> tlvs;
        ReadTlvs(reader, tlvs);
        const Tlv* value = FindTlv(tlvs, 0x00CA);
        if (value != nullptr && !value->value.empty())
            return value->value[0];
    }
    return kPrivacyAllowAll;
}

void ServerList::Touch(std::uint32_t now) { date = std::max(now, date + 1); }

void ServerList::EncodeItem(Writer& writer, const ListItem& item)
{
    const std::string_view name = std::string_view(item.name).substr(0, 0xFFFF);
    writer.U16(static_cast<std::uint16_t>(name.size())).Append(name);
    writer.U16(item.groupId).U16(item.itemId).U16(item.type);
    const ByteView data = ByteView(item.data).first(std::min<std::size_t>(item.data.size(), 0xFFFF));
    writer.U16(static_cast<std::uint16_t>(data.size())).Append(data);
}

bool ServerList::DecodeItem(Reader& reader, ListItem& item)
{
    std::uint16_t nameLength = 0;
    std::uint16_t dataLength = 0;
    ByteView name;
    ByteView data;
    ListItem decoded;
    if (!reader.U16(nameLength) || !reader.Take(nameLength, name) || !reader.U16(decoded.groupId) ||
        !reader.U16(decoded.itemId) || !reader.U16(decoded.type) || !reader.U16(dataLength) ||
        !reader.Take(dataLength, data))
        return false;
    decoded.name = Text(name);
    decoded.data.assign(data.begin(), data.end());
    item = std::move(decoded);
    return true;
}

std::vector<Bytes> ServerList::EncodeParts(std::size_t maxPartBytes) const
{
    std::vector<Bytes> parts;
    std::size_t next = 0;
    do {
        Writer body;
        std::uint16_t count = 0;
        while (next < items.size()) {
            Writer one;
            EncodeItem(one, items[next]);
            if (count > 0 && body.Size() + one.Size() > maxPartBytes)
                break;
            body.Append(one.Data());
            ++count;
            ++next;
        }
        Writer part;
        part.U8(0).U16(count).Append(body.Data()).U32(date);
        parts.push_back(part.Take());
    } while (next < items.size());
    return parts;
}

}  // namespace oscarserver
