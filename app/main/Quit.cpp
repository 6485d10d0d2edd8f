#include "app/main/Quit.h"

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "home/PluginLink.h"
#include "platform/base/Clock.h"
#include "platform/win/Window.h"

namespace {

constexpr DWORD kDrainLimitMilliseconds = 15000;
constexpr DWORD kDrainStepMilliseconds = 1000;

}  // namespace

void RunConfirmedQuit()
{
    AppCore* core = app::Core();
    if (core != nullptr) {
        core->ShutDownAccount();
        // The plug-in's row goes back to "Offline"; nothing is sent after this.
        home::TellPlugin(u"", false);
        if (ProgramWindow* window = core->GetMainWindow(); window != nullptr) {
            if (HWND handle = window->ProgramWindowHandle(); handle != nullptr)
                SendMessageW(handle, WM_CLOSE, 0, 0);
        }
        core->StopWorker();
    }
    PostQuitMessage(0);
}

void DrainLiveSessions()
{
    DWORD start = GetTickCount();
    while (app::LiveSessionCount().load() > 0 && GetTickCount() - start < kDrainLimitMilliseconds)
        Sleep(kDrainStepMilliseconds);
}
