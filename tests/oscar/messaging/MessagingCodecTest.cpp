#include <gtest/gtest.h>

#include <optional>

#include "oscar/OnlineStatus.h"
#include "oscar/codec/ByteReader.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/TlvBlock.h"
#include "oscar/messaging/IncomingDecoding.h"
#include "oscar/messaging/MessageCommands.h"
#include "oscar/messaging/OfflineMessages.h"
#include "oscar/messaging/PendingDeliveries.h"
#include "oscar/messaging/RecentCookies.h"
#include "platform/base/Clock.h"
#include "platform/text/CodePage.h"
#include "tests/oscar/messaging/MessageBytes.h"

namespace {

using messagebytes::Bytes;
using messagebytes::ChannelTwoItem;
using messagebytes::Incoming;
using messagebytes::Tlv;

Bytes DataOf(const RefPtr<oscar::FlapFrame>& frame)
{
    auto bytes = frame->Snac()->Data()->Bytes();
    return Bytes(bytes.begin(), bytes.end());
}

// The message item (0x0002) of a 0x04/0x06 command.
Bytes MessageItem(const Bytes& data)
{
    std::size_t at = 8 + 2 + 1 + data[10];
    auto items = oscar::ReadTlvBlock(std::span(data).subspan(at));
    auto item = oscar::FindTlv(items, 0x0002);
    return item ? Bytes(item->value.begin(), item->value.end()) : Bytes{};
}

constexpr auto kEightBit = oscar::TextEncoding::EightBit;
constexpr auto kUnicode = oscar::TextEncoding::Unicode;
constexpr auto kAcknowledged = oscar::Confirmation::Acknowledged;
constexpr auto kFrameSent = oscar::Confirmation::FrameSent;

oscar::OutgoingText Encoded(const WideString& text, oscar::TextEncoding preferred, UINT codePage)
{
    return oscar::EncodeOutgoingText(text, preferred, codePage).value();
}

TEST(SendMessage, ItemLengthsAndLayoutInBothModes)
{
    Bytes eight =
        DataOf(oscar::BuildSendMessage(0x0102030405060708, u"42", Encoded(u"abc", kEightBit, 1252), kFrameSent));
    EXPECT_EQ(Bytes(eight.begin(), eight.begin() + 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(eight[9], 1);  // channel 1
    Bytes item = MessageItem(eight);
    EXPECT_EQ(item.size(), 16u);
    EXPECT_EQ(item, (Bytes{5, 1, 0, 1, 1, 1, 1, 0, 7, 0, 0, 0, 0, 'a', 'b', 'c'}));

    Bytes wide = DataOf(oscar::BuildSendMessage(1, u"42", Encoded(u"a\u0416c", kUnicode, 1252), kAcknowledged));
    item = MessageItem(wide);
    EXPECT_EQ(item.size(), 20u);
    EXPECT_EQ(Bytes(item.begin() + 6, item.end()), (Bytes{1, 1, 0, 10, 0, 2, 0, 0, 0, 'a', 0x04, 0x16, 0, 'c'}));
    // Acknowledged mode: the empty items 0x0003 (acknowledge) and 0x0006 (store) at the end.
    EXPECT_EQ(Bytes(wide.end() - 8, wide.end()), (Bytes{0, 3, 0, 0, 0, 6, 0, 0}));

    // Latin-1 text carries its character set in the text fragment.
    item = MessageItem(DataOf(oscar::BuildSendMessage(1, u"42", Encoded(u"caf\u00e9", kEightBit, 1252), kFrameSent)));
    EXPECT_EQ(Bytes(item.begin() + 5, item.end()), (Bytes{1, 1, 0, 8, 0, 3, 0, 0, 'c', 'a', 'f', 0xE9}));
}

// Text reaches a client that does not announce UTF-8 intact: what the code
// page cannot carry goes as UTF-16, and 8-bit text is labelled when a label
// exists for it.
TEST(SendMessage, TextIsNeverDegraded)
{
    const std::size_t most = oscar::kMaxMessageTextBytes;
    struct Case {
        const char* name;
        WideString text;
        oscar::TextEncoding preferred;
        UINT codePage;
        std::optional<std::uint16_t> charset;  // nullopt: refused as too long
        Bytes bytes;                           // checked when not empty
    } cases[] = {
        {"ascii", u"hi", kEightBit, 1252, oscar::kCharsetAscii, {'h', 'i'}},
        {"one character", u"x", kEightBit, 1251, oscar::kCharsetAscii, {'x'}},
        {"empty", u"", kEightBit, 1252, oscar::kCharsetAscii, {}},
        {"ascii to a unicode reader", u"hi", kUnicode, 1252, oscar::kCharsetUnicode, {0, 'h', 0, 'i'}},
        {"latin-1 from 1252", u"caf\u00e9", kEightBit, 1252, oscar::kCharsetLatin1, {'c', 'a', 'f', 0xE9}},
        {"latin-1 from the default code page", u"\u00e9", kEightBit, 0, oscar::kCharsetLatin1, {0xE9}},
        {"euro sign is not latin-1", u"5\u20ac", kEightBit, 1252, oscar::kCharsetUnicode, {0, '5', 0x20, 0xAC}},
        {"cyrillic the code page lacks", u"\u041f\u0440", kEightBit, 1252, oscar::kCharsetUnicode,
         {0x04, 0x1F, 0x04, 0x40}},
        {"cyrillic of its own code page", u"\u0416\u0443\u043a", kEightBit, 1251, oscar::kCharsetAscii,
         {0xC6, 0xF3, 0xEA}},
        {"no character in the code page", u"\u05e9\u05dc", kEightBit, 1251, oscar::kCharsetUnicode,
         {0x05, 0xE9, 0x05, 0xDC}},
        {"emoji as a surrogate pair", u"\U0001F600", kEightBit, 1252, oscar::kCharsetUnicode, {0xD8, 0x3D, 0xDE, 0x00}},
        {"unknown code page", u"\u00e9", kEightBit, 437, oscar::kCharsetUnicode, {0x00, 0xE9}},
        {"4,000 cyrillic characters fit", WideString(most / 2, u'\u0416'), kEightBit, 1252, oscar::kCharsetUnicode, {}},
        {"4,001 do not", WideString(most / 2 + 1, u'\u0416'), kEightBit, 1252, std::nullopt, {}},
        {"8,000 ascii characters fit", WideString(most, u'a'), kEightBit, 1252, oscar::kCharsetAscii, {}},
        {"8,001 do not", WideString(most + 1, u'a'), kEightBit, 1252, std::nullopt, {}},
        {"4,001 ascii for a unicode reader do not", WideString(most / 2 + 1, u'a'), kUnicode, 1252, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        std::optional<oscar::OutgoingText> text = oscar::EncodeOutgoingText(c.text, c.preferred, c.codePage);
        ASSERT_EQ(text.has_value(), c.charset.has_value()) << c.name;
        if (!text)
            continue;
        EXPECT_EQ(text->charset, *c.charset) << c.name;
        auto bytes = text->bytes->Bytes();
        if (!c.bytes.empty() || c.text.empty()) {
            EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), c.bytes) << c.name;
        }
        // Whatever the form, the reader gets the text back (Latin-1 read as
        // code page 1252, which agrees with it on what is sent as Latin-1).
        std::string raw(bytes.begin(), bytes.end());
        UINT readAs = text->charset == oscar::kCharsetLatin1 ? 1252 : c.codePage;
        EXPECT_EQ(text->Unicode() ? oscar::Utf16BEToWide(bytes) : platform::BytesToWide(raw, readAs), c.text)
            << c.name;
    }
}

TEST(SendMessage, TypingValuesOnTheWire)
{
    struct Case {
        oscar::TypingState state;
        std::uint8_t wire;
    } cases[] = {{oscar::TypingState::Started, 2}, {oscar::TypingState::Paused, 1}, {oscar::TypingState::Finished, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(DataOf(oscar::BuildTypingNotification(u"77", c.state)),
                  (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, '7', '7', 0, c.wire}));
}

TEST(SendMessage, OfflineDeleteLayout)
{
    Bytes remove = DataOf(oscar::BuildDeleteOfflineMessages(0x01020304));
    EXPECT_EQ(remove.size(), 16u);
    EXPECT_EQ(remove, (Bytes{0, 1, 0, 10, 8, 0, 4, 3, 2, 1, 0x3E, 0, 0, 0, 0, 0}));
}

TEST(SendMessage, CookiesDiffer)
{
    EXPECT_NE(oscar::NewMessageCookie(), oscar::NewMessageCookie());
}

TEST(IncomingMessages, ChannelOneTextAndStatus)
{
    Bytes unicode = Tlv(2, {5, 1, 0, 1, 1, 1, 1, 0, 8, 0, 2, 0, 0, 0x04, 0x1F, 0, '!'});
    auto decoded = oscar::DecodeIncomingMessage(Incoming(1, unicode, Tlv(6, {0, 0, 0, 1})), 1252);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->message->sender, u"555");
    EXPECT_EQ(decoded->message->text, u"\u041F!");
    EXPECT_TRUE(decoded->message->hasStatus);
    EXPECT_EQ(decoded->message->status, 1);
    EXPECT_EQ(decoded->message->kind, 1);
    ASSERT_TRUE(decoded->message->features);
    EXPECT_FALSE(decoded->reply);

    Bytes utf8 = Tlv(2, {1, 1, 0, 6, 0, 0, 0, 0, 0xC3, 0xA9});
    EXPECT_EQ(oscar::DecodeIncomingMessage(Incoming(1, utf8), 1252)->message->text, u"\u00e9");
    Bytes latin = Tlv(2, {1, 1, 0, 5, 0, 0, 0, 0, 0xE9});
    EXPECT_EQ(oscar::DecodeIncomingMessage(Incoming(1, latin), 1252)->message->text, u"\u00e9");
}

TEST(IncomingMessages, ChannelTwoRecordAndItsReply)
{
    auto decoded = oscar::DecodeIncomingMessage(Incoming(2, ChannelTwoItem(true)), 1252);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->message->text, u"hi!");
    ASSERT_TRUE(decoded->reply);
    Bytes reply = DataOf(oscar::BuildChannelTwoReply(*decoded->reply));
    // cookie, channel 2, UIN, reason 3, L1 block, L2 block, type/flags,
    // status/priority, an empty text, then the bytes after the text.
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 16),
              (Bytes{9, 9, 9, 9, 9, 9, 9, 9, 0, 2, 3, '5', '5', '5', 0, 3}));
    std::size_t afterHead = 16 + 2 + 27 + 2 + 14;
    EXPECT_EQ(Bytes(reply.begin() + static_cast<long>(afterHead), reply.begin() + static_cast<long>(afterHead) + 9),
              (Bytes{1, 0, 0, 0, 1, 0, 1, 0, 0}));
    EXPECT_EQ(reply.size(), afterHead + 9 + 8 + 4 + 38);
}

