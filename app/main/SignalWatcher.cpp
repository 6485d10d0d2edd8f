#include <pthread.h>
#include <signal.h>

#include <cstdlib>

#include "app/AppGlobals.h"
#include "app/main/Entry.h"
#include "app/main/UIDispatcherWnd.h"
#include "platform/base/Clock.h"
#include "platform/sync/Sync.h"

namespace {

sigset_t QuitSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

DWORD WatchSignals(void*)
{
    sigset_t set = QuitSignals();
    int received = 0;
    for (int count = 0;; ++count) {
        if (sigwait(&set, &received) != 0)
            continue;
        if (count > 0)
            std::_Exit(0);
        // The dispatcher window may not exist yet when the signal comes
        // early in start-up; the quit request waits for it.
        HWND dispatcher = app::DispatcherHandle();
        while (dispatcher == nullptr) {
            Sleep(20);
            dispatcher = app::DispatcherHandle();
        }
        PostMessageW(dispatcher, kQuitRequestMessage, 0, 0);
    }
}

}  // namespace

void StartSignalWatcher()
{
    sigset_t set = QuitSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, &WatchSignals, nullptr, 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
}
