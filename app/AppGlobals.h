// Process-wide application state: one instance each, set up by the entry
// before the message loop runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/base/Types.h"

class AppCore;

namespace app {

// The module handle given to the entry (the process module until then);
// used for window classes and resources.
HINSTANCE Instance();
void SetInstance(HINSTANCE instance);

// The single AppCore, created by the entry and never destroyed before the
// process ends. Null before start-up.
AppCore* Core();
void SetCore(AppCore* core);

// The UIDispatcherWnd handle, read by every thread that hands an event to the
// interface thread.
HWND DispatcherHandle();
void SetDispatcherHandle(HWND window);

// The folder of the executable with its trailing separator. Every file of the
// program is found relative to it.
WideString AppFolder();
void SetAppFolder(const WideString& folder);

// AppFolder from the executable's path (everything up to and including the
// last separator). Empty when the path cannot be read.
WideString AppFolderFromModulePath();

// Number of live sessions; the process end waits up to 15 s for it to reach 0.
std::atomic<std::int32_t>& LiveSessionCount();

// The code page of 8-bit message text and of stored passwords ("CODE_PAGE",
// 0 = the device default). 0 until start-up copies the setting.
std::int32_t ProcessCodePage();
void SetProcessCodePage(std::int32_t codePage);

}  // namespace app
