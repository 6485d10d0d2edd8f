// What one loaded plug-in library holds for all its objects: its module and
// folder, the count of live objects and server locks, the listener window
// and the program's last reported state. The listener thread writes the
// state while the home screen's thread reads it, so every access takes the
// library lock.
#pragma once

#include <cstdint>

#include "platform/win/Window.h"
#include "plugin/StateMessage.h"

namespace plugin {

// Remembered when the library is loaded: the module and its folder with the
// trailing separator (at most 500 characters; longer folders are not kept).
void SetModule(HINSTANCE module);
HINSTANCE Module();
WideString LibraryFolder();

// Objects plus locks; the library may unload when it is 0 and no listener
// thread runs.
void AddLibraryReference();
// Returns the count left.
std::int32_t ReleaseLibraryReference();
std::int32_t LibraryReferences();

void SetStatus(ProgramStatus status);
ProgramStatus Status();

// The listener window (null while none runs) and whether its thread runs.
void SetListenerWindow(HWND window);
HWND ListenerWindow();
void SetListenerRunning(bool running);
bool ListenerRunning();

}  // namespace plugin
