#include "oscar/messaging/MessageCommands.h"

#include <random>
#include <vector>

#include "oscar/SignOnCommands.h"
#include "oscar/UserInfo.h"
#include "oscar/meta/MetaRequest.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/sync/Sync.h"

namespace oscar {
namespace {

constexpr std::uint16_t kItemMessageData = 0x0002;
constexpr std::uint16_t kItemRequestAck = 0x0003;
constexpr std::uint16_t kItemStoreMessage = 0x0006;

}  // namespace

std::uint64_t NewMessageCookie()
{
    static CRITICAL_SECTION lock;
    static std::minstd_rand generator(GetTickCount());
    platform::CriticalSectionLock guard(lock);
    std::uint64_t cookie = 0;
    for (int i = 0; i < 4; ++i)
        cookie += static_cast<std::uint64_t>(generator() % 0x8000) << (16 * i);
    return cookie;
}

RefPtr<FlapFrame> BuildSendMessage(std::uint64_t cookie, const WideString& uin, const OutgoingText& text,
                                   Confirmation confirmation)
{
    if (!text.bytes)
        return nullptr;
    const bool unicode = text.Unicode();
    text.bytes->SetWipeOnRelease(true);
    // Features fragment, then the text fragment (id 1, version 1).
    static const std::uint8_t kFeatures8Bit[] = {0x05, 0x01, 0x00, 0x01, 0x01};
    static const std::uint8_t kFeaturesUnicode[] = {0x05, 0x01, 0x00, 0x02, 0x01, 0x06};
    std::span<const std::uint8_t> features =
        unicode ? std::span<const std::uint8_t>(kFeaturesUnicode) : std::span<const std::uint8_t>(kFeatures8Bit);
    std::int64_t itemLength = static_cast<std::int64_t>(features.size()) + 8 + text.bytes->Size();
    if (itemLength > 0xFFFF)
        return nullptr;

    auto data = MakeRef<ByteBuffer>();
    data->SetWipeOnRelease(true);
    data->AppendU32(static_cast<std::uint32_t>(cookie >> 32));
    data->AppendU32(static_cast<std::uint32_t>(cookie));
    data->AppendU16(1);
    if (!AppendLengthPrefixedUin(*data, uin))
        return nullptr;
    data->AppendU16(kItemMessageData);
    data->AppendU16(static_cast<std::uint16_t>(itemLength));
    data->Append(features);
    data->AppendU8(0x01);
    data->AppendU8(0x01);
    data->AppendU16(static_cast<std::uint16_t>(text.bytes->Size() + 4));
    data->AppendU16(text.charset);
    data->AppendU16(0x0000);
    data->Append(text.bytes->Bytes());
    if (confirmation == Confirmation::Acknowledged) {
        // Servers acknowledge a message (0x04/0x0C) only when the sender asks
        // with the empty item 0x0003; 0x0006 asks them to keep it for a
        // recipient who is offline.
        data->AppendU16(kItemRequestAck);
        data->AppendU16(0);
        data->AppendU16(kItemStoreMessage);
        data->AppendU16(0);
    }
    return BuildSnacFrame(CommandNumber::SendMessage, 0, data);
}

RefPtr<FlapFrame> BuildTypingNotification(const WideString& uin, TypingState state)
{
    auto data = MakeRef<ByteBuffer>();
    data->AppendU32(0);
    data->AppendU32(0);
    data->AppendU16(1);
    AppendLengthPrefixedUin(*data, uin);
    data->AppendU16(static_cast<std::uint16_t>(state));
    return BuildSnacFrame(CommandNumber::TypingNotification, 0, data);
}

RefPtr<FlapFrame> BuildChannelTwoReply(const ChannelTwoReply& reply)
{
    auto data = MakeRef<ByteBuffer>();
    data->AppendU32(static_cast<std::uint32_t>(reply.cookie >> 32));
    data->AppendU32(static_cast<std::uint32_t>(reply.cookie));
    data->AppendU16(2);
    AppendLengthPrefixedUin(*data, reply.sender);
    data->AppendU16(3);  // reason
    data->Append(reply.head.data(), static_cast<std::int32_t>(reply.head.size()));
    data->AppendU8(reply.messageType);
    data->AppendU8(reply.messageFlags);
    data->AppendU16LE(reply.status);
    data->AppendU16LE(reply.priority);
    data->AppendU16LE(1);  // an empty text: its terminating zero alone
    data->AppendU8(0);
    data->Append(reply.tail.data(), static_cast<std::int32_t>(reply.tail.size()));
    return BuildSnacFrame(CommandNumber::MessageResponse, 0, data);
}

RefPtr<FlapFrame> BuildDeleteOfflineMessages(std::uint32_t ownUin)
{
    RefPtr<ByteBuffer> data = BuildMetaRequestData(ownUin, kMetaRequestDeleteOffline, 0, {});
    if (!data || !data->AppendU16(0))
        return nullptr;
    return BuildSnacFrame(CommandNumber::MetaRequest, 0, data);
}

}  // namespace oscar
