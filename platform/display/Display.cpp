// Starting the screen: the layout, the work area, the backend and the remote
// control.
#include "platform/display/Display.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/display/Png.h"
#include "platform/display/RemoteControl.h"
#include "platform/display/SdlScreen.h"

namespace platform::display {
namespace {

ScreenLayout g_layout;  // set once by EnsureStarted
bool g_sdl = false;

// CORVANE_DISPLAY=sdl|headless; without it, SDL when a display is there.
bool WantSdl()
{
    const char* choice = std::getenv("CORVANE_DISPLAY");
    if (choice != nullptr && std::strcmp(choice, "headless") == 0)
        return false;
    if (choice != nullptr && std::strcmp(choice, "sdl") == 0)
        return true;
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

std::once_flag g_laidOut;
std::once_flag g_started;

}  // namespace

void EnsureWorkArea()
{
    std::call_once(g_laidOut, [] {
        g_layout = LayoutFromEnvironment();
        platform::SetWorkArea(g_layout.WorkArea());
    });
}

void EnsureStarted()
{
    EnsureWorkArea();
    std::call_once(g_started, [] {
        if (WantSdl()) {
            g_sdl = StartSdlScreen(g_layout);
            if (!g_sdl)
                std::fprintf(stderr, "corvane: no SDL display, running headless\n");
        }
        StartRemoteControl();
    });
}

const ScreenLayout& Layout()
{
    EnsureWorkArea();
    return g_layout;
}

bool IsSdl()
{
    EnsureStarted();
    return g_sdl;
}

bool SaveScreenshot(const std::string& path)
{
    std::shared_ptr<gdi::Surface> screen = Capture();
    return screen && WritePng(path, *screen);
}

}  // namespace platform::display
