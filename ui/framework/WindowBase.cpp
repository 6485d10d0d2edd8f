#include "ui/framework/WindowBase.h"

#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "app/AppGlobals.h"

namespace {

// Handle -> object. Holds one reference per live window; the entry is removed
// after WM_DESTROY.
struct WindowMapState {
    std::mutex lock;
    std::map<HWND, RefPtr<WindowBase>> windows;
    std::set<std::u16string> registeredClasses;
};

WindowMapState& Map()
{
    static WindowMapState* state = new WindowMapState;
    return *state;
}

// The creation block every object passes to its window: a 16-bit length
// followed by the object pointer, unaligned. On this platform the pointer is
// 8 bytes, so the length is 8.
struct CreationBlock {
    unsigned char bytes[2 + sizeof(void*)];
};

CreationBlock MakeCreationBlock(WindowBase* object)
{
    CreationBlock block{};
    auto length = static_cast<WORD>(sizeof(void*));
    std::memcpy(block.bytes, &length, sizeof length);
    std::memcpy(block.bytes + 2, &object, sizeof object);
    return block;
}

WindowBase* ObjectFromCreationBlock(LPARAM lParam)
{
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (create == nullptr || create->lpCreateParams == nullptr)
        return nullptr;
    const auto* bytes = static_cast<const unsigned char*>(create->lpCreateParams);
    WORD length = 0;
    std::memcpy(&length, bytes, sizeof length);
    if (length != sizeof(void*))
        return nullptr;
    WindowBase* object = nullptr;
    std::memcpy(&object, bytes + 2, sizeof object);
    return object;
}

}  // namespace

LRESULT WindowBase::OnCreate(CREATESTRUCTW*)
{
    // Soft-key bars are made here once the menu-bar service exists; a window
    // without a bar id has none.
    return 0;
}

LRESULT WindowBase::OnKeyDown(WPARAM, LPARAM, bool& handled)
{
    handled = false;
    return 0;
}

LRESULT WindowBase::OnCommand(WORD, WORD, HWND) { return 0; }

LRESULT WindowBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        return OnClose();
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam, handled);
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return 0;
    }
}

HWND WindowBase::Create(const WCHAR* title, DWORD style)
{
    CreationBlock block = MakeCreationBlock(this);
    HWND window = CreateWindowExW(0, ClassName(), title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, app::Instance(), &block);
    if (window != nullptr)
        OnCreated();
    return window;
}

RefPtr<WindowBase> WindowBase::FromHandle(HWND window)
{
    WindowMapState& map = Map();
    std::lock_guard guard(map.lock);
    auto it = map.windows.find(window);
    return it == map.windows.end() ? nullptr : it->second;
}

LRESULT WindowBase::CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowMapState& map = Map();
    RefPtr<WindowBase> object;
    if (message == WM_CREATE) {
        object = ObjectFromCreationBlock(lParam);
        if (object) {
            object->m_window = window;
            std::lock_guard guard(map.lock);
            map.windows[window] = object;
        }
    } else {
        object = FromHandle(window);
    }
    if (!object)
        return DefWindowProcW(window, message, wParam, lParam);

    bool handled = false;
    LRESULT result = object->OnMessage(message, wParam, lParam, handled);
    if (!handled) {
        WNDPROC base = object->BaseClassProc();
        result = base != nullptr ? CallWindowProcW(base, window, message, wParam, lParam)
                                 : DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_DESTROY) {
        std::lock_guard guard(map.lock);
        map.windows.erase(window);
    }
    return result;
}

void WindowBase::RegisterWindowClass(UINT classStyle)
{
    WindowMapState& map = Map();
    std::u16string name = ClassName();
    {
        std::lock_guard guard(map.lock);
        if (map.registeredClasses.count(name) != 0)
            return;
    }
    WNDCLASSW windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &WindowBase::CommonWindowProc;
    windowClass.hInstance = app::Instance();
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassW(&windowClass) == 0)
        return;
    std::lock_guard guard(map.lock);
    map.registeredClasses.insert(name);
}
