// The login and BOS session against the local OSCAR server, on a fast clock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "oscar/OnlineStatus.h"
#include "oscar/codec/ByteReader.h"
#include "tests/oscar/live/LiveTest.h"

namespace {

const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100002" password="friend" nick="Friend"/>
</accounts>)";

class SessionTest : public live::LiveTest {
protected:
    SessionTest() : LiveTest("corvane-session") {}

    void StartServer()
    {
        m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
        ASSERT_TRUE(m_server->Ready());
    }
    void StartCore(const std::string& extra, const std::string& password = "demo", std::string hosts = "")
    {
        if (hosts.empty())
            hosts = m_server->LoginHost();
        std::string config = "UIN=100001\r\nPASSWORD=" + password + "\r\nLOGINHOSTS=" + hosts + "\r\n" + extra;
        m_core = std::make_unique<live::LiveCore>(m_folder, config);
    }
    bool WaitForText(const std::string& text, int count = 1, DWORD limit = 60000)
    {
        return m_core->PumpUntil([&] { return m_core->Record().CountText(text) >= count; }, limit);
    }

    // The (family << 16 | subtype) of every SNAC the session sent on BOS.
    std::vector<std::uint32_t> SentSnacs()
    {
        std::vector<std::uint32_t> snacs;
        for (const auto& frame : m_core->Record().BosFrames()) {
            if (frame->Snac())
                snacs.push_back(static_cast<std::uint32_t>(frame->Snac()->Family()) << 16 | frame->Snac()->Subtype());
        }
        return snacs;
    }

};

TEST_F(SessionTest, SignsOnThroughFindingHostAndLoggingOnToOnline)
{
    StartServer();
    StartCore("");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online"));
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOnline) == 1; }, 20000));
    std::vector<std::string> texts;
    for (const auto& t : m_core->Record().Texts())
        texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Finding host", "Logging on", "Online"}));

    // The first BOS frame is the cookie on channel 1.
    auto frames = m_core->Record().BosFrames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0]->Channel(), 1);

    std::vector<std::uint32_t> snacs = SentSnacs();
    // A privacy update (0x13/0x09) may come between activation and status.
    std::erase(snacs, 0x00130009u);
    std::vector<std::uint32_t> expected = {0x00010017, 0x00010006, 0x00010008, 0x00020002, 0x00020004, 0x00030002,
                                           0x00040004, 0x00090002, 0x00130002, 0x00040002, 0x00040002, 0x00040002,
                                           0x00130005, 0x00130007, 0x0001001E, 0x00010002, 0x00030004, 0x00150002};
    ASSERT_GE(snacs.size(), expected.size());
    snacs.resize(expected.size());
    EXPECT_EQ(snacs, expected);
}

TEST_F(SessionTest, NewSessionStaysOfflineUntilAStatusIsChosen)
{
    StartServer();
    StartCore("");
    m_core->PumpFor(20000);
    EXPECT_EQ(m_core->Record().CountText("Finding host"), 0);
    EXPECT_TRUE(m_core->Record().BosFrames().empty());
    m_core->Choose(OnlineStatus::Away);
    EXPECT_TRUE(WaitForText("Online"));
}

TEST_F(SessionTest, WrongPasswordIsRejectedAndRetriedWithGrowingDelays)
{
    platform::SetTimeScale(50.0);
    StartServer();
    StartCore("", "wrong");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Finding host", 7, 400000));
    EXPECT_EQ(m_core->Core().LastErrorText(), u"ICQ connection rejected: error 5");
    EXPECT_GE(m_core->Record().Count(EventType::LoginRejected), 6);
    EXPECT_EQ(m_core->Record().CountText("Online"), 0);

    // Each attempt starts no earlier than the growing delay after the one
    // before (a little slack for the delivery of the texts).
    std::vector<live::StatusText> attempts;
    for (const auto& t : m_core->Record().Texts()) {
        if (t.text == "Finding host")
            attempts.push_back(t);
    }
    for (std::size_t i = 1; i < 7; ++i) {
        DWORD expected = 5000u * static_cast<DWORD>(i);
        EXPECT_GE(attempts[i].tick - attempts[i - 1].tick + 250, expected) << "attempt " << i;
    }
}

TEST(RetryDelay, GrowsByFiveSecondsUpToSixty)
{
    DWORD delay = 0;
    std::vector<DWORD> delays;
    for (int i = 0; i < 14; ++i) {
        delay = OscarSession::NextRetryDelay(delay);
        delays.push_back(delay);
    }
    EXPECT_EQ(delays[0], 5000u);
    EXPECT_EQ(delays[5], 30000u);
    EXPECT_EQ(delays[10], 55000u);
    EXPECT_EQ(delays[11], 60000u);
    EXPECT_EQ(delays[13], 60000u);
}

TEST_F(SessionTest, RetryDelayStopsGrowingAtSixtySeconds)
{
    platform::SetTimeScale(1000.0);
    StartServer();
    StartCore("", "wrong");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Finding host", 15, 3000000));
    ASSERT_TRUE(m_core->Session());
    EXPECT_EQ(m_core->Session()->RetryDelay(), 60000u);
}

