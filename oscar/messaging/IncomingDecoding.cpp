#include "oscar/messaging/IncomingDecoding.h"

#include <algorithm>

#include "app/HexDigit.h"
#include "oscar/OnlineStatus.h"
#include "oscar/UserInfo.h"
#include "oscar/codec/ByteReader.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/TlvBlock.h"
#include "platform/base/Clock.h"
#include "platform/text/CodePage.h"

namespace oscar {
namespace {

constexpr std::uint16_t kItemMessageData = 0x0002;
constexpr std::uint16_t kItemRendezvous = 0x0005;
constexpr std::uint16_t kItemExtensionData = 0x2711;
constexpr std::uint8_t kFragmentText = 1;
constexpr std::uint8_t kFragmentFeatures = 5;
constexpr std::size_t kMaxCapabilityText = 64;

const Capability kCapabilityChannel2 = {0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1,
                                        0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};

struct Header {
    std::uint64_t cookie = 0;
    std::uint16_t channel = 0;
    WideString sender;
    std::optional<std::int32_t> status;
    std::vector<TlvView> messageItems;
};

std::optional<Header> ReadHeader(std::span<const std::uint8_t> data)
{
    ByteReader reader(data);
    Header header;
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    if (!reader.ReadU32BE(high) || !reader.ReadU32BE(low) || !reader.ReadU16BE(header.channel))
        return std::nullopt;
    header.cookie = static_cast<std::uint64_t>(high) << 32 | low;
    std::size_t consumed = 0;
    std::optional<UserInfo> sender = ReadUserInfo(reader.Rest(), UserInfoItems::Exact, &consumed);
    if (!sender || !reader.Skip(consumed))
        return std::nullopt;
    header.sender = sender->uin;
    header.status = sender->Status();
    header.messageItems = ReadTlvBlock(reader.Rest());
    return header;
}

WideString CodePageText(std::span<const std::uint8_t> bytes, UINT codePage)
{
    return platform::BytesToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), codePage);
}

RefPtr<IncomingMessage> NewRecord(const Header& header)
{
    auto message = MakeRef<IncomingMessage>();
    message->sender = header.sender;
    message->cookie = header.cookie;
    message->hasStatus = header.status.has_value();
    message->status = header.status.value_or(0);
    GetLocalTime(&message->time);
    return message;
}

// Channel 1: item 0x0002 holds fragments (id, version, 16-bit length, value).
std::optional<DecodedMessage> DecodeChannelOne(const Header& header, UINT codePage)
{
    std::optional<TlvView> item = FindTlv(header.messageItems, kItemMessageData);
    if (!item)
        return std::nullopt;
    RefPtr<IncomingMessage> message = NewRecord(header);
    message->kind = 1;
    bool haveText = false;
    ByteReader reader(item->value);
    while (reader.Remaining() >= 4) {
        std::uint8_t id = 0;
        std::uint8_t version = 0;
        std::uint16_t length = 0;
        std::span<const std::uint8_t> value;
        if (!reader.ReadU8(id) || !reader.ReadU8(version) || !reader.ReadU16BE(length) ||
            !reader.ReadBytes(length, value))
            break;
        if (id == kFragmentFeatures) {
            message->features = ByteBuffer::CopyOf(value);
        } else if (id == kFragmentText && !haveText) {
            ByteReader text(value);
            std::uint16_t charset = 0;
            std::uint16_t subset = 0;
            if (!text.ReadU16BE(charset) || !text.ReadU16BE(subset))
                return std::nullopt;
            message->text = charset == kCharsetUnicode ? Utf16BEToWide(text.Rest())
                                                       : BytesToWideWithFallback(text.Rest(), codePage);
            haveText = true;
        }
    }
    if (!haveText)
        return std::nullopt;
    return DecodedMessage{message, std::nullopt};
}

std::optional<std::array<std::uint8_t, 16>> ParseCapabilityTextImpl(std::span<const std::uint8_t> text)
{
    std::array<std::uint8_t, 16> bytes{};
    int nibbles = 0;
    for (std::uint8_t c : text) {
        int value = app::HexDigitValue(c);
        if (value < 0) {
            if (c == '{' || c == '}' || c == '-' || c == 0)
                continue;
            return std::nullopt;
        }
        if (nibbles >= 32)
            return std::nullopt;
        bytes[static_cast<std::size_t>(nibbles / 2)] =
            static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(nibbles / 2)] << 4 | value);
        ++nibbles;
    }
    if (nibbles != 32)
        return std::nullopt;
    return bytes;
}

