#include "plugin/LibraryState.h"

#include <mutex>

#include "platform/base/Device.h"

namespace plugin {

namespace {

constexpr std::size_t kMaxFolder = 500;

struct State {
    std::mutex mutex;
    HINSTANCE module = nullptr;
    WideString folder;
    std::int32_t references = 0;
    ProgramStatus status;
    HWND listener = nullptr;
    bool listenerRunning = false;
};

State& Shared()
{
    static State state;
    return state;
}

}  // namespace

void SetModule(HINSTANCE module)
{
    WCHAR path[513] = {};
    DWORD length = GetModuleFileNameW(module, path, 513);
    WideString folder(path, length);
    std::size_t cut = folder.find_last_of(u"/\\");
    folder = cut == WideString::npos ? WideString() : folder.substr(0, cut + 1);
    if (folder.size() > kMaxFolder)
        folder.clear();
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    state.module = module;
    state.folder = folder;
}

HINSTANCE Module()
{
    std::lock_guard lock(Shared().mutex);
    return Shared().module;
}

WideString LibraryFolder()
{
    std::lock_guard lock(Shared().mutex);
    return Shared().folder;
}

void AddLibraryReference()
{
    std::lock_guard lock(Shared().mutex);
    ++Shared().references;
}

std::int32_t ReleaseLibraryReference()
{
    std::lock_guard lock(Shared().mutex);
    return --Shared().references;
}

std::int32_t LibraryReferences()
{
    std::lock_guard lock(Shared().mutex);
    return Shared().references;
}

void SetStatus(ProgramStatus status)
{
    std::lock_guard lock(Shared().mutex);
    Shared().status = std::move(status);
}

ProgramStatus Status()
{
    std::lock_guard lock(Shared().mutex);
    return Shared().status;
}

void SetListenerWindow(HWND window)
{
    std::lock_guard lock(Shared().mutex);
    Shared().listener = window;
}

HWND ListenerWindow()
{
    std::lock_guard lock(Shared().mutex);
    return Shared().listener;
}

void SetListenerRunning(bool running)
{
    std::lock_guard lock(Shared().mutex);
    Shared().listenerRunning = running;
}

bool ListenerRunning()
{
    std::lock_guard lock(Shared().mutex);
    return Shared().listenerRunning;
}

}  // namespace plugin
