// Messages between this test's core (100001) and a console front-end
// (100002) through the local server.
#include <gtest/gtest.h>

#include <cstdlib>

#include "oscar/OnlineStatus.h"
#include "oscar/codec/TlvBlock.h"
#include "oscar/messaging/MessageEvents.h"
#include "oscar/messaging/SendResult.h"
#include "store/ContactListCache.h"
#include "store/MessageHistory.h"
#include "tests/oscar/live/CliProcess.h"
#include "tests/oscar/live/LiveTest.h"

namespace {

const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100002" password="friend" nick="Friend"/>
</accounts>)";

class MessagingTest : public live::LiveTest {
protected:
    MessagingTest() : LiveTest("corvane-messaging") {}
    void SetUp() override
    {
        LiveTest::SetUp();
        // The acknowledgement time-out (15 s) is 3 s of real time.
        platform::SetTimeScale(5.0);
        m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
        ASSERT_TRUE(m_server->Ready());
    }
    void StartCore(const std::string& extra = "")
    {
        m_core = std::make_unique<live::LiveCore>(
            m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=" + m_server->LoginHost() + "\r\n" + extra);
        m_core->Choose(OnlineStatus::Online);
        ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().CountText("Online") == 1; }, 100000));
    }
    // Both users list each other, so that each sees the other's presence.
    void ListFriend() { ASSERT_TRUE(m_core->Account()->AddContact(u"100002", u"Friend", 1, true)); }
    std::string FriendScript(const std::string& body)
    {
        return "account 100002 friend " + m_server->LoginHost() +
               "\nstatus online\nwait-for Online 60\nadd 100001 Demo 1 noauth\nwait-for online 100001 60\n" + body +
               "quit\n";
    }
    bool PumpUntilFinished(live::CliProcess& cli)
    {
        return m_core->PumpUntil([&] { return cli.Finished(); }, 400000);
    }
    RefPtr<Contact> WaitForContactOnline(const WideString& uin)
    {
        RefPtr<Contact> found;
        m_core->PumpUntil(
            [&] {
                found = m_core->Account()->Store().FindContact(uin);
                return found && found->status != OnlineStatus::Offline;
            },
            100000);
        return found;
    }
    std::vector<RefPtr<oscar::IncomingMessage>> Received()
    {
        return m_core->Record().Messages();
    }

};

TEST_F(MessagingTest, MessagesBothWaysInBothForms)
{
    StartCore();
    ListFriend();
    const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xF0\x9F\x98\x80";
    live::CliProcess friendCli(m_folder, "friend",
                               FriendScript("msg 100001 " + cyrillic + "\nwait-for event 40 60\nwait-for event 40 60\n"));
    RefPtr<Contact> peer = WaitForContactOnline(u"100002");
    ASSERT_TRUE(peer);
    ASSERT_TRUE(m_core->PumpUntil([&] { return Received().size() == 1; }, 100000));
    EXPECT_EQ(Received()[0]->text, u"\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600");
    EXPECT_TRUE(peer->unread);

    // Unicode back, then 8-bit (the contact taken as not Unicode-capable).
    ASSERT_TRUE(peer->unicodeCapable);
    ASSERT_EQ(m_core->Account()->SendMessage(u"100002", u"\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439"), oscar::SendResult::Sent);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == 1; }, 100000));
    peer->unicodeCapable = false;
    ASSERT_EQ(m_core->Account()->SendMessage(u"100002", u"Gr\u00fc\u00dfe"), oscar::SendResult::Sent);
    ASSERT_TRUE(PumpUntilFinished(friendCli));
    EXPECT_EQ(friendCli.ExitCode(), 0) << friendCli.Output();
    EXPECT_TRUE(friendCli.Printed("from 100001 at")) << friendCli.Output();
    EXPECT_TRUE(friendCli.Printed("\"\xD0\x97\xD0\xB4\xD1\x80\xD0\xB0\xD0\xB2\xD1\x81\xD1\x82\xD0\xB2\xD1\x83\xD0\xB9\""))
        << friendCli.Output();
    EXPECT_TRUE(friendCli.Printed("\"Gr\xC3\xBC\xC3\x9F" "e\"")) << friendCli.Output();

    // The conversation's history holds all three, newest first, intact.
    auto history = MakeRef<MessageHistory>(u"100001", u"100002");
    std::vector<HistoryMessage> page = history->Read(0, 10);
    ASSERT_EQ(page.size(), 3u);
    EXPECT_EQ(page[0].text, u"Gr\u00fc\u00dfe");
    EXPECT_EQ(page[0].party, 0);
    EXPECT_EQ(page[2].text, u"\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600");
    EXPECT_EQ(page[2].party, 1);
}

