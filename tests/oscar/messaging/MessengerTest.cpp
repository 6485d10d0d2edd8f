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
        types.push_back(event->Type());
    }
    int Count(std::int32_t type)
    {
        std::lock_guard guard(lock);
        return static_cast<int>(std::count(types.begin(), types.end(), type));
    }
    std::vector<RefPtr<oscar::FlapFrame>> Sent()
    {
        std::lock_guard guard(lock);
        return sent;
    }
    std::mutex lock;
    std::vector<std::int32_t> types;
    std::vector<RefPtr<oscar::FlapFrame>> sent;
};

class MessengerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetTimeScale(1000.0);
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
        m_contact = m_store->AddContact(MakeRef<Contact>(u"2000"));
        m_store->SetStatus(m_contact, 0);
    }
    void TearDown() override
    {
        app::RemoveListener(m_journal.Get());
        m_core->StopWorker();
        platform::SetTimeScale(1.0);
    }
    template <typename Predicate>
    bool WaitUntil(Predicate done, DWORD limit = 60000)
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
    // The cookie of the last message sent.
    RefPtr<oscar::SnacCommand> AckFor(const RefPtr<oscar::FlapFrame>& message)
    {
        auto ack = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::ServerMessageAck);
        auto bytes = message->Snac()->Data()->Bytes();
        ack->SetData(oscar::ByteBuffer::CopyOf(bytes.first(8)));
        return ack;
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

TEST_F(MessengerTest, AcknowledgementConfirmsAndEmptiesTheCachedText)
{
    m_core->GetSettings()->sendingAck = true;
    m_store->SetCachedText(m_contact, u"hello");
    EXPECT_TRUE(m_contact->mark);
    ASSERT_TRUE(m_messenger->SendMessage(u"2000"));
    EXPECT_TRUE(m_contact->sending);
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Sent().size() == 1; }));
    m_messenger->OnServerAcknowledgement(*AckFor(m_journal->Sent()[0]));
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageDelivered) == 1; }));
    EXPECT_TRUE(m_contact->cachedText.empty());
    EXPECT_FALSE(m_contact->sending);
    EXPECT_EQ(History(), std::vector<WideString>{u">2000:hello"});
    Sleep(20000);  // past the time-out: nothing more
    app::DeliverPendingEvents();
    EXPECT_EQ(m_journal->Count(EventType::OwnMessageNotConfirmed), 0);
}

TEST_F(MessengerTest, AcknowledgementAfterTheTimeOutGivesOnlyNotConfirmed)
{
    m_core->GetSettings()->sendingAck = true;
    m_store->SetCachedText(m_contact, u"late");
    ASSERT_TRUE(m_messenger->SendMessage(u"2000"));
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageNotConfirmed) == 1; }));
    m_messenger->OnServerAcknowledgement(*AckFor(m_journal->Sent()[0]));
    Sleep(2000);
    app::DeliverPendingEvents();
    EXPECT_EQ(m_journal->Count(EventType::OwnMessageDelivered), 0);
    EXPECT_EQ(m_contact->cachedText, u"late");  // kept for sending again
    EXPECT_FALSE(m_contact->sending);
    EXPECT_TRUE(History().empty());
}

TEST_F(MessengerTest, WithoutAcknowledgementsTheSentFrameConfirms)
{
    m_core->GetSettings()->sendingAck = false;
    m_store->SetCachedText(m_contact, u"quick");
    ASSERT_TRUE(m_messenger->SendMessage(u"2000"));
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Sent().size() == 1; }));
    RefPtr<oscar::FlapFrame> frame = m_journal->Sent()[0];
    auto data = frame->Snac()->Data()->Bytes();
    EXPECT_NE(data[data.size() - 4], 0);  // no empty store item at the end
    m_messenger->OnFrameSent(frame->FrameNumber());
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageDelivered) == 1; }));
    // An offline contact always gets the store flag.
    m_store->SetStatus(m_contact, OnlineStatus::Offline);
    m_store->SetCachedText(m_contact, u"later");
    ASSERT_TRUE(m_messenger->SendMessage(u"2000"));
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Sent().size() == 2; }));
    auto stored = m_journal->Sent()[1]->Snac()->Data()->Bytes();
    EXPECT_EQ(std::vector<std::uint8_t>(stored.end() - 4, stored.end()), (std::vector<std::uint8_t>{0, 6, 0, 0}));
}

TEST_F(MessengerTest, FrameModeTimesOutAfterFiveSeconds)
{
    m_core->GetSettings()->sendingAck = false;
    m_store->SetCachedText(m_contact, u"lost");
    DWORD start = GetTickCount();
    ASSERT_TRUE(m_messenger->SendMessage(u"2000"));
    ASSERT_TRUE(WaitUntil([&] { return m_journal->Count(EventType::OwnMessageNotConfirmed) == 1; }));
    EXPECT_GE(GetTickCount() - start, Messenger::kFrameTimeout);
    EXPECT_FALSE(m_messenger->SendMessage(u"9999"));  // unknown contact
    m_store->SetCachedText(m_contact, u"");
    EXPECT_FALSE(m_messenger->SendMessage(u"2000"));  // nothing to send
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
    EXPECT_TRUE(m_messenger->SendTyping(u"2000", true));
    m_store->SetStatus(m_contact, OnlineStatus::Offline);
    EXPECT_FALSE(m_messenger->SendTyping(u"2000", true));
}

}  // namespace
