// The hidden listener window on a thread of its own: it receives the
// program's state messages, and announces the plug-in to a running program
// when it starts.
#pragma once

#include "platform/win/Window.h"

namespace plugin {

// Starts the thread unless one runs already.
void StartListener();

// Asks a running listener to end (when the last object is gone).
void StopListener();

// What the listener window does with a message (exposed for tests).
LRESULT ListenerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace plugin