TEST_F(MessagingTest, ConfirmationByAcknowledgementOrByTheSentFrame)
{
    StartCore("SENDING_ACK=True\r\n");
    ListFriend();
    live::CliProcess friendCli(m_folder, "friend", FriendScript("wait-for event 40 60\nwait-for event 40 60\n"));
    ASSERT_TRUE(WaitForContactOnline(u"100002"));
    ASSERT_EQ(m_core->Account()->SendMessage(u"100002", u"with ack"), oscar::SendResult::Sent);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == 1; }, 100000));
    bool acknowledged = false;
    for (const auto& frame : m_core->Record().ReceivedBos())
        acknowledged |= frame->Snac() && frame->Snac()->Family() == 4 && frame->Snac()->Subtype() == 0x0C;
    EXPECT_TRUE(acknowledged);

    m_core->Core().GetSettings()->sendingAck = false;
    std::size_t sentBefore = m_core->Record().BosFrames().size();
    ASSERT_EQ(m_core->Account()->SendMessage(u"100002", u"without ack"), oscar::SendResult::Sent);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == 2; }, 100000));
    auto frames = m_core->Record().BosFrames();
    ASSERT_GT(frames.size(), sentBefore);
    auto data = frames[sentBefore]->Snac()->Data()->Bytes();
    EXPECT_NE(std::vector<std::uint8_t>(data.end() - 4, data.end()), (std::vector<std::uint8_t>{0, 6, 0, 0}));
    EXPECT_TRUE(PumpUntilFinished(friendCli));
    EXPECT_EQ(m_core->Record().Count(EventType::OwnMessageNotConfirmed), 0);
}

TEST_F(MessagingTest, TypingStartPauseAndStopArrive)
{
    StartCore();
    ListFriend();
    live::CliProcess friendCli(m_folder, "friend",
                               FriendScript("wait-for event 36 60\ntyping 100001 start\ntyping 100001 pause\n"
                                            "typing 100001 stop\nwait-for event 40 60\n"));
    ASSERT_TRUE(WaitForContactOnline(u"100002"));
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::TypingNotification) == 3; }, 100000))
        << friendCli.Output();
    EXPECT_EQ(m_core->Record().TypingTypes(), (std::vector<std::uint16_t>{2, 1, 0}));
    EXPECT_FALSE(m_core->Account()->Store().FindContact(u"100002")->typing);
    // A message lets the friend go.
    ASSERT_EQ(m_core->Account()->SendMessage(u"100002", u"bye"), oscar::SendResult::Sent);
    EXPECT_TRUE(PumpUntilFinished(friendCli));
}

TEST_F(MessagingTest, ChannelTwoMessageIsAnsweredOnce)
{
    StartCore();
    // A channel-2 message as a server relays it, handed to the core as if it
    // had arrived on the BOS connection.
    std::vector<std::uint8_t> ext = {27, 0, 8, 0, 0, 0};
    ext.resize(2 + 27, 0);
    ext.insert(ext.end(), {14, 0});
    ext.resize(ext.size() + 14, 0);
    ext.insert(ext.end(), {1, 0, 0, 0, 1, 0, 3, 0, 'y', 'o', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    std::vector<std::uint8_t> rendezvous = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F,
                                            0x11, 0xD1, 0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
    rendezvous.insert(rendezvous.end(), {0x27, 0x11, static_cast<std::uint8_t>(ext.size() >> 8),
                                         static_cast<std::uint8_t>(ext.size())});
    rendezvous.insert(rendezvous.end(), ext.begin(), ext.end());
    auto data = MakeRef<oscar::ByteBuffer>();
    data->Append(std::vector<std::uint8_t>{7, 7, 7, 7, 7, 7, 7, 7, 0, 2, 6, '1', '2', '3', '4', '5', '6', 0, 0, 0, 0});
    data->AppendU16(5);
    data->AppendU16(static_cast<std::uint16_t>(rendezvous.size()));
    data->Append(rendezvous);
    auto snac = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::IncomingMessage);
    snac->SetData(data);
    std::size_t before = m_core->Record().BosFrames().size();
    m_core->Core().Post(MakeRef<oscar::FrameEvent>(EventType::BosFrameReceived, oscar::FlapFrame::ForSnac(snac)));
    ASSERT_TRUE(m_core->PumpUntil([&] { return Received().size() == 1; }, 20000));
    EXPECT_EQ(Received()[0]->text, u"yo");
    m_core->PumpFor(3000);
    int replies = 0;
    auto frames = m_core->Record().BosFrames();
    for (std::size_t i = before; i < frames.size(); ++i)
        replies += frames[i]->Snac() && frames[i]->Snac()->Family() == 4 && frames[i]->Snac()->Subtype() == 0x0B;
    EXPECT_EQ(replies, 1);
}

// The date of a time as the console prints it, to the hour.
std::string HourStamp(const SYSTEMTIME& time)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "at %04u-%02u-%02u %02u:", time.wYear, time.wMonth, time.wDay, time.wHour);
    return stamp;
}

