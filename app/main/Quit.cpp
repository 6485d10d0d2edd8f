#include "app/main/Quit.h"

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "ui/MainWindow.h"

namespace {

constexpr DWORD kDrainLimitMilliseconds = 15000;
constexpr DWORD kDrainStepMilliseconds = 1000;

}  // namespace

void RunConfirmedQuit()
{
    AppCore* core = app::Core();
    if (core != nullptr) {
        core->ShutDownSession();
        if (MainWindow* window = core->GetMainWindow(); window != nullptr && window->Window() != nullptr)
            window->Close();
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
