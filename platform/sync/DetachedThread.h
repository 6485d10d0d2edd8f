// Starting a thread that nobody waits for.
//
// The body is moved onto the heap, owned by the new thread and destroyed
// there when it returns; when the thread cannot be started it is destroyed
// at once, so whatever the body holds is never leaked.
#pragma once

#include <functional>

namespace platform {

// Runs body on a new thread whose handle is closed at once. False (body
// destroyed, not run) when the thread could not be started or body is empty.
bool StartDetachedThread(std::function<void()> body);

}  // namespace platform
