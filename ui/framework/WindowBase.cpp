#include "ui/framework/WindowBase.h"

#include <atomic>
#include <map>
#include <mutex>

#include "app/AppGlobals.h"
#include "ui/framework/CreationBlock.h"
#include "ui/framework/PaintClient.h"
#include "ui/framework/SoftKeyBar.h"

namespace {

// Handle -> object. Holds one reference per live window; the entry is removed
// after WM_DESTROY. Also the classes registered so far and, for superclasses,
// the system procedure each one calls on.
struct WindowMapState {
    std::mutex lock;
    std::map<HWND, RefPtr<WindowBase>> windows;
    std::map<std::u16string, WNDPROC> registeredClasses;
};

WindowMapState& Map()
{
    static WindowMapState* state = new WindowMapState;
    return *state;
}

std::atomic<int> g_liveObjects{0};

// The registered class's saved system procedure; false when ClassName is
// not registered yet.
bool FindRegistered(const std::u16string& name, WNDPROC& baseProc)
{
    WindowMapState& map = Map();
    std::lock_guard guard(map.lock);
    auto it = map.registeredClasses.find(name);
    if (it == map.registeredClasses.end())
        return false;
    baseProc = it->second;
    return true;
}

void NoteRegistered(const std::u16string& name, WNDPROC baseProc)
{
    WindowMapState& map = Map();
    std::lock_guard guard(map.lock);
    map.registeredClasses[name] = baseProc;
}

}  // namespace

int uifw::LiveObjectCount() { return g_liveObjects.load(); }
void uifw::CountObject(int delta) { g_liveObjects.fetch_add(delta); }

WindowBase::WindowBase() { uifw::CountObject(1); }
WindowBase::~WindowBase() { uifw::CountObject(-1); }

LRESULT WindowBase::OnCreate(CREATESTRUCTW*)
{
    UINT barId = MenuBarId();
    if (barId == 0)
        return 0;
    uifw::SoftKeyBar bar;
    if (!uifw::MakeSoftKeyBar(m_window, barId, bar))
        return -1;
    m_menuBar = bar.bar;
    m_menuBarMenu = bar.menu;
    return 0;
}

void WindowBase::OnWindowPosChanged(WINDOWPOS*, bool&) {}

void WindowBase::OnPaint()
{
    uifw::PaintClient(m_window, [this](HDC dc, const RECT& client) { OnDraw(dc, client); });
}

void WindowBase::OnDraw(HDC, const RECT&) {}

LRESULT WindowBase::OnChildKeyDown(WPARAM, LPARAM, HWND, bool&) { return 0; }

LRESULT WindowBase::OnKeyDown(WPARAM, LPARAM, bool& handled)
{
    handled = false;
    return 0;
}

LRESULT WindowBase::OnCommand(WORD, WORD, HWND) { return 0; }

LRESULT WindowBase::OnGetDlgCode(MSG*, WPARAM) { return 0; }

LRESULT WindowBase::OnChildGetDlgCode(int, HWND, MSG*) { return 0; }

void WindowBase::AfterLayout(ControlItem&) {}

LRESULT WindowBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        // A superclassed control paints itself in its system procedure; an
        // update region validated here would leave it nothing to draw.
        if (BaseClassProc() == nullptr)
            OnPaint();
        return 0;
    case WM_CLOSE:
        return OnClose();
    case WM_WINDOWPOSCHANGED: {
        bool ignored = false;
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam), ignored);
        return 0;
    }
    case WM_GETDLGCODE: {
        LRESULT code = OnGetDlgCode(reinterpret_cast<MSG*>(lParam), wParam);
        handled = code != 0;
        return code;
    }
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
    uifw::CreationBlock block = uifw::MakeCreationBlock(this);
    HWND window = CreateWindowExW(0, ClassName(), title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, app::Instance(), block.data());
    if (window != nullptr)
        OnCreated();
    return window;
}

HWND WindowBase::CreateChild(HWND parent)
{
    uifw::CreationBlock block = uifw::MakeCreationBlock(this);
    HWND window = CreateWindowExW(0, ClassName(), m_caption.c_str(), m_style, m_x, m_y, m_width, m_height, parent,
                                  nullptr, app::Instance(), block.data());
    if (window != nullptr) {
        AttachWindow(window);
        OnCreated();
    }
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
    // Held for the whole message: a window destroyed from inside one of its
    // own messages keeps its object until the message returns.
    RefPtr<WindowBase> object;
    // Bound from the first message on: a superclassed control sets itself up
    // at WM_NCCREATE, which must reach its system procedure.
    if (message == WM_NCCREATE || message == WM_CREATE) {
        object = uifw::ObjectFromCreationBlock(reinterpret_cast<CREATESTRUCTW*>(lParam));
        if (object) {
            object->m_window = window;
            RefPtr<WindowBase> previous;
            std::lock_guard guard(map.lock);
            previous = std::exchange(map.windows[window], object);
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
        RefPtr<WindowBase> removed;
        std::lock_guard guard(map.lock);
        auto it = map.windows.find(window);
        if (it != map.windows.end()) {
            removed = std::move(it->second);
            map.windows.erase(it);
        }
    }
    return result;
}

void WindowBase::RegisterWindowClass(UINT classStyle)
{
    std::u16string name = ClassName();
    WNDPROC ignored = nullptr;
    if (FindRegistered(name, ignored))
        return;
    WNDCLASSW windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &WindowBase::CommonWindowProc;
    windowClass.hInstance = app::Instance();
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassW(&windowClass) == 0)
        return;
    NoteRegistered(name, nullptr);
}

void WindowBase::RegisterSuperclass()
{
    std::u16string name = ClassName();
    if (FindRegistered(name, m_superclassProc))
        return;
    WNDCLASSW windowClass{};
    if (SystemClassName() == nullptr || !GetClassInfoW(app::Instance(), SystemClassName(), &windowClass))
        return;
    WNDPROC baseProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &WindowBase::CommonWindowProc;
    windowClass.hInstance = app::Instance();
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassW(&windowClass) == 0)
        return;
    NoteRegistered(name, baseProc);
    m_superclassProc = baseProc;
}
