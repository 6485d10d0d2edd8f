#include "app/AppGlobals.h"
#include "app/main/Entry.h"
#include "app/main/UIDispatcherWnd.h"
#include "platform/base/Clock.h"
#include "platform/process/QuitSignals.h"

void StartSignalWatcher()
{
    platform::WatchQuitSignals([] {
        // The dispatcher window may not exist yet when the signal comes
        // early in start-up; the quit request waits for it.
        HWND dispatcher = app::DispatcherHandle();
        while (dispatcher == nullptr) {
            Sleep(20);
            dispatcher = app::DispatcherHandle();
        }
        PostMessageW(dispatcher, kQuitRequestMessage, 0, 0);
    });
}