TEST_F(MessagingTest, MessagesToAnOfflineUserArriveAtItsNextSignOnAndAreDeleted)
{
    StartCore("SENDING_ACK=True\r\n");
    SYSTEMTIME before{};
    GetLocalTime(&before);
    const WideString texts[] = {u"one", u"two", u"three"};
    for (const WideString& text : texts) {
        int delivered = m_core->Record().Count(EventType::OwnMessageDelivered);
        ASSERT_EQ(m_core->Account()->SendMessage(u"100002", text), oscar::SendResult::Sent);
        ASSERT_TRUE(m_core->PumpUntil(
            [&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == delivered + 1; }, 100000));
    }
    SYSTEMTIME after{};
    GetLocalTime(&after);
    // The friend signs on and reads the three. It answers the end of the
    // offline messages with the deletion request right away; a live message
    // sent after it has printed the three lets it go, later than that.
    live::CliProcess first(m_folder, "friend",
                           FriendScript("wait-for event 40 60\nwait-for event 40 60\nwait-for event 40 60\n"
                                        "wait-for event 40 60\n"));
    ASSERT_TRUE(m_core->PumpUntil([&] { return first.Printed("\"three\""); }, 400000)) << first.Output();
    ASSERT_EQ(m_core->Account()->SendMessage(u"100002", u"bye"), oscar::SendResult::Sent);
    ASSERT_TRUE(PumpUntilFinished(first));
    EXPECT_EQ(first.ExitCode(), 0) << first.Output();
    for (const char* text : {"\"one\"", "\"two\"", "\"three\""})
        EXPECT_TRUE(first.Printed(text)) << first.Output();
    // Stamped with the time they were sent, whichever side of an hour.
    EXPECT_TRUE(first.Printed(HourStamp(before)) || first.Printed(HourStamp(after))) << first.Output();

    // Deleted on the server: the next sign-on brings none.
    live::CliProcess second(m_folder, "friend-again", FriendScript("sleep 5\n"));
    ASSERT_TRUE(PumpUntilFinished(second));
    EXPECT_FALSE(second.Printed("event 40")) << second.Output();
}

TEST_F(MessagingTest, TextWrittenWhileOfflineIsKeptAndGoesOutWhenSentAgain)
{
    StartCore();
    ListFriend();
    m_core->Choose(OnlineStatus::Offline);
    ASSERT_TRUE(m_core->PumpUntil([&] { auto session = m_core->Session(); return session && !session->IsOnline(); }, 100000));

    // Not sent, but kept: in the contact and in the contact-list cache.
    EXPECT_EQ(m_core->Account()->SendMessage(u"100002", u"written offline"), oscar::SendResult::NotSignedOn);
    RefPtr<Contact> contact = m_core->Account()->Store().FindContact(u"100002");
    ASSERT_TRUE(contact);
    EXPECT_EQ(contact->cachedText, u"written offline");
    auto fromCache = MakeRef<ContactStore>();
    ASSERT_TRUE(store::LoadContactListCache(*fromCache, platform::Utf8ToWide(m_folder + "/"), u"100001"));
    RefPtr<Contact> cached = fromCache->FindContact(u"100002");
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->cachedText, u"written offline");
    EXPECT_EQ(m_core->Account()->ResendMessage(u"100002"), oscar::SendResult::NotSignedOn);

    // Something that is not a UIN never becomes a contact (it would name a
    // history folder).
    EXPECT_EQ(m_core->Account()->SendMessage(u"../elsewhere", u"text"), oscar::SendResult::BadRecipient);
    EXPECT_FALSE(m_core->Account()->Store().FindContact(u"../elsewhere"));

    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().CountText("Online") == 2; }, 100000));
    ASSERT_EQ(m_core->Account()->ResendMessage(u"100002"), oscar::SendResult::Sent);
    {
        // Holding the store's lock keeps the confirmation out meanwhile: the
        // message is on its way and is neither sent twice nor replaced.
        platform::CriticalSectionLock guard(m_core->Account()->Store().Lock());
        if (contact->sending) {
            EXPECT_EQ(m_core->Account()->ResendMessage(u"100002"), oscar::SendResult::Busy);
            EXPECT_EQ(m_core->Account()->SendMessage(u"100002", u"another"), oscar::SendResult::Busy);
            EXPECT_EQ(contact->cachedText, u"written offline");
        }
    }
    ASSERT_TRUE(m_core->PumpUntil(
        [&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == 1; }, 100000));
    EXPECT_TRUE(contact->cachedText.empty());
    // Delivered: nothing is left to send again.
    EXPECT_EQ(m_core->Account()->ResendMessage(u"100002"), oscar::SendResult::NothingToSend);
    m_core->Pump();
    EXPECT_EQ(m_core->Record().Count(EventType::OwnMessageDelivered), 1);
}

}  // namespace
