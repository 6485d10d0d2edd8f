// Delivery confirmation and its time-outs, without a server.
#include <gtest/gtest.h>

#include <mutex>

#include "app/AppCore.h"
#include "app/InterfaceStage.h"
#include "oscar/ContactStore.h"
#include "oscar/messaging/MessageEvents.h"
#include "oscar/messaging/Messenger.h"
#include "oscar/SessionEvents.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "tests/oscar/messaging/MessageBytes.h"

namespace {

// Sees the worker stage (frames to send) and, through the test's own
// deliveries of the interface stage, the events for the windows.
class Journal : public EventHandler, public EventListener {
public:
    void Handle(const RefPtr<AppEvent>& event) override
    {
        std::lock_guard guard(lock);
        if (auto* send = dynamic_cast<oscar::SendFrameEvent*>(event.Get()))
            sent.push_back(send->Frame());
    }
    void OnEvent(const RefPtr<AppEvent>& event) override
    {
        std::lock_guard guard(lock);
        auto* delivery = dynamic_cast<oscar::DeliveryEvent*>(event.Get());
        types.push_back({event->Type(), delivery ? delivery->Uin() : WideString()});
    }
    // Events of the type; of those about the UIN when one is given.
    int Count(std::int32_t type, const WideString& uin = WideString())
    {
        std::lock_guard guard(lock);
        return static_cast<int>(std::count_if(types.begin(), types.end(), [&](const auto& seen) {
            return seen.first == type && (uin.empty() || seen.second == uin);
        }));
    }
    std::vector<RefPtr<oscar::FlapFrame>> Sent()
    {
        std::lock_guard guard(lock);
        return sent;
    }
    std::mutex lock;
    std::vector<std::pair<std::int32_t, WideString>> types;
    std::vector<RefPtr<oscar::FlapFrame>> sent;
};

class MessengerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The confirmation time-outs (15 s and 5 s) take seconds of real
        // time, far longer than a worker round trip on a busy machine.
        platform::SetTimeScale(4.0);
        m_core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        m_journal = MakeRef<Journal>();
        m_core->AddHandler(m_journal);
        app::AddListener(m_journal.Get());
        m_core->Start();
        m_store = MakeRef<ContactStore>();
        m_messenger = MakeRef<Messenger>(*m_core, m_store, u"1000", 1000);
        Messenger::Outlets outlets;
        outlets.appendHistory = [this](const WideString& uin, bool sentByUser, const SYSTEMTIME&, const WideString& text) {
            std::lock_guard guard(m_historyLock);
            m_history.push_back((sentByUser ? u">" : u"<") + uin + u":" + text);
        };
        outlets.notifyIncoming = [this] { ++m_notifications; };
        m_messenger->SetOutlets(outlets);
        m_contact = AddOnlineContact(u"2000");
    }
    RefPtr<Contact> AddOnlineContact(const WideString& uin)
    {
        RefPtr<Contact> contact = m_store->AddContact(MakeRef<Contact>(uin));
        m_store->SetStatus(contact, 0);
        return contact;
    }
    void TearDown() override
    {
        app::RemoveListener(m_journal.Get());
        m_core->StopWorker();
        platform::SetTimeScale(1.0);
    }
    template <typename Predicate>
    bool WaitUntil(Predicate done, DWORD limit = 120000)
    {
        // This process has no dispatcher window: the test runs the interface
        // stage's deliveries itself.
        DWORD start = GetTickCount();
        for (;;) {
            app::DeliverPendingEvents();
            if (done())
                return true;
            if (GetTickCount() - start > limit)
                return false;
            Sleep(10);
        }
    }
    // The server's acknowledgement of a cookie.
    void Acknowledge(std::uint64_t cookie)
    {
        auto ack = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::ServerMessageAck);
        auto data = MakeRef<oscar::ByteBuffer>();
        data->AppendU32(static_cast<std::uint32_t>(cookie >> 32));
        data->AppendU32(static_cast<std::uint32_t>(cookie));
        ack->SetData(data);
        m_messenger->OnServerAcknowledgement(*ack);
    }
    // The cookies of the messages sent to the UIN, in order.
    std::vector<std::uint64_t> CookiesSentTo(const std::string& uin)
    {
        std::vector<std::uint64_t> cookies;
        for (const RefPtr<oscar::FlapFrame>& frame : m_journal->Sent()) {
            auto data = frame->Snac()->Data()->Bytes();
            if (frame->Snac()->Subtype() != 0x06 || data.size() < 11 + uin.size() ||
                std::string(data.begin() + 11, data.begin() + 11 + static_cast<long>(uin.size())) != uin)
                continue;
            std::uint64_t cookie = 0;
            for (int i = 0; i < 8; ++i)
                cookie = cookie << 8 | data[static_cast<std::size_t>(i)];
            cookies.push_back(cookie);
        }
        return cookies;
    }
    void Receive(const messagebytes::Bytes& data)
    {
        auto snac = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::IncomingMessage);
        snac->SetData(oscar::ByteBuffer::CopyOf(data));
        m_messenger->OnIncomingMessage(*snac);
    }
    std::vector<WideString> History()
    {
        std::lock_guard guard(m_historyLock);
        return m_history;
    }

    RefPtr<AppCore> m_core;
    RefPtr<Journal> m_journal;
    RefPtr<ContactStore> m_store;
    RefPtr<Messenger> m_messenger;
    RefPtr<Contact> m_contact;
    std::mutex m_historyLock;
    std::vector<WideString> m_history;
    std::atomic<int> m_notifications{0};
};