TEST(IncomingMessages, BadChannelTwoAndFourRecordsAreDropped)
{
    Bytes plugin(16, 0);
    plugin[3] = 1;
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"plug-in identifier", Incoming(2, ChannelTwoItem(false, plugin))},
        {"text length past the value", Incoming(2, ChannelTwoItem(false, Bytes(16, 0), 400))},
        {"no rendezvous item", Incoming(2, Tlv(3, {1}))},
        {"unknown channel", Incoming(3, Tlv(2, {1, 1, 0, 5, 0, 0, 0, 0, 'x'}))},
        {"channel four text past the value", Incoming(4, Tlv(5, {1, 0, 0, 0, 1, 0, 50, 0, 'a', 0}))},
        {"channel one fragment past the item", Incoming(1, Tlv(2, {1, 1, 0, 50, 0, 0}))},
        {"truncated header", Bytes{1, 2, 3}},
        {"user info count past the data", Bytes{9, 9, 9, 9, 9, 9, 9, 9, 0, 1, 1, '5', 0, 0, 0, 9}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(oscar::DecodeIncomingMessage(c.data, 1252)) << c.name;

    auto four = oscar::DecodeIncomingMessage(Incoming(4, Tlv(5, {0x2B, 0x02, 0, 0, 1, 0, 3, 0, 'o', 'k', 0})), 1252);
    ASSERT_TRUE(four);
    EXPECT_EQ(four->message->text, u"ok");
    EXPECT_EQ(oscar::DecodeIncomingMessage(Incoming(2, ChannelTwoItem(false)), 1252)->message->text, u"hi!");
}

