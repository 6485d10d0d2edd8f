// What another client receives from the core, read byte by byte by a raw
// protocol client that announces no capabilities (so not UTF-8 either), and
// what the core makes of a message that such a client sends twice.
#include <gtest/gtest.h>

#include "oscar/codec/ByteReader.h"
#include "oscar/codec/TlvBlock.h"
#include "oscar/messaging/MessageEvents.h"
#include "store/MessageHistory.h"
#include "tests/common/TestSupport.h"
#include "tests/oscar/live/LiveCore.h"
#include "tests/tools/oscar_server/RawClient.h"

namespace {

struct ReceivedText {
    std::uint16_t charset = 0xFFFF;
    oscartest::Bytes bytes;
};

// The text fragment of a 0x04/0x07 on channel 1: cookie, channel, sender,
// warning level, the counted user-information items, then item 0x0002 with
// its fragments.
ReceivedText TextOf(const oscartest::ReceivedSnac& snac)
{
    oscar::ByteReader reader(snac.data);
    std::uint8_t senderLength = 0;
    std::uint16_t userItems = 0;
    ReceivedText text;
    if (!reader.Skip(10) || !reader.ReadU8(senderLength) || !reader.Skip(senderLength + 2u) ||
        !reader.ReadU16BE(userItems))
        return text;
    for (std::uint16_t i = 0; i < userItems; ++i) {
        std::uint16_t length = 0;
        if (!reader.Skip(2) || !reader.ReadU16BE(length) || !reader.Skip(length))
            return text;
    }
    std::optional<oscar::TlvView> message = oscar::FindTlv(oscar::ReadTlvBlock(reader.Rest()), 0x0002);
    oscar::ByteReader fragments(message ? message->value : std::span<const std::uint8_t>());
    std::uint8_t id = 0;
    std::uint16_t length = 0;
    std::span<const std::uint8_t> value;
    while (fragments.ReadU8(id) && fragments.Skip(1) && fragments.ReadU16BE(length) &&
           fragments.ReadBytes(length, value)) {
        oscar::ByteReader fragment(value);
        if (id == 1 && fragment.ReadU16BE(text.charset) && fragment.Skip(2))
            text.bytes.assign(fragment.Rest().begin(), fragment.Rest().end());
    }
    return text;
}

// The text as a client that honours the character set reads it: UTF-16
// big-endian, ISO-8859-1, or ASCII; nothing else is expected here.
WideString Decode(const ReceivedText& text)
{
    WideString wide;
    if (text.charset == 0x0002) {
        for (std::size_t i = 0; i + 1 < text.bytes.size(); i += 2)
            wide += static_cast<char16_t>(text.bytes[i] << 8 | text.bytes[i + 1]);
    } else if (text.charset == 0x0003 || text.charset == 0x0000) {
        for (std::uint8_t byte : text.bytes)
            wide += text.charset == 0x0000 && byte >= 0x80 ? u'\uFFFD' : static_cast<char16_t>(byte);
    }
    return wide;
}

class RawPeerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        // The acknowledgement time-out (15 s) is 3 s of real time.
        platform::SetTimeScale(5.0);
        ASSERT_NE(m_server.LoginPort(), 0);
        m_core = std::make_unique<live::LiveCore>(
            m_temp.Path(), "UIN=100001\r\nPASSWORD=demo\r\nSENDING_ACK=True\r\nLOGINHOSTS=127.0.0.1:" +
                               std::to_string(m_server.LoginPort()) + "\r\n");
        m_core->Choose(OnlineStatus::Online);
        ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().CountText("Online") == 1; }, 200000));
        ASSERT_TRUE(m_peer.SignOn(m_server, 100002, "friend"));
    }
    void TearDown() override
    {
        m_core.reset();
        platform::SetTimeScale(1.0);
    }
    bool PumpUntil(const std::function<bool()>& done) { return m_core->PumpUntil(done, 200000); }

    testsupport::TempFolder m_temp{"corvane-raw-peer"};
    oscartest::ServerHarness m_server;
    std::unique_ptr<live::LiveCore> m_core;
    oscartest::RawClient m_peer;
};

TEST_F(RawPeerTest, TextArrivesIntactAndIsConfirmedAndTypingValuesGoOut)
{
    ASSERT_TRUE(m_core->Account()->AddContact(u"100002", u"Raw", 1, true));
    RefPtr<Contact> peer;
    ASSERT_TRUE(PumpUntil([&] {
        peer = m_core->Account()->Store().FindContact(u"100002");
        return peer && peer->status != OnlineStatus::Offline;
    }));
    EXPECT_FALSE(peer->unicodeCapable);

    const WideString texts[] = {u"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440", u"caf\u00e9",
                                u"\U0001F600 ok", u"5 \u20ac", u"plain"};
    int delivered = 0;
    for (const WideString& text : texts) {
        ASSERT_EQ(m_core->Account()->SendMessage(u"100002", text), oscar::SendResult::Sent);
        oscartest::ReceivedSnac snac;
        ASSERT_TRUE(m_peer.WaitSnac(0x0004, 0x0007, snac, 30000));
        EXPECT_EQ(Decode(TextOf(snac)), text) << platform::WideToUtf8(text);
        ++delivered;
        ASSERT_TRUE(PumpUntil([&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == delivered; }));
    }
    EXPECT_EQ(m_core->Record().Count(EventType::OwnMessageNotConfirmed), 0);

    // The history holds what the user wrote, in order (newest first).
    auto history = MakeRef<MessageHistory>(u"100001", u"100002");
    std::vector<HistoryMessage> page = history->Read(0, 10);
    ASSERT_EQ(page.size(), std::size(texts));
    for (std::size_t i = 0; i < page.size(); ++i) {
        EXPECT_EQ(page[i].text, texts[std::size(texts) - 1 - i]);
        EXPECT_EQ(page[i].party, 0);
    }

    for (oscar::TypingState state :
         {oscar::TypingState::Started, oscar::TypingState::Paused, oscar::TypingState::Finished}) {
        ASSERT_TRUE(m_core->Account()->SendTyping(u"100002", state));
        oscartest::ReceivedSnac snac;
        ASSERT_TRUE(m_peer.WaitSnac(0x0004, 0x0014, snac, 30000));
        ASSERT_GE(snac.data.size(), 2u);
        EXPECT_EQ(snac.data[snac.data.size() - 2] << 8 | snac.data.back(), static_cast<int>(state));
    }
}

// The peer missed our acknowledgement and sends the message again with its
// cookie: the core shows it once.
TEST_F(RawPeerTest, AMessageSentTwiceWithOneCookieIsShownOnce)
{
    m_peer.SendSnac(0x0004, 0x0006, 1, oscartest::Channel1Message("AAAAAAAA", 100001, "once", false));
    m_peer.SendSnac(0x0004, 0x0006, 2, oscartest::Channel1Message("AAAAAAAA", 100001, "once", false));
    m_peer.SendSnac(0x0004, 0x0006, 3, oscartest::Channel1Message("BBBBBBBB", 100001, "after", false));
    ASSERT_TRUE(PumpUntil([&] { return m_core->Record().Messages().size() >= 2; }));
    m_core->Pump();
    auto messages = m_core->Record().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0]->text, u"once");
    EXPECT_EQ(messages[1]->text, u"after");
    EXPECT_EQ(MakeRef<MessageHistory>(u"100001", u"100002")->Read(0, 10).size(), 2u);
}

}  // namespace
