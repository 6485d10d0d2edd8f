// The remote control from outside: a small program is started headless, keys
// and text go in through its socket, and what it drew comes back as text.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "platform/display/RemoteControl.h"
#include "tests/common/TestSupport.h"

extern char** environ;

namespace {

using platform::display::RemoteCall;
using testsupport::WaitFor;

std::string EchoPath()
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "platform_display_support").string();
}

std::string Call(const std::string& socket, const std::string& request)
{
    return RemoteCall(socket, request).value_or("error no reply");
}

TEST(RemoteControlTest, KeysAndTextReachTheProgramAndItsDrawingComesBack)
{
    std::string path = EchoPath();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
    std::string socket = platform::display::ScreenSocketName(static_cast<unsigned long>(pid));
    // The window is listed as soon as it exists; focus and the foreground
    // follow when the program shows it.
    const std::string shown = "\"EchoWindow\" \"Echo\" 0,18,176,198 visible focus foreground";
    ASSERT_TRUE(WaitFor([&] { return Call(socket, "windows").find(shown) != std::string::npos; }))
        << Call(socket, "windows");
    EXPECT_EQ(Call(socket, "keys Down 5 Nonsense"), "error unknown key Nonsense\n");
    EXPECT_EQ(Call(socket, "keys Down 5 Back"), "ok\n");
    EXPECT_EQ(Call(socket, "type h\xC3\xA9llo \xD0\x96"), "ok\n");
    // The digit arrives as a key and, through TranslateMessage, as a character.
    ASSERT_TRUE(WaitFor([&] {
        std::string text = Call(socket, "text");
        return text.find("\"keys: Down 5 Back\"") != std::string::npos &&
               text.find("\"text:5h\xC3\xA9llo \xD0\x96\"") != std::string::npos;
    })) << Call(socket, "text");
    std::string text = Call(socket, "text");
    EXPECT_NE(text.find("shell"), std::string::npos);
    EXPECT_NE(text.find("\"Echo\""), std::string::npos);  // the title strip
    EXPECT_NE(text.find("\"Quit\""), std::string::npos);  // the right soft key
    EXPECT_EQ(Call(socket, "frobnicate"), "error unknown command frobnicate\n");

    // The program may end before it answers the key that ends it.
    Call(socket, "keys F2");
    int status = -1;
    ASSERT_TRUE(WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(RemoteCall(socket, "windows").has_value());
}

}  // namespace
