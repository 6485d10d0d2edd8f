// The console's waits and commands without a server: scripts that drive two
// clients rely on each event satisfying one wait, whatever the order of
// arrival, and on commands failing with a clear line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "app/main/Entry.h"
#include "oscar/SessionEvents.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "tests/common/TestSupport.h"
#include "tools/corvane-cli/CommandRunner.h"
#include "tools/corvane-cli/ConsoleListener.h"

namespace {

// Everything written to the file so far.
std::string Contents(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file))
        text.append(buffer, n);
    return text;
}

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetTimeScale(1000.0);
        m_core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        m_out = std::tmpfile();
        ASSERT_NE(m_out, nullptr);
    }
    void TearDown() override
    {
        std::fclose(m_out);
        platform::SetTimeScale(1.0);
    }

    std::string Output() { return Contents(m_out); }


    RefPtr<AppCore> m_core;
    std::FILE* m_out = nullptr;
};

TEST_F(ConsoleTest, EachEventSatisfiesOneWaitWhateverTheOrderOfArrival)
{
    cli::ConsoleListener listener(*m_core, m_out);
    listener.OnEvent(MakeRef<AppEvent>(EventType::OwnMessageDelivered));
    listener.OnEvent(MakeRef<AppEvent>(EventType::IncomingMessage));
    auto is = [](std::int32_t type) { return [type](const cli::SeenEvent& seen) { return seen.type == type; }; };

    // The later event first, then the earlier one: both are found.
    EXPECT_TRUE(listener.WaitFor(is(EventType::IncomingMessage), 1000));
    EXPECT_TRUE(listener.WaitFor(is(EventType::OwnMessageDelivered), 1000));
    // Used once only: a second wait for the same type needs a new event.
    EXPECT_FALSE(listener.WaitFor(is(EventType::IncomingMessage), 1000));

    std::thread later([&] {
        Sleep(2000);
        listener.OnEvent(MakeRef<AppEvent>(EventType::IncomingMessage));
    });
    EXPECT_TRUE(listener.WaitFor(is(EventType::IncomingMessage), 600000));
    later.join();
}

TEST_F(ConsoleTest, StatusTextsAreMatchedWithUnderscoresForSpacesAndLinesCarryTheDeviceTime)
{
    cli::ConsoleListener listener(*m_core, m_out, true);
    cli::CommandRunner runner(*m_core, listener, m_out);
    listener.OnEvent(MakeRef<oscar::StatusTextEvent>(u"Finding host"));
    EXPECT_EQ(runner.Run("wait-for Finding_host 1"), cli::CommandResult::Continue);
    EXPECT_EQ(runner.Run("wait-for Finding_host 1"), cli::CommandResult::Failed);
    std::string out = Output();
    EXPECT_NE(out.find("] event 16 status \"Finding host\"\n"), std::string::npos) << out;
    EXPECT_EQ(out.rfind("[t=", 0), 0u) << out;
    EXPECT_NE(out.find("ok wait-for Finding host\n"), std::string::npos) << out;
    EXPECT_NE(out.find("error wait-for Finding host: timed out\n"), std::string::npos) << out;
}

TEST_F(ConsoleTest, BadCommandsFailWithAClearLineAndTheRunGoesOn)
{
    cli::ConsoleListener listener(*m_core, m_out);
    cli::CommandRunner runner(*m_core, listener, m_out);
    EXPECT_EQ(runner.Run("frobnicate"), cli::CommandResult::Failed);
    EXPECT_EQ(runner.Run("msg 100100 hello"), cli::CommandResult::Failed);  // no account yet
    EXPECT_EQ(runner.Run("wait-for offline"), cli::CommandResult::Failed);
    EXPECT_EQ(runner.Run("wait-for offline 100100 soon"), cli::CommandResult::Failed);
    EXPECT_EQ(runner.Run("status sleepy"), cli::CommandResult::Failed);
    // A UIN is digits only: it also names the contact's history folder.
    EXPECT_EQ(runner.Run("msg ../outside hello"), cli::CommandResult::Failed);
    EXPECT_EQ(runner.Run("add 1234567890123 Long 1"), cli::CommandResult::Failed);
    EXPECT_EQ(runner.Run("# a comment"), cli::CommandResult::Continue);
    EXPECT_EQ(runner.Run("help"), cli::CommandResult::Continue);
    EXPECT_EQ(runner.Run("quit"), cli::CommandResult::Quit);
    std::string out = Output();
    EXPECT_NE(out.find("error unknown command: frobnicate (\"help\" lists the commands)"), std::string::npos);
    EXPECT_NE(out.find("error msg: no account"), std::string::npos) << out;
    EXPECT_NE(out.find("error msg ../outside: not a UIN (1 to 12 digits)"), std::string::npos) << out;
    EXPECT_NE(out.find("error add 1234567890123: not a UIN"), std::string::npos) << out;
    EXPECT_NE(out.find("  resend UIN"), std::string::npos);
}

// The messaging commands with an account that is not signed on: every
// refusal says why, and what was not sent is kept or left with the user.
TEST(ConsoleMessages, RefusalsSayWhyAndTypingHasThreeStates)
{
    testsupport::TempFolder folder("corvane-console");
    ASSERT_TRUE(folder.Ok());
    platform::SetTimeScale(20.0);
    app::SetAppFolder(platform::Utf8ToWide(folder.Path() + "/"));
    RefPtr<AppCore> core = MakeRef<AppCore>(nullptr, BuildAppCoreParts());
    core->Start();
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        cli::ConsoleListener listener(*core, out);
        cli::CommandRunner runner(*core, listener, out);
        ASSERT_EQ(runner.Run("account 100001 demo 127.0.0.1:1"), cli::CommandResult::Continue);
        struct Case {
            std::string command;
            const char* line;
        } cases[] = {
            {"msg 100100 " + std::string(8001, 'x'),
             "error msg 100100: too long for one message (at most 8000 bytes); not sent, shorten it"},
            {"resend 100100", "error resend 100100: nothing to send"},
            {"msg 100100 hello", "error msg 100100: not sent (offline); the text is kept"},
            {"resend 100100", "error resend 100100: not sent (offline); the text is kept"},
            {"typing 100100 pause", "error typing 100100: not sent"},
            {"typing 100100 later", "error usage: typing UIN start|pause|stop"},
            {"discard 100100", "ok discard 100100"},
        };
        for (const Case& c : cases)
            runner.Run(c.command);
        std::string text = Contents(out);
        for (const Case& c : cases)
            EXPECT_NE(text.find(c.line), std::string::npos) << c.command.substr(0, 30) << "\n" << text;
    }
    std::fclose(out);
    core->ShutDownAccount();
    core->StopWorker();
    // The session's login thread uses the core until it has ended.
    EXPECT_TRUE(testsupport::WaitFor([] { return app::LiveSessionCount().load() == 0; }));
    platform::SetTimeScale(1.0);
}

}  // namespace
