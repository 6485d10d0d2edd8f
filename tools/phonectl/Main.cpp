// phonectl: the remote control of the simulated phone's screen.
//
//   phonectl [--pid N] keys F2 Down Enter
//   phonectl [--pid N] type "hello"
//   phonectl [--pid N] screenshot main-online-176x220.png
//   phonectl [--pid N] windows
//   phonectl [--pid N] wait CLASS-OR-TITLE [SECONDS]
//   phonectl [--pid N] text
//
// The screen is found in DEVICE/run (CORVANE_DEVICE, default
// ~/.corvane-device): the one of process N, or the only screen there.
// Exit code 0 on "ok", 1 on an error reply, 2 when no screen answers.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/display/RemoteControl.h"

namespace {

using platform::display::Quote;
using platform::display::RemoteCall;

int Usage()
{
    std::fprintf(stderr, "usage: phonectl [--pid N] keys NAME... | type TEXT | screenshot FILE.png | windows |\n"
                         "                wait CLASS-OR-TITLE [SECONDS] | text\n"
                         "keys: F1 F2 Left Right Up Down Enter Back 0-9 Star Hash\n");
    return 2;
}

// The socket of process `pid`, or the only live screen.
std::string FindScreen(const std::string& pid)
{
    if (!pid.empty())
        return platform::display::ScreenSocketName(std::strtoul(pid.c_str(), nullptr, 10));
    std::vector<std::string> live;
    for (const std::string& name : platform::display::ScreenSockets()) {
        if (RemoteCall(name, "windows"))
            live.push_back(name);
    }
    if (live.size() > 1)
        std::fprintf(stderr, "phonectl: %zu screens are running; choose one with --pid\n", live.size());
    return live.size() == 1 ? live.front() : std::string();
}

int Print(const std::optional<std::string>& reply)
{
    if (!reply) {
        std::fprintf(stderr, "phonectl: the screen does not answer\n");
        return 2;
    }
    bool ok = reply->rfind("ok", 0) == 0;
    std::fputs(ok ? reply->substr(reply->find('\n') + 1).c_str() : reply->c_str(), ok ? stdout : stderr);
    return ok ? 0 : 1;
}

// Polls the window list until a window with that class or title is there.
int Wait(const std::string& screen, const std::string& name, double seconds)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string quoted = Quote(name);
    do {
        std::optional<std::string> reply = RemoteCall(screen, "windows");
        if (reply && reply->find(quoted) != std::string::npos)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    std::fprintf(stderr, "phonectl: no window %s after %g s\n", quoted.c_str(), seconds);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string pid;
    if (args.size() >= 2 && args[0] == "--pid") {
        pid = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return Usage();
    std::string screen = FindScreen(pid);
    if (screen.empty()) {
        std::fprintf(stderr, "phonectl: no screen found in the device folder\n");
        return 2;
    }
    if (args[0] == "wait" && (args.size() == 2 || args.size() == 3))
        return Wait(screen, args[1], args.size() == 3 ? std::atof(args[2].c_str()) : 30.0);
    std::string request = args[0];
    for (std::size_t i = 1; i < args.size(); ++i)
        request += " " + args[i];
    if (args[0] == "screenshot" && args.size() == 2 && args[1].front() != '/') {
        // The phone's process writes the file: give it an absolute path.
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) != nullptr)
            request = "screenshot " + std::string(cwd) + "/" + args[1];
    }
    return Print(RemoteCall(screen, request));
}