// Acknowledgements as a faulty server or peer may send them, one contact
// per case, all under way at once.
TEST_F(MessengerTest, EachMessageIsConfirmedOnceAndADeliveredOneIsNeverResent)
{
    m_core->GetSettings()->sendingAck = true;
    enum Ack { Own, Foreign };
    struct Case {
        const char* name;
        WideString uin;
        std::vector<Ack> acks;  // right after sending
        bool lateAck;           // after the time-out
        int delivered;          // events 42
        int notConfirmed;       // events 44
    } cases[] = {
        {"acknowledged", u"2001", {Own}, false, 1, 0},
        {"acknowledged twice", u"2002", {Own, Own}, false, 1, 0},
        {"a cookie never sent", u"2003", {Foreign}, false, 0, 1},
        {"never acknowledged", u"2004", {}, false, 0, 1},
        {"acknowledged after the time-out", u"2005", {}, true, 1, 1},
    };
    for (const Case& c : cases) {
        RefPtr<Contact> contact = AddOnlineContact(c.uin);
        m_store->SetCachedText(contact, u"to " + c.uin);
        ASSERT_EQ(m_messenger->SendMessage(c.uin), oscar::SendResult::Sent) << c.name;
        ASSERT_TRUE(contact->cachedTextCookie) << c.name;
        EXPECT_EQ(m_messenger->SendMessage(c.uin), oscar::SendResult::Busy) << c.name;
        for (Ack ack : c.acks)
            Acknowledge(ack == Own ? *contact->cachedTextCookie : *contact->cachedTextCookie ^ 0x5A5A);
    }
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageNotConfirmed) == 3; }));
    // Every entry is settled: no watch thread has anything left to report.
    EXPECT_EQ(m_store->Pending().Count(), 0u);
    RefPtr<Contact> late = m_store->FindContact(u"2005");
    Acknowledge(*late->cachedTextCookie);
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageDelivered) == 3; }));

    std::vector<WideString> history = History();
    for (const Case& c : cases) {
        RefPtr<Contact> contact = m_store->FindContact(c.uin);
        EXPECT_EQ(m_journal->Count(EventType::OwnMessageDelivered, c.uin), c.delivered) << c.name;
        EXPECT_EQ(m_journal->Count(EventType::OwnMessageNotConfirmed, c.uin), c.notConfirmed) << c.name;
        EXPECT_FALSE(contact->sending) << c.name;
        EXPECT_EQ(std::count(history.begin(), history.end(), u">" + c.uin + u":to " + c.uin), c.delivered) << c.name;
        std::string uin = platform::WideToUtf8(c.uin);
        if (c.delivered == 1) {
            // Delivered: the text is gone and cannot be sent again.
            EXPECT_TRUE(contact->cachedText.empty()) << c.name;
            EXPECT_EQ(m_messenger->SendMessage(c.uin), oscar::SendResult::NothingToSend) << c.name;
            EXPECT_EQ(CookiesSentTo(uin).size(), 1u) << c.name;
        } else {
            // Not confirmed: kept, and sent again with the same cookie so
            // that the recipient can tell a repeat.
            EXPECT_EQ(contact->cachedText, u"to " + c.uin) << c.name;
            EXPECT_EQ(m_messenger->SendMessage(c.uin), oscar::SendResult::Sent) << c.name;
            ASSERT_TRUE(WaitUntil([&] { return CookiesSentTo(uin).size() == 2; })) << c.name;
            EXPECT_EQ(CookiesSentTo(uin)[0], CookiesSentTo(uin)[1]) << c.name;
        }
    }
}

