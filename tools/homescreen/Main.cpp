// homescreen: the simulated phone's home screen (a device tool, not part of
// the product).
//
//   homescreen           shows the current scheme until the window is closed
//   homescreen --init    prepares a fresh device: writes the default scheme
//                        to DEVICE/Application Data/Home/default.xml when it
//                        is missing and makes it current when no scheme is set
//   homescreen --set PATH
//                        makes the scheme file PATH current, through the
//                        configuration manager as the phone's settings do
//
// The device folder is CORVANE_DEVICE (default ~/.corvane-device); the screen
// is CORVANE_SCREEN and CORVANE_DISPLAY, as for every program of the phone.
// Prints "ready" once the home screen is shown. SIGINT or SIGTERM close it
// as closing its window does (its plug-ins are released first).
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/base/WideString.h"
#include "platform/com/Com.h"
#include "tools/homescreen/CurrentScheme.h"
#include "tools/homescreen/HomeScreen.h"

namespace {

sigset_t QuitSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Closes `window` on the first quit signal; a second one ends the process.
void WatchSignals(HWND window)
{
    sigset_t set = QuitSignals();
    std::thread([set, window] {
        int received = 0;
        for (int count = 0;; ++count) {
            if (sigwait(&set, &received) != 0)
                continue;
            if (count > 0)
                std::_Exit(0);
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }).detach();
}

int Run()
{
    // Blocked before any thread starts, so that every thread inherits it and
    // only the watcher takes the signals.
    sigset_t signals = QuitSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int code = 0;
    {
        homescreen::HomeScreen home;
        if (!home.Open()) {
            std::fprintf(stderr, "homescreen: cannot create the window\n");
            return 1;
        }
        WatchSignals(home.Window());
        std::printf("ready\n");
        std::fflush(stdout);
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        code = static_cast<int>(message.wParam);
    }
    CoFreeUnusedLibraries();
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--init") == 0) {
        std::string line = homescreen::InitDevice();
        std::printf("%s\n", line.c_str());
        return line.rfind("error", 0) == 0 ? 1 : 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--set") == 0) {
        if (homescreen::SetCurrentScheme(platform::Utf8ToWide(argv[2])))
            return 0;
        std::fprintf(stderr, "homescreen: the configuration manager did not take the scheme\n");
        return 1;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: homescreen [--init | --set SCHEME.xml]\n");
        return 2;
    }
    return Run();
}
