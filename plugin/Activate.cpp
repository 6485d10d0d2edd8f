#include "plugin/Activate.h"

#include <cstdint>

#include "platform/process/Process.h"
#include "platform/sync/Sync.h"
#include "platform/win/Window.h"
#include "plugin/LibraryState.h"
#include "plugin/PluginIds.h"

namespace plugin {

void ActivateProgram()
{
    if (HWND program = FindWindowW(kProgramWindowClass, nullptr); program != nullptr) {
        // The lowest bit brings the program's other windows along.
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(program) | 1));
        return;
    }
    WideString folder = LibraryFolder();
    if (folder.empty())
        return;
    WideString path = folder + kProgramFile;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &started)) {
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
}

}  // namespace plugin