TEST_F(MessengerTest, WithoutAcknowledgementsTheSentFrameConfirms)
{
    m_core->GetSettings()->sendingAck = false;
    RefPtr<Contact> lost = AddOnlineContact(u"2001");
    m_store->SetCachedText(m_contact, u"quick");
    m_store->SetCachedText(lost, u"lost");
    ASSERT_EQ(m_messenger->SendMessage(u"2000"), oscar::SendResult::Sent);
    ASSERT_EQ(m_messenger->SendMessage(u"2001"), oscar::SendResult::Sent);
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Sent().size() == 2; }));
    RefPtr<oscar::FlapFrame> frame = m_journal->Sent()[0];
    auto data = frame->Snac()->Data()->Bytes();
    EXPECT_NE(data[data.size() - 4], 0);  // no empty store item at the end
    m_messenger->OnFrameSent(frame->FrameNumber());
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageDelivered, u"2000") == 1; }));
    // The other frame is never reported sent: not confirmed after 5 s.
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageNotConfirmed, u"2001") == 1; }));
    EXPECT_EQ(lost->cachedText, u"lost");

    // An offline contact always gets the store flag.
    m_store->SetStatus(m_contact, OnlineStatus::Offline);
    m_store->SetCachedText(m_contact, u"later");
    ASSERT_EQ(m_messenger->SendMessage(u"2000"), oscar::SendResult::Sent);
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Sent().size() == 3; }));
    auto stored = m_journal->Sent()[2]->Snac()->Data()->Bytes();
    EXPECT_EQ(std::vector<std::uint8_t>(stored.end() - 4, stored.end()), (std::vector<std::uint8_t>{0, 6, 0, 0}));
    EXPECT_EQ(m_messenger->SendMessage(u"9999"), oscar::SendResult::NothingToSend);  // unknown contact
}

// A sender that missed our acknowledgement sends the message again with its
// cookie: it is answered again but shown once.
TEST_F(MessengerTest, ARepeatedCookieFromTheSameSenderIsShownOnce)
{
    using messagebytes::Incoming;
    using messagebytes::Tlv;
    const messagebytes::Bytes text = Tlv(2, {1, 1, 0, 6, 0, 0, 0, 0, 'h', 'i'});
    Receive(Incoming(1, text, {}, 1));
    Receive(Incoming(1, text, {}, 1));
    Receive(Incoming(1, text, {}, 2));  // another message
    Receive(Incoming(2, messagebytes::ChannelTwoItem(false), {}, 3));
    Receive(Incoming(2, messagebytes::ChannelTwoItem(false), {}, 3));
    EXPECT_EQ(History(), (std::vector<WideString>{u"<555:hi", u"<555:hi", u"<555:hi!"}));
    EXPECT_EQ(m_notifications.load(), 3);
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Sent().size() == 2; }));
    for (const RefPtr<oscar::FlapFrame>& reply : m_journal->Sent())
        EXPECT_EQ(reply->Snac()->Subtype(), 0x0B);
}

TEST_F(MessengerTest, DeliveryMarksTheContactAndIgnoresTheOwnUin)
{
    auto message = MakeRef<oscar::IncomingMessage>();
    message->sender = u"3000";
    message->kind = 1;
    message->hasStatus = true;
    message->status = 0x0001;
    message->text = u"hi";
    m_messenger->Deliver(message);
    RefPtr<Contact> created = m_store->FindContact(u"3000");
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->unread);
    EXPECT_TRUE(created->mark);
    EXPECT_EQ(created->status, 0x0001);
    EXPECT_EQ(created->itemId, 0);
    EXPECT_EQ(m_notifications.load(), 1);
    EXPECT_EQ(History(), std::vector<WideString>{u"<3000:hi"});
    EXPECT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::IncomingMessage) == 1; }));

    auto own = MakeRef<oscar::IncomingMessage>();
    own->sender = u"1000";
    own->kind = 1;
    m_messenger->Deliver(own);
    EXPECT_EQ(m_notifications.load(), 1);
}

TEST_F(MessengerTest, TypingNoticesSetAndClearTheIndication)
{
    auto typing = [&](std::uint16_t type) {
        auto snac = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::TypingNotification);
        std::vector<std::uint8_t> data = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 4, '2', '0', '0', '0', 0,
                                          static_cast<std::uint8_t>(type)};
        snac->SetData(oscar::ByteBuffer::CopyOf(data));
        m_messenger->OnTyping(*snac);
    };
    typing(2);
    EXPECT_TRUE(m_contact->typing);
    typing(0);
    EXPECT_FALSE(m_contact->typing);
    typing(2);
    typing(1);
    EXPECT_FALSE(m_contact->typing);
    EXPECT_TRUE(m_messenger->SendTyping(u"2000", oscar::TypingState::Paused));
    m_store->SetStatus(m_contact, OnlineStatus::Offline);
    EXPECT_FALSE(m_messenger->SendTyping(u"2000", oscar::TypingState::Started));
}

}  // namespace
