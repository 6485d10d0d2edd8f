#include <gtest/gtest.h>

#include <cstdlib>

#include "oscar/OnlineStatus.h"
#include "platform/base/Clock.h"
#include "oscar/TlvBlock.h"
#include "oscar/codec/ByteReader.h"
#include "oscar/messaging/IncomingDecoding.h"
#include "oscar/messaging/MessageCommands.h"
#include "oscar/messaging/OfflineMessages.h"
#include "oscar/messaging/PendingDeliveries.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

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

TEST(SendMessage, ItemLengthsAndLayoutInBothModes)
{
    Bytes eight = DataOf(oscar::BuildSendMessage(0x0102030405060708, u"42", u"abc", false, false, 1252));
    EXPECT_EQ(Bytes(eight.begin(), eight.begin() + 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(eight[9], 1);  // channel 1
    Bytes item = MessageItem(eight);
    EXPECT_EQ(item.size(), 16u);
    EXPECT_EQ(item, (Bytes{5, 1, 0, 1, 1, 1, 1, 0, 7, 0, 0, 0, 0, 'a', 'b', 'c'}));

    Bytes wide = DataOf(oscar::BuildSendMessage(1, u"42", u"a\u0416c", true, true, 1252));
    item = MessageItem(wide);
    EXPECT_EQ(item.size(), 20u);
    EXPECT_EQ(Bytes(item.begin() + 6, item.end()), (Bytes{1, 1, 0, 10, 0, 2, 0, 0, 0, 'a', 0x04, 0x16, 0, 'c'}));
    // The store flag: the empty items 0x0003 (acknowledge) and 0x0006 (store) at the end.
    EXPECT_EQ(Bytes(wide.end() - 8, wide.end()), (Bytes{0, 3, 0, 0, 0, 6, 0, 0}));
}

TEST(SendMessage, TypingAndOfflineDeleteLayouts)
{
    EXPECT_EQ(DataOf(oscar::BuildTypingNotification(u"77", 2)), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, '7', '7', 0, 2}));
    Bytes remove = DataOf(oscar::BuildDeleteOfflineMessages(0x01020304));
    EXPECT_EQ(remove.size(), 16u);
    EXPECT_EQ(remove, (Bytes{0, 1, 0, 10, 8, 0, 4, 3, 2, 1, 0x3E, 0, 0, 0, 0, 0}));
}

TEST(SendMessage, CookiesDiffer)
{
    EXPECT_NE(oscar::NewMessageCookie(), oscar::NewMessageCookie());
}

// An incoming 0x04/0x07 body: cookie, channel, sender, no user info, items.
Bytes Incoming(std::uint16_t channel, const Bytes& items, Bytes userInfo = {})
{
    Bytes data = {9, 9, 9, 9, 9, 9, 9, 9, 0, static_cast<std::uint8_t>(channel), 3, '5', '5', '5', 0, 0, 0,
                  static_cast<std::uint8_t>(userInfo.empty() ? 0 : 1)};
    data.insert(data.end(), userInfo.begin(), userInfo.end());
    data.insert(data.end(), items.begin(), items.end());
    return data;
}

Bytes Tlv(std::uint16_t type, const Bytes& value)
{
    Bytes t = {static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type),
               static_cast<std::uint8_t>(value.size() >> 8), static_cast<std::uint8_t>(value.size())};
    t.insert(t.end(), value.begin(), value.end());
    return t;
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

Bytes ChannelTwoItem(bool utf8, Bytes plugin = Bytes(16, 0), std::uint16_t textLength = 4)
{
    Bytes ext;
    auto le16 = [&ext](std::uint16_t v) {
        ext.push_back(static_cast<std::uint8_t>(v));
        ext.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    le16(27);
    ext.insert(ext.end(), {0x08, 0x00});
    ext.insert(ext.end(), {0, 0});
    ext.insert(ext.end(), plugin.begin(), plugin.end());
    ext.resize(2 + 27, 0);
    le16(14);
    ext.resize(ext.size() + 14, 0);
    ext.insert(ext.end(), {1, 0});  // type, flags
    le16(0);                        // status
    le16(1);                        // priority
    le16(textLength);
    ext.insert(ext.end(), {'h', 'i', '!', 0});
    ext.insert(ext.end(), {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0});
    std::string cap = utf8 ? "{0946134E-4C7F-11D1-8222-444553540000}" : "{00000000-0000-0000-0000-000000000000}";
    Bytes length = {static_cast<std::uint8_t>(cap.size()), 0, 0, 0};
    ext.insert(ext.end(), length.begin(), length.end());
    ext.insert(ext.end(), cap.begin(), cap.end());

    Bytes rendezvous = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    Bytes channelTwoCapability = {0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1,
                                  0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
    rendezvous.insert(rendezvous.end(), channelTwoCapability.begin(), channelTwoCapability.end());
    Bytes inner = Tlv(0x000A, {0, 1});
    Bytes extension = Tlv(0x2711, ext);
    rendezvous.insert(rendezvous.end(), inner.begin(), inner.end());
    rendezvous.insert(rendezvous.end(), extension.begin(), extension.end());
    return Tlv(5, rendezvous);
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
    setenv("TZ", "UTC+2", 1);  // two hours behind UTC, no daylight time
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

    SYSTEMTIME now{};
    GetLocalTime(&now);
    RefPtr<oscar::IncomingMessage> month13 = oscar::DecodeOfflineMessage(OfflineReply(2026, 13, 0, {'x'}), 1252);
    ASSERT_TRUE(month13);  // kept, with the time it was read
    EXPECT_EQ(month13->time.wYear, now.wYear);
    unsetenv("TZ");

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

}  // namespace
