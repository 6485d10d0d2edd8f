// Faults on the way online: each leads to a retry with the growing delay, and
// quit leaves no session thread behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "oscar/OnlineStatus.h"
#include "tests/common/TestSupport.h"
#include "tests/oscar/live/FakeServer.h"
#include "tests/oscar/live/LiveTest.h"
#include "tests/oscar/live/SignOnPeer.h"

namespace {

// An incoming channel-1 message from 555 (0x04/0x07): cookie, channel,
// sender, no user information, item 0x0002 with the text fragment.
// Each message has a cookie of its own, as a sender gives it: the client
// drops a repeated cookie from the same sender as a duplicate.
RefPtr<oscar::FlapFrame> IncomingText(const std::string& text)
{
    static std::atomic<std::uint8_t> serial{0};
    const std::uint8_t id = ++serial;
    std::vector<std::uint8_t> data = {7, 7, 7, 7, 7, 7, 7, id, 0, 1, 3, '5', '5', '5', 0, 0, 0, 0, 0, 2, 0,
                                      static_cast<std::uint8_t>(13 + text.size()), 5, 1, 0, 1, 1, 1, 1, 0,
                                      static_cast<std::uint8_t>(4 + text.size()), 0, 0, 0, 0};
    data.insert(data.end(), text.begin(), text.end());
    return live::PeerConnection::Snac(oscar::CommandNumber::IncomingMessage, data);
}

// The server's acknowledgement (0x04/0x0C) of a message the client sent.
RefPtr<oscar::FlapFrame> AckOf(const oscar::FlapFrame& sent)
{
    auto cookie = sent.Snac()->Data()->Bytes().first(8);
    std::vector<std::uint8_t> data(cookie.begin(), cookie.end());
    data.insert(data.end(), {0, 1, 3, '5', '5', '5'});
    return live::PeerConnection::Snac(oscar::CommandNumber::ServerMessageAck, data);
}

// Holds the worker on the first incoming message of each connection until
// the session has noticed the close, so that the frames behind it are still
// queued when the session lets go of the connection.
class StallingHandler : public EventHandler {
public:
    explicit StallingHandler(live::LiveCore& core) : m_core(core) {}
    void Handle(const RefPtr<AppEvent>& event) override
    {
        auto* frame = dynamic_cast<oscar::FrameEvent*>(event.Get());
        if (frame == nullptr || !frame->Frame()->Snac() ||
            frame->Frame()->Snac()->Number() != oscar::CommandNumber::IncomingMessage)
            return;
        if (m_stalled.exchange(true))
            return;
        testsupport::WaitFor([&] {
            RefPtr<OscarSession> session = m_core.Session();
            return !session || !session->IsOnline();
        });
    }
    void Rearm() { m_stalled = false; }

private:
    live::LiveCore& m_core;
    std::atomic<bool> m_stalled{false};
};

class FaultTest : public live::LiveTest {
protected:
    FaultTest() : LiveTest("corvane-fault") {}
    void TearDown() override
    {
        m_core.reset();
        EXPECT_EQ(app::LiveSessionCount().load(), 0);
        platform::connmgr::Reset();
        LiveTest::TearDown();
    }