// Channel 2: item 0x0005 (rendezvous): type (2), cookie (8), capability (16),
// then inner items; 0x2711 carries the message, little-endian.
std::optional<DecodedMessage> DecodeChannelTwo(const Header& header, UINT codePage)
{
    std::optional<TlvView> rendezvous = FindTlv(header.messageItems, kItemRendezvous);
    if (!rendezvous || rendezvous->value.size() < 26)
        return std::nullopt;
    if (!std::equal(kCapabilityChannel2.begin(), kCapabilityChannel2.end(), rendezvous->value.begin() + 10))
        return std::nullopt;
    std::optional<TlvView> extension = FindTlv(ReadTlvBlock(rendezvous->value.subspan(26)), kItemExtensionData);
    if (!extension)
        return std::nullopt;

    ByteReader reader(extension->value);
    ChannelTwoReply reply;
    reply.cookie = header.cookie;
    reply.sender = header.sender;
    std::uint16_t l1 = 0;
    std::uint16_t l2 = 0;
    std::span<const std::uint8_t> first;
    std::span<const std::uint8_t> second;
    if (!reader.ReadU16LE(l1) || !reader.ReadBytes(l1, first) || !reader.ReadU16LE(l2) ||
        !reader.ReadBytes(l2, second))
        return std::nullopt;
    // Bytes 4 to 19 of the first block name a plug-in; only plain messages
    // (an all-zero identifier) are taken.
    if (first.size() < 20 || std::any_of(first.begin() + 4, first.begin() + 20, [](std::uint8_t b) { return b != 0; }))
        return std::nullopt;
    std::size_t headEnd = 2 + first.size() + 2 + second.size();
    reply.head.assign(extension->value.begin(), extension->value.begin() + static_cast<std::ptrdiff_t>(headEnd));
    std::uint16_t textLength = 0;
    std::span<const std::uint8_t> text;
    if (!reader.ReadU8(reply.messageType) || !reader.ReadU8(reply.messageFlags) || !reader.ReadU16LE(reply.status) ||
        !reader.ReadU16LE(reply.priority) || !reader.ReadU16LE(textLength) || !reader.ReadBytes(textLength, text))
        return std::nullopt;
    std::span<const std::uint8_t> tail = reader.Rest();
    reply.tail.assign(tail.begin(), tail.end());

    // Colours, then the capability that says how the text is encoded.
    bool utf8 = false;
    std::uint32_t foreground = 0;
    std::uint32_t background = 0;
    std::uint32_t capabilityLength = 0;
    std::span<const std::uint8_t> capabilityText;
    if (reader.ReadU32LE(foreground) && reader.ReadU32LE(background) && reader.ReadU32LE(capabilityLength) &&
        capabilityLength <= kMaxCapabilityText && reader.ReadBytes(capabilityLength, capabilityText)) {
        std::optional<std::array<std::uint8_t, 16>> capability = ParseCapabilityTextImpl(capabilityText);
        utf8 = capability && std::equal(capability->begin(), capability->end(), kCapabilityUtf8.begin());
    }
    std::span<const std::uint8_t> body = text.empty() ? text : text.first(text.size() - 1);
    RefPtr<IncomingMessage> message = NewRecord(header);
    message->kind = reply.messageType;
    message->flags = reply.messageFlags;
    message->text = utf8 ? Utf8ToWide(body) : CodePageText(body, codePage);
    return DecodedMessage{message, reply};
}

// Channel 4: item 0x0005, little-endian: sender UIN (4), type, flags, text
// length with its zero (2), text.
std::optional<DecodedMessage> DecodeChannelFour(const Header& header, UINT codePage)
{
    std::optional<TlvView> item = FindTlv(header.messageItems, kItemRendezvous);
    if (!item)
        return std::nullopt;
    ByteReader reader(item->value);
    std::uint32_t uin = 0;
    std::uint16_t length = 0;
    std::span<const std::uint8_t> text;
    RefPtr<IncomingMessage> message = NewRecord(header);
    if (!reader.ReadU32LE(uin) || !reader.ReadU8(message->kind) || !reader.ReadU8(message->flags) ||
        !reader.ReadU16LE(length) || !reader.ReadBytes(length, text))
        return std::nullopt;
    std::span<const std::uint8_t> body = text.empty() ? text : text.first(text.size() - 1);
    message->text = CodePageText(body, codePage);
    return DecodedMessage{message, std::nullopt};
}

}  // namespace

std::optional<std::array<std::uint8_t, 16>> ParseCapabilityText(std::span<const std::uint8_t> text)
{
    return ParseCapabilityTextImpl(text);
}

std::optional<DecodedMessage> DecodeIncomingMessage(std::span<const std::uint8_t> data, UINT codePage)
{
    std::optional<Header> header = ReadHeader(data);
    if (!header)
        return std::nullopt;
    switch (header->channel) {
    case 1:
        return DecodeChannelOne(*header, codePage);
    case 2:
        return DecodeChannelTwo(*header, codePage);
    case 4:
        return DecodeChannelFour(*header, codePage);
    default:
        return std::nullopt;
    }
}

}  // namespace oscar