TEST_F(SessionTest, UnreachableHostsAreSkippedAndTheWorkingOneIsSavedFirst)
{
    StartServer();
    std::string dead1 = "127.0.0.1:" + std::to_string(live::FreePort());
    std::string dead2 = "127.0.0.1:" + std::to_string(live::FreePort());
    StartCore("", "demo", dead1 + "," + dead2 + "," + m_server->LoginHost());
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online", 1, 200000));
    EXPECT_EQ(m_core->Record().CountText("Finding host"), 3);

    std::string saved;
    ASSERT_TRUE(app::ReadSettingsFile(m_folder + "/Corvane.config", saved));
    std::string expected = "LOGINHOSTS=" + m_server->LoginHost() + "," + dead1 + "," + dead2 + "\r\n";
    EXPECT_NE(saved.find(expected), std::string::npos) << saved;
}

TEST_F(SessionTest, KeepAlivesLeaveOnlyWhileOnline)
{
    StartServer();
    StartCore("ICQ_PING_PERIOD=1\r\n");
    auto keepAlives = [this] {
        int count = 0;
        for (const auto& frame : m_core->Record().BosFrames())
            count += frame->Channel() == 5 ? 1 : 0;
        return count;
    };
    m_core->PumpFor(3000);
    EXPECT_EQ(keepAlives(), 0);
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online"));
    EXPECT_TRUE(m_core->PumpUntil([&] { return keepAlives() >= 2; }, 10000));
    m_core->Choose(OnlineStatus::Offline);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOffline) == 1; }, 10000));
    EXPECT_TRUE(WaitForText("Offline", 1, 10000));
    m_core->PumpFor(1500);
    int after = keepAlives();
    m_core->PumpFor(5000);
    EXPECT_EQ(keepAlives(), after);
}

std::uint32_t ChannelOneFlags(const std::vector<RefPtr<oscar::FlapFrame>>& frames)
{
    for (const auto& frame : frames) {
        if (!frame->Snac() || frame->Snac()->Family() != 4 || frame->Snac()->Subtype() != 2)
            continue;
        oscar::ByteReader reader(frame->Snac()->Data()->Bytes());
        std::uint16_t channel = 0;
        std::uint32_t flags = 0;
        if (reader.ReadU16BE(channel) && reader.ReadU32BE(flags) && channel == 1)
            return flags;
    }
    return 0xFFFFFFFF;
}

TEST_F(SessionTest, TypingNotificationsSettingChoosesTheChannelOneFlags)
{
    StartServer();
    StartCore("TYPING_NOTIFICATIONS=False\r\n");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online"));
    EXPECT_EQ(ChannelOneFlags(m_core->Record().BosFrames()), 3u);
    m_core.reset();

    StartCore("");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online"));
    EXPECT_EQ(ChannelOneFlags(m_core->Record().BosFrames()), 0x0Bu);
}

TEST_F(SessionTest, ServerGoingAwayWhileOnlineLeadsToOfflineAndRetries)
{
    StartServer();
    StartCore("");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online"));
    m_server->Stop();
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOffline) == 1; }, 20000));
    EXPECT_TRUE(WaitForText("Finding host", 2, 60000));
}

// An idle session stays online (the server answers the probe); a frozen
// server is noticed, and the session is back online by itself soon after the
// server runs again.
TEST_F(SessionTest, FrozenServerIsNoticedAndTheSessionComesBackAfterIt)
{
    platform::SetTimeScale(50.0);
    StartServer();
    StartCore("");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(WaitForText("Online"));
    m_core->PumpFor(10000);
    int confirmed = m_core->Record().Count(EventType::OwnStatusConfirmed);
    m_core->PumpFor(300000);
    EXPECT_EQ(m_core->Record().Count(EventType::SessionOffline), 0);
    EXPECT_EQ(m_core->Record().Count(EventType::OwnStatusConfirmed), confirmed);  // probe answers are not shown

    m_server->Freeze();
    DWORD frozen = GetTickCount();
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOffline) == 1; }, 300000));
    using oscar::KeepAlive;
    EXPECT_LE(GetTickCount() - frozen, KeepAlive::kSilenceLimit + KeepAlive::kAnswerLimit + 2 * KeepAlive::kWatchStep);
    m_core->PumpFor(200000);  // several attempts against the frozen server
    EXPECT_EQ(m_core->Record().CountText("Online"), 1);

    m_server->Thaw();
    EXPECT_TRUE(WaitForText("Online", 2, 120000));
}

TEST_F(SessionTest, QuitDuringARetryWaitEndsTheSessionPromptly)
{
    platform::SetTimeScale(20.0);
    StartServer();
    StartCore("", "wrong");
    m_core->Choose(OnlineStatus::Online);
    // The third failure starts a wait of 15 s.
    ASSERT_TRUE(WaitForText("Offline", 3, 200000));
    m_core->Core().ShutDownAccount();
    EXPECT_TRUE(m_core->PumpUntil([] { return app::LiveSessionCount().load() == 0; }, 10000));
}

}  // namespace
