// SIGINT and SIGTERM as the device's request to end a program: the program
// ends the way its own quit does; a second request ends it at once.
#pragma once

#include <functional>

namespace platform {

// Blocks SIGINT and SIGTERM in the calling thread and starts a thread that
// takes them: the first one calls `onFirst` on that thread, a second one
// ends the process with code 0. Call it before any other thread starts, so
// that every thread inherits the blocked signals.
void WatchQuitSignals(std::function<void()> onFirst);

}  // namespace platform
