#include "platform/process/QuitSignals.h"

#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <thread>

namespace platform {

namespace {

sigset_t QuitSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

void WatchQuitSignals(std::function<void()> onFirst)
{
    sigset_t set = QuitSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set, onFirst = std::move(onFirst)] {
        int received = 0;
        for (int count = 0;; ++count) {
            if (sigwait(&set, &received) != 0)
                continue;
            if (count > 0)
                std::_Exit(0);
            if (onFirst)
                onFirst();
        }
    }).detach();
}

}  // namespace platform
