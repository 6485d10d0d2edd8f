// The end of the program: the path a confirmed "Quit" takes, and the drain
// after the message loop.
#pragma once

#include "platform/base/Types.h"

// Shuts the current account down and drops it, closes the main window, stops
// the worker thread and posts the quit message (code 0). Interface thread.
void RunConfirmedQuit();

// After the message loop: while sessions are alive, waits a second at a time,
// for at most 15 s (device time) in all.
void DrainLiveSessions();
