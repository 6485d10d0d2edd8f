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
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/com/Com.h"
#include "platform/process/QuitSignals.h"
#include "tools/homescreen/CurrentScheme.h"
#include "tools/homescreen/HomeScreen.h"

namespace {

// The home screen's window once it exists (quit signals close it).
std::atomic<HWND> g_window{nullptr};

int Run()
{
    platform::WatchQuitSignals([] {
        HWND window = g_window.load();
        while (window == nullptr) {
            Sleep(20);
            window = g_window.load();
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int code = 0;
    {
        homescreen::HomeScreen home;
        if (!home.Open()) {
            std::fprintf(stderr, "homescreen: cannot create the window\n");
            return 1;
        }
        g_window = home.Window();
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