Bytes OfflineReply(std::uint16_t year, std::uint8_t month, std::uint8_t day, const Bytes& text)
{
    Bytes value = {0, 0, 0x15, 0xCD, 0x5B, 0x07, 0x41, 0x00, 2, 0, 0x39, 0x30, 0, 0,
                   static_cast<std::uint8_t>(year), static_cast<std::uint8_t>(year >> 8), month, day, 13, 45, 1, 0,
                   static_cast<std::uint8_t>(text.size() + 1), 0};
    value.insert(value.end(), text.begin(), text.end());
    value.push_back(0);
    value[0] = static_cast<std::uint8_t>(value.size() - 2);
    return Tlv(1, value);
}

TEST(OfflineMessages, RecordsWithLocalTimeAndTheUnknownByteOrderRule)
{
    platform::SetTimeZoneBiasMinutes(120);  // two hours behind UTC
    Bytes reply = OfflineReply(2026, 3, 15, {'h', 'i'});
    EXPECT_EQ(oscar::MetaReplyType(reply), 0x0041);
    RefPtr<oscar::IncomingMessage> m = oscar::DecodeOfflineMessage(reply, 1252);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->sender, u"12345");
    EXPECT_EQ(m->time.wHour, 11);
    EXPECT_EQ(m->time.wMinute, 45);
    EXPECT_EQ(m->time.wSecond, 0);
    EXPECT_EQ(m->text, u"hi");  // as UTF-16 in either order it would not fit code page 1252
    EXPECT_EQ(oscar::DecodeOfflineMessage(OfflineReply(2026, 3, 15, {0x04, 0x1F, 0x00, 0x21}), 1251)->text,
              u"\u041F!");
    // Text sent in Unicode form comes back from the server as UTF-8.
    EXPECT_EQ(oscar::DecodeOfflineMessage(OfflineReply(2026, 3, 15, {0xD0, 0x9F, 0x21, 0xF0, 0x9F, 0x98, 0x80}), 1252)
                  ->text,
              u"\u041F!\U0001F600");

    SYSTEMTIME now{};
    GetLocalTime(&now);
    RefPtr<oscar::IncomingMessage> month13 = oscar::DecodeOfflineMessage(OfflineReply(2026, 13, 0, {'x'}), 1252);
    ASSERT_TRUE(month13);  // kept, with the time it was read
    EXPECT_EQ(month13->time.wYear, now.wYear);
    platform::SetTimeZoneBiasMinutes(std::nullopt);

    Bytes cut = OfflineReply(2026, 3, 15, {'a', 'b', 'c'});
    cut.resize(cut.size() - 3);
    EXPECT_FALSE(oscar::DecodeOfflineMessage(cut, 1252));
    EXPECT_FALSE(oscar::MetaReplyType(Bytes{0, 1, 0, 2, 0, 0}));
}

