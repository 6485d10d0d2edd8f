#include "oscar/ListCommands.h"

#include "oscar/SignOnCommands.h"
#include "oscar/UserInfo.h"
#include "oscar/codec/TextCodec.h"
#include "platform/base/WideString.h"

namespace oscar {
namespace {

void AppendItem(std::vector<std::uint8_t>& data, std::uint16_t type, std::span<const std::uint8_t> value)
{
    data.push_back(static_cast<std::uint8_t>(type >> 8));
    data.push_back(static_cast<std::uint8_t>(type));
    data.push_back(static_cast<std::uint8_t>(value.size() >> 8));
    data.push_back(static_cast<std::uint8_t>(value.size()));
    data.insert(data.end(), value.begin(), value.end());
}

std::vector<std::uint8_t> Utf8Bytes(const WideString& text)
{
    std::string utf8 = platform::WideToUtf8(text);
    // The item's length field has 16 bits; a longer text is cut at a
    // character boundary rather than written with a wrong length.
    if (utf8.size() > 0xFFFF) {
        std::size_t cut = 0xFFFF;
        while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
            --cut;
        utf8.resize(cut);
    }
    return {utf8.begin(), utf8.end()};
}

bool AppendReason(ByteBuffer& out, const WideString& reason, UINT codePage)
{
    RefPtr<ByteBuffer> bytes = WideToBytes(reason, codePage);
    std::int32_t size = bytes ? std::min<std::int32_t>(bytes->Size(), 0xFFFF) : 0;
    return out.AppendU16(static_cast<std::uint16_t>(size)) && (size == 0 || out.Append(bytes->Data(), size));
}

}  // namespace

ServerListItem ContactItem(const Contact& contact)
{
    ServerListItem item;
    std::vector<std::uint8_t> name = Utf8Bytes(contact.uin);
    item.name.assign(name.begin(), name.end());
    item.groupId = contact.groupId;
    item.itemId = contact.itemId;
    item.type = ItemType::Contact;
    if (contact.notAuthorised)
        AppendItem(item.data, kItemAwaitingAuthorisation, {});
    if (!contact.nickname.empty())
        AppendItem(item.data, kItemNickname, Utf8Bytes(contact.nickname));
    return item;
}

ServerListItem GroupItem(const ContactGroup& group)
{
    ServerListItem item;
    std::vector<std::uint8_t> name = Utf8Bytes(group.name);
    item.name.assign(name.begin(), name.end());
    item.groupId = group.id;
    item.itemId = 0;
    item.type = ItemType::Group;
    std::vector<std::uint8_t> members;
    for (const RefPtr<Contact>& contact : group.contacts) {
        if (contact->itemId == 0 || members.size() + 2 > 0xFFFF)
            continue;
        members.push_back(static_cast<std::uint8_t>(contact->itemId >> 8));
        members.push_back(static_cast<std::uint8_t>(contact->itemId));
    }
    AppendItem(item.data, kItemGroupMembers, members);
    return item;
}

RefPtr<FlapFrame> BuildListItems(CommandNumber command, const std::vector<ServerListItem>& items,
                                 std::uint32_t requestId)
{
    auto data = MakeRef<ByteBuffer>();
    for (const ServerListItem& item : items)
        item.Write(*data);
    return BuildSnacFrame(command, requestId, data);
}

RefPtr<FlapFrame> BuildChangesBegin() { return BuildSnacFrame(CommandNumber::ListChangesBegin, 0); }

RefPtr<FlapFrame> BuildChangesEnd() { return BuildSnacFrame(CommandNumber::ListChangesEnd, 0); }

RefPtr<FlapFrame> BuildAuthorisationRequest(const WideString& uin, const WideString& reason, UINT codePage)
{
    auto data = MakeRef<ByteBuffer>();
    AppendLengthPrefixedUin(*data, uin);
    AppendReason(*data, reason, codePage);
    data->AppendU16(0);
    return BuildSnacFrame(CommandNumber::AuthRequestSend, 0, data);
}

RefPtr<FlapFrame> BuildAuthorisationGrant(const WideString& uin, const WideString& reason, UINT codePage)
{
    auto data = MakeRef<ByteBuffer>();
    AppendLengthPrefixedUin(*data, uin);
    data->AppendU8(1);
    AppendReason(*data, reason, codePage);
    return BuildSnacFrame(CommandNumber::AuthReplySend, 0, data);
}

}  // namespace oscar
