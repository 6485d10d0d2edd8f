#include "app/AppGlobals.h"

#include "platform/base/Device.h"
#include "platform/sync/Sync.h"
#include "platform/win/Window.h"

namespace app {
namespace {

std::atomic<HINSTANCE> g_instance{nullptr};
std::atomic<AppCore*> g_core{nullptr};
std::atomic<HWND> g_dispatcher{nullptr};
std::atomic<std::int32_t> g_liveSessions{0};
std::atomic<std::int32_t> g_codePage{0};

CRITICAL_SECTION& FolderLock()
{
    static CRITICAL_SECTION lock;
    return lock;
}

WideString& FolderValue()
{
    static WideString folder;
    return folder;
}

}  // namespace

// Before the entry sets it (tests, tools), the process's own module.
HINSTANCE Instance()
{
    HINSTANCE instance = g_instance.load();
    return instance != nullptr ? instance : GetModuleHandleW(nullptr);
}
void SetInstance(HINSTANCE instance) { g_instance.store(instance); }

AppCore* Core() { return g_core.load(); }
void SetCore(AppCore* core) { g_core.store(core); }

HWND DispatcherHandle() { return g_dispatcher.load(); }
void SetDispatcherHandle(HWND window) { g_dispatcher.store(window); }

WideString AppFolder()
{
    platform::CriticalSectionLock guard(FolderLock());
    return FolderValue();
}

void SetAppFolder(const WideString& folder)
{
    platform::CriticalSectionLock guard(FolderLock());
    FolderValue() = folder;
}

WideString AppFolderFromModulePath()
{
    constexpr DWORD kMaxPath = 512;
    WCHAR path[kMaxPath + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, kMaxPath);
    if (length == 0)
        return {};
    WideString full(path, length);
    std::size_t cut = full.rfind(kPathSeparator);
    if (cut == WideString::npos)
        return {};
    return full.substr(0, cut + 1);
}

std::atomic<std::int32_t>& LiveSessionCount() { return g_liveSessions; }

std::int32_t ProcessCodePage() { return g_codePage.load(); }
void SetProcessCodePage(std::int32_t codePage) { g_codePage.store(codePage); }

}  // namespace app