    void StartCore(const std::string& hosts)
    {
        m_core = std::make_unique<live::LiveCore>(m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=" + hosts + "\r\n");
    }
    int Texts(const std::string& text) { return m_core->Record().CountText(text); }

};

TEST_F(FaultTest, LoginServerClosingAtOnceIsRetried)
{
    live::FakeServer server(live::FakeServer::Behaviour::CloseAtOnce);
    StartCore(server.Address());
    m_core->Choose(OnlineStatus::Online);
    EXPECT_TRUE(m_core->PumpUntil([&] { return server.Connections() >= 3; }, 100000));
    EXPECT_GE(Texts("Offline"), 2);
}

TEST_F(FaultTest, LoginServerClosingDuringTheLoginIsRetried)
{
    live::FakeServer server(live::FakeServer::Behaviour::GreetThenClose);
    StartCore(server.Address());
    m_core->Choose(OnlineStatus::Online);
    EXPECT_TRUE(m_core->PumpUntil([&] { return server.Connections() >= 3; }, 100000));
    EXPECT_GE(Texts("Logging on"), 2);
}

TEST_F(FaultTest, SilentServerTimesOutAndIsRetried)
{
    live::FakeServer server(live::FakeServer::Behaviour::Silent);
    StartCore(server.Address());
    m_core->Choose(OnlineStatus::Online);
    EXPECT_TRUE(m_core->PumpUntil([&] { return server.Connections() >= 2; }, 200000));
    EXPECT_GE(Texts("Offline"), 1);
}

TEST_F(FaultTest, UnresolvableBosHostIsRetried)
{
    live::FakeServer login(live::FakeServer::Behaviour::RedirectTo, "nonexistent.invalid:5191");
    StartCore(login.Address());
    m_core->Choose(OnlineStatus::Online);
    EXPECT_TRUE(m_core->PumpUntil([&] { return login.Connections() >= 2; }, 100000));
    EXPECT_EQ(Texts("Online"), 0);
}

TEST_F(FaultTest, BosServerClosingDuringSignOnIsRetried)
{
    live::FakeServer bos(live::FakeServer::Behaviour::GreetThenClose);
    live::FakeServer login(live::FakeServer::Behaviour::RedirectTo, bos.Address());
    StartCore(login.Address());
    m_core->Choose(OnlineStatus::Online);
    EXPECT_TRUE(m_core->PumpUntil([&] { return bos.Connections() >= 2 && login.Connections() >= 2; }, 100000));
    EXPECT_EQ(Texts("Online"), 0);
}

// The server acknowledges the client's message and sends two messages in one
// write, then closes at once; the worker is held on the first of them. Every
// run, all three still reach the online handler.
TEST_F(FaultTest, FramesReceivedBeforeACloseAreAllHandled)
{
    constexpr int kRuns = 100;
    std::atomic<int> run{0};
    live::SignOnPeer bos([&](live::PeerConnection& connection) {
        RefPtr<oscar::FlapFrame> sent = connection.NextSnac(oscar::CommandNumber::SendMessage);
        if (!sent)
            return;
        int n = run++;
        connection.Send({IncomingText("a" + std::to_string(n)), AckOf(*sent), IncomingText("b" + std::to_string(n))});
    });
    live::FakeServer login(live::FakeServer::Behaviour::RedirectTo, bos.Address());
    platform::SetTimeScale(100.0);
    StartCore(login.Address());
    auto stalling = MakeRef<StallingHandler>(*m_core);
    m_core->Core().AddHandler(stalling);
    m_core->Choose(OnlineStatus::Online);
    for (int i = 0; i < kRuns; ++i) {
        ASSERT_TRUE(m_core->PumpUntil([&] { return Texts("Online") == i + 1; }, 600000)) << "run " << i;
        stalling->Rearm();
        ASSERT_EQ(m_core->Account()->SendMessage(u"555", u"hello"), oscar::SendResult::Sent) << "run " << i;
        ASSERT_TRUE(m_core->PumpUntil(
            [&] { return m_core->Record().Count(EventType::OwnMessageDelivered) == i + 1; }, 600000))
            << "run " << i;
    }
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Messages().size() == 2u * kRuns; }, 600000));
    std::set<WideString> texts;
    for (const auto& message : m_core->Record().Messages())
        texts.insert(message->text);
    EXPECT_EQ(texts.size(), 2u * kRuns);
}

// The server announces only who is online: a contact seen online in the last
// session keeps that status while offline, and is offline once the next
// sign-on starts, until a notice says otherwise.
TEST_F(FaultTest, NextSignOnStartsWithEveryContactOffline)
{
    std::atomic<int> connections{0};
    std::atomic<bool> done{false};
    live::SignOnPeer bos([&](live::PeerConnection& connection) {
        if (connections++ == 0) {
            connection.Send(live::PeerConnection::Snac(oscar::CommandNumber::ContactOnline,
                                                       {3, '5', '5', '5', 0, 0, 0, 1, 0, 6, 0, 4, 0, 0, 0, 0}));
            return;  // and close
        }
        testsupport::WaitFor([&] { return done.load(); });
    });
    live::FakeServer login(live::FakeServer::Behaviour::RedirectTo, bos.Address());
    StartCore(login.Address());
    m_core->Choose(OnlineStatus::Online);
    auto status = [&] {
        RefPtr<Contact> contact = m_core->Account()->Store().FindContact(u"555");
        return contact ? contact->status : -2;
    };
    ASSERT_TRUE(m_core->PumpUntil([&] { return status() == OnlineStatus::Online; }, 600000));
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOffline) == 1; }, 600000));
    EXPECT_EQ(status(), OnlineStatus::Online);
    int refreshes = m_core->Record().Count(EventType::ViewRefresh);
    EXPECT_TRUE(m_core->PumpUntil([&] { return Texts("Online") == 2; }, 600000));
    EXPECT_EQ(status(), OnlineStatus::Offline);
    EXPECT_GT(m_core->Record().Count(EventType::ViewRefresh), refreshes);
    done = true;
}

TEST_F(FaultTest, DataLinkDownAndUpAgainBringsTheSessionBackOnline)
{
    live::ServerProcess server(m_folder, R"(<accounts><account uin="100001" password="demo"/></accounts>)");
    ASSERT_TRUE(server.Ready());
    platform::connmgr::SetManualMode(true);
    StartCore(server.LoginHost());
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(m_core->PumpUntil([] { return platform::connmgr::RequestCount() >= 1; }, 10000));
    platform::connmgr::InjectStatus(0x10);
    ASSERT_TRUE(m_core->PumpUntil([&] { return Texts("Online") == 1; }, 60000));

    platform::connmgr::InjectStatus(0x21);  // connection failed: the link is down
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOffline) == 1; }, 20000));
    // Five seconds later the login asks for the link again.
    ASSERT_TRUE(m_core->PumpUntil([] { return platform::connmgr::RequestCount() >= 2; }, 20000));
    platform::connmgr::InjectStatus(0x10);
    EXPECT_TRUE(m_core->PumpUntil([&] { return Texts("Online") == 2; }, 60000));
}

}  // namespace