TEST(PendingDeliveries, TakenOnceAndOnlyByTheWatcherOfThatEntry)
{
    oscar::PendingDeliveries pending;
    std::uint64_t first = pending.AddByCookie(7, u"1");
    EXPECT_FALSE(pending.TakeCookieIf(7, first + 100));
    std::uint64_t second = pending.AddByCookie(7, u"2");  // the same cookie again replaces it
    EXPECT_FALSE(pending.TakeCookieIf(7, first));
    EXPECT_EQ(pending.TakeCookieIf(7, second), u"2");
    EXPECT_FALSE(pending.TakeCookie(7));
    pending.AddByFrame(3, u"9");
    EXPECT_EQ(pending.TakeFrame(3), u"9");
    EXPECT_EQ(pending.Count(), 0u);
}

TEST(RecentCookies, RepeatsAreRecognisedWithinABoundedMemory)
{
    oscar::RecentCookies recent;
    EXPECT_TRUE(recent.Remember(u"1", 7));
    EXPECT_FALSE(recent.Remember(u"1", 7));
    EXPECT_TRUE(recent.Remember(u"2", 7));  // the same cookie from someone else
    for (std::uint64_t cookie = 100; cookie < 100 + oscar::RecentCookies::kCapacity; ++cookie)
        EXPECT_TRUE(recent.Remember(u"3", cookie));
    EXPECT_FALSE(recent.Remember(u"3", 100 + oscar::RecentCookies::kCapacity - 1));
    EXPECT_TRUE(recent.Remember(u"1", 7));  // fell out with the oldest
}

}  // namespace
