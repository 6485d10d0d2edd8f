#include "plugin/Listener.h"

#include <span>

#include "platform/com/HomeScreen.h"
#include "platform/sync/Sync.h"
#include "plugin/LibraryState.h"
#include "plugin/PluginIds.h"

namespace plugin {

namespace {

void Announce()
{
    HWND program = FindWindowW(kProgramWindowClass, nullptr);
    if (program == nullptr)
        return;
    COPYDATASTRUCT empty{};
    SendMessageW(program, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty));
}

DWORD ListenerThread(void*)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ListenerProcedure;
    windowClass.hInstance = Module();
    windowClass.lpszClassName = kListenerClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kListenerClass, kListenerTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, Module(), nullptr);
    SetListenerWindow(window);
    if (window != nullptr) {
        // The last object may have gone while the window was being made.
        if (LibraryReferences() <= 0)
            PostMessageW(window, WM_DESTROY, 0, 0);
        Announce();
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        SetListenerWindow(nullptr);
        DestroyWindow(window);
    }
    // The procedure lives in this library, which may be unloaded once the
    // thread has ended: the class goes with the thread.
    UnregisterClassW(kListenerClass, Module());
    SetListenerRunning(false);
    return 0;
}

}  // namespace

LRESULT ListenerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && lParam != 0) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::span<const BYTE> payload;
        if (data->lpData != nullptr)
            payload = std::span<const BYTE>(static_cast<const BYTE*>(data->lpData), data->cbData);
        SetStatus(DecodeStateMessage(data->dwData, payload));
        SHOnPluginDataChange(kHomePluginClass);
    } else if (message == WM_DESTROY) {
        // Posted when the last object is gone: the thread ends.
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void StartListener()
{
    if (ListenerRunning())
        return;
    SetListenerRunning(true);
    HANDLE thread = CreateThread(nullptr, 0, &ListenerThread, nullptr, 0, nullptr);
    if (thread == nullptr)
        SetListenerRunning(false);
    else
        CloseHandle(thread);
}

void StopListener()
{
    if (HWND window = ListenerWindow(); window != nullptr)
        PostMessageW(window, WM_DESTROY, 0, 0);
}

}  // namespace plugin
