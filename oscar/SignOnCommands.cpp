#include "oscar/SignOnCommands.h"

#include "oscar/ServerListItem.h"
#include "oscar/UserInfo.h"
#include "oscar/codec/ByteReader.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/Tlv.h"
#include "oscar/codec/TlvBlock.h"
#include "oscar/meta/MetaRequest.h"
#include "platform/base/WideString.h"
#include "platform/text/CodePage.h"

namespace oscar {
namespace {

constexpr std::uint8_t kRoastTable[16] = {0xF3, 0x26, 0x81, 0xC4, 0x39, 0x86, 0xDB, 0x92,
                                          0x71, 0xA3, 0xB9, 0xE6, 0x53, 0x7A, 0x95, 0x7C};

// Families the program uses and the versions it asks for.
constexpr std::uint16_t kFamilyVersions[][2] = {{0x0001, 4}, {0x0013, 4}, {0x0002, 1}, {0x0003, 1},
                                                {0x0015, 1}, {0x0004, 1}, {0x0009, 1}, {0x000B, 1}};

constexpr std::int32_t kRateParameterBlock = 35;

// The request ids the sign-on commands go out with. Servers copy a request's
// id into their answer; these commands are sent once per sign-on, so fixed
// ids suffice. Commands nobody waits an answer for carry none.
constexpr std::uint32_t kNoRequestId = 0;
constexpr std::uint32_t kFamilyVersionsRequestId = 0x17;
constexpr std::uint32_t kRateAckRequestId = 8;
constexpr std::uint32_t kMessagingParametersRequestId = 2;
constexpr std::uint32_t kListRequestId = 0x00010005;
constexpr std::uint32_t kPrivacyUpdateRequestId = 9;
constexpr std::uint32_t kSetStatusRequestId = 0x1E;

constexpr std::uint16_t kItemBosAddress = 0x0005;
constexpr std::uint16_t kItemCookie = 0x0006;
constexpr std::uint16_t kItemErrorCode = 0x0008;
constexpr std::uint16_t kItemDisconnectReason = 0x0009;
constexpr const char* kDefaultBosPort = "5190";

RefPtr<ByteBuffer> Bytes(std::string_view text)
{
    return ByteBuffer::CopyOf(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

RefPtr<ByteBuffer> RoastPassword(std::span<const std::uint8_t> password)
{
    auto roasted = MakeRef<ByteBuffer>();
    roasted->SetWipeOnRelease(true);
    for (std::size_t i = 0; i < password.size(); ++i)
        roasted->AppendU8(static_cast<std::uint8_t>(password[i] ^ kRoastTable[i % 16]));
    return roasted;
}

RefPtr<FlapFrame> BuildSignOnFrame(const WideString& uin, const WideString& password, UINT passwordCodePage)
{
    RefPtr<FlapFrame> frame = FlapFrame::SignOn();
    frame->AddItem(Tlv::FromWide(0x0001, uin, CP_ACP));
    RefPtr<ByteBuffer> plain = WideToBytes(password, passwordCodePage);
    if (!plain)
        plain = MakeRef<ByteBuffer>();
    plain->SetWipeOnRelease(true);
    frame->AddItem(Tlv::FromBuffer(0x0002, RoastPassword(plain->Bytes())));
    plain->Wipe();
    frame->AddItem(Tlv::FromWide(0x0003, kClientIdText, CP_ACP));
    frame->AddItem(Tlv::FromU16(0x0016, 0x010A));
    frame->AddItem(Tlv::FromU16(0x0017, 0x0005));
    frame->AddItem(Tlv::FromU16(0x0018, 0x0038));
    frame->AddItem(Tlv::FromU16(0x0019, 0x0001));
    frame->AddItem(Tlv::FromU16(0x001A, 0x0F4C));
    frame->AddItem(Tlv::FromU32(0x0014, 0x00000055));
    frame->AddItem(Tlv::FromBuffer(0x000F, Bytes("en")));
    frame->AddItem(Tlv::FromBuffer(0x000E, Bytes("us")));
    return frame;
}

RefPtr<FlapFrame> BuildCookieFrame(const RefPtr<ByteBuffer>& cookie)
{
    RefPtr<FlapFrame> frame = FlapFrame::SignOn();
    frame->AddItem(Tlv::FromBuffer(0x0006, cookie ? ByteBuffer::CopyOf(cookie->Bytes()) : MakeRef<ByteBuffer>()));
    return frame;
}

RefPtr<FlapFrame> BuildEmptySignOnFrame() { return MakeRef<FlapFrame>(kChannelSignOn); }

RefPtr<FlapFrame> BuildSnacFrame(CommandNumber number, std::uint32_t requestId, RefPtr<ByteBuffer> data)
{
    auto snac = MakeRef<SnacCommand>(number);
    snac->SetRequestId(requestId);
    snac->SetData(std::move(data));
    return FlapFrame::ForSnac(snac);
}

RefPtr<FlapFrame> BuildClientFamilyVersions()
{
    auto data = MakeRef<ByteBuffer>();
    for (const auto& pair : kFamilyVersions) {
        data->AppendU16(pair[0]);
        data->AppendU16(pair[1]);
    }
    return BuildSnacFrame(CommandNumber::ClientFamilyVersions, kFamilyVersionsRequestId, data);
}

RefPtr<FlapFrame> BuildRateAck(const std::vector<std::uint16_t>& classIds)
{
    auto data = MakeRef<ByteBuffer>();
    for (std::uint16_t id : classIds)
        data->AppendU16(id);
    return BuildSnacFrame(CommandNumber::RateLimitAck, kRateAckRequestId, data);
}

RefPtr<FlapFrame> BuildSetUserInfo(bool supportChannel2)
{
    auto capabilities = MakeRef<ByteBuffer>();
    for (const Capability& capability : AnnouncedCapabilities(supportChannel2))
        capabilities->Append(capability.data(), static_cast<std::int32_t>(capability.size()));
    RefPtr<ByteBuffer> item = Tlv::FromBuffer(0x0005, capabilities)->Serialise();
    return BuildSnacFrame(CommandNumber::SetUserInfo, kNoRequestId, ByteBuffer::CopyOf(item->Bytes()));
}

RefPtr<FlapFrame> BuildMessagingParameters(std::uint16_t channel, std::uint32_t flags)
{
    auto data = MakeRef<ByteBuffer>();
    data->AppendU16(channel);
    data->AppendU32(flags);
    data->AppendU16(0x1F40);  // maximum message size
    data->AppendU16(0x03E7);  // maximum sender warning level
    data->AppendU16(0x03E7);  // maximum receiver warning level
    data->AppendU32(0);       // minimum message interval
    return BuildSnacFrame(CommandNumber::SetMessagingParams, kMessagingParametersRequestId, data);
}

RefPtr<FlapFrame> BuildListRequest(std::uint32_t date, std::uint16_t count)
{
    auto data = MakeRef<ByteBuffer>();
    data->AppendU32(date);
    data->AppendU16(count);
    return BuildSnacFrame(CommandNumber::ListRequestWithCheck, kListRequestId, data);
}

RefPtr<FlapFrame> BuildPrivacyUpdate(std::uint16_t privacyItemId, std::uint8_t value)
{
    ServerListItem item;
    item.groupId = 0;
    item.itemId = privacyItemId;
    item.type = ItemType::Privacy;
    item.data = {0x00, 0xCA, 0x00, 0x01, value};
    auto data = MakeRef<ByteBuffer>();
    item.Write(*data);
    return BuildSnacFrame(CommandNumber::ListUpdateItem, kPrivacyUpdateRequestId, data);
}

RefPtr<FlapFrame> BuildSetStatus(std::int32_t status)
{
    auto data = MakeRef<ByteBuffer>();
    data->AppendU16(0x0006);
    data->AppendU16(4);
    data->AppendU16(OnlineStatus::kStatusFlags);
    data->AppendU16(static_cast<std::uint16_t>(status));
    data->AppendU16(0x000C);
    data->AppendU16(0x25);
    data->AppendU32(0);  // internal address
    data->AppendU32(0);  // port
    data->AppendU8(0);   // connection type
    data->AppendU16(8);  // protocol version
    data->AppendU32(0);  // connection cookie
    data->AppendU32(0);  // web port
    data->AppendU32(3);  // client features
    data->AppendU32(0);  // info update time
    data->AppendU32(0);  // extended info time
    data->AppendU32(0);  // extended status time
    data->AppendU16(0);
    return BuildSnacFrame(CommandNumber::SetStatus, kSetStatusRequestId, data);
}

RefPtr<FlapFrame> BuildAddToClientList(const std::vector<WideString>& uins)
{
    auto data = MakeRef<ByteBuffer>();
    for (const WideString& uin : uins)
        AppendLengthPrefixedUin(*data, uin);
    return BuildSnacFrame(CommandNumber::AddBuddies, kNoRequestId, data);
}

RefPtr<FlapFrame> BuildOfflineMessagesRequest(std::uint32_t ownUin)
{
    return BuildMetaRequestFrame(0x00020001, ownUin, kMetaRequestOffline, 2, {});
}

LoginReply ReadLoginReply(const FlapFrame& frame)
{
    LoginReply reply;
    RefPtr<Tlv> address = FindTlv(frame.Items(), kItemBosAddress);
    RefPtr<Tlv> cookie = FindTlv(frame.Items(), kItemCookie);
    if (address && cookie) {
        std::span<const std::uint8_t> bytes = address->Value()->Bytes();
        std::string text(bytes.begin(), bytes.end());
        std::size_t colon = text.rfind(':');
        reply.accepted = true;
        reply.host = colon == std::string::npos ? text : text.substr(0, colon);
        reply.port = colon == std::string::npos ? std::string() : text.substr(colon + 1);
        // An empty port would reach the resolver as port 0, which no
        // connection can use: the sign-on would fail and be retried for ever.
        if (reply.port.empty())
            reply.port = kDefaultBosPort;
        reply.cookie = ByteBuffer::CopyOf(cookie->Value()->Bytes());
        return reply;
    }
    for (std::uint16_t type : {kItemDisconnectReason, kItemErrorCode}) {
        if (RefPtr<Tlv> item = FindTlv(frame.Items(), type)) {
            if (std::optional<std::uint16_t> code = FirstU16(item->Value()->Bytes())) {
                reply.errorCode = *code;
                break;
            }
        }
    }
    return reply;
}

std::vector<std::uint16_t> ReadRateClassIds(std::span<const std::uint8_t> data)
{
    ByteReader reader(data);
    std::uint16_t classes = 0;
    if (!reader.ReadU16BE(classes) || classes == 0)
        return {};
    if (!reader.Skip(static_cast<std::size_t>(classes) * kRateParameterBlock))
        return {};
    std::vector<std::uint16_t> ids;
    for (std::uint16_t i = 0; i < classes; ++i) {
        std::uint16_t id = 0;
        std::uint16_t pairs = 0;
        if (!reader.ReadU16BE(id) || !reader.ReadU16BE(pairs) || !reader.Skip(static_cast<std::size_t>(pairs) * 4))
            break;
        ids.push_back(id);
    }
    return ids;
}

}  // namespace oscar
