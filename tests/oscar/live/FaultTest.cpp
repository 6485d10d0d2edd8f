// Faults on the way online: each leads to the documented retries, and quit
// leaves no session thread behind.
#include <gtest/gtest.h>

#include <cstdlib>

#include "oscar/OnlineStatus.h"
#include "tests/oscar/live/FakeServer.h"
#include "tests/oscar/live/LiveTest.h"

namespace {

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
