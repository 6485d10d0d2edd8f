// WindowBase: the window family of the interface. Every top-level window and
// child-control wrapper is an object of a class derived from it, bound to its
// window handle through WindowMap by the common window procedure, which
// routes messages to the virtual operations below.
#pragma once

#include "app/RefCounted.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Window.h"

class ControlItem;

class WindowBase : public virtual RefCounted {
public:
    HWND Window() const { return m_window; }
    HWND MenuBar() const { return m_menuBar; }
    HMENU MenuBarMenu() const { return m_menuBarMenu; }

    // The class name this object's windows are created with.
    virtual const WCHAR* ClassName() const = 0;
    // The system class this class superclasses, or null.
    virtual const WCHAR* SystemClassName() const = 0;
    // Predefined dialog-control atom; 0 or 0xFFFF writes the class name.
    virtual WORD TemplateAtom() const { return 0; }
    // The superclassed class's procedure saved at registration, or null.
    virtual WNDPROC BaseClassProc() const = 0;
    // Resource id of the soft-key bar, 0 for none.
    virtual UINT MenuBarId() const { return 0; }

    // Makes the soft-key bar of MenuBarId; -1 when it cannot be made (the
    // window then lives without soft keys).
    virtual LRESULT OnCreate(CREATESTRUCTW* create);
    virtual void OnCreated() {}
    virtual void OnDestroy() {}
    virtual LRESULT OnClose() { return 0; }
    virtual void OnWindowPosChanged(WINDOWPOS* position, bool& handled);
    // BeginPaint, OnDraw on the client rectangle, EndPaint.
    virtual void OnPaint();
    virtual void OnDraw(HDC dc, const RECT& client);
    // A key that a child control of this window received.
    virtual LRESULT OnChildKeyDown(WPARAM key, LPARAM keyData, HWND control, bool& handled);
    virtual LRESULT OnKeyDown(WPARAM key, LPARAM keyData, bool& handled);
    virtual LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control);
    virtual LRESULT OnGetDlgCode(MSG* message, WPARAM key);
    // WM_GETDLGCODE that a child control of this window received.
    virtual LRESULT OnChildGetDlgCode(int controlId, HWND control, MSG* message);
    // The message switch; sets handled only where default processing must
    // be suppressed (WM_GETDLGCODE answered, or a key the object took).
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Called for a control after the owner dialog placed every control.
    virtual void AfterLayout(ControlItem& item);

    // Creates a top-level window of ClassName with default position and size,
    // no parent and no menu; calls OnCreated on success. Returns the handle or
    // null.
    HWND Create(const WCHAR* title, DWORD style);
    // Creates a child window with the object's caption, style and rectangle.
    HWND CreateChild(HWND parent);

    BOOL Show(int command) { return ShowWindow(m_window, command); }
    BOOL Move(int x, int y, int width, int height) { return MoveWindow(m_window, x, y, width, height, FALSE); }
    void Update() { UpdateWindow(m_window); }
    void Invalidate() { InvalidateRect(m_window, nullptr, FALSE); }
    void Close() { SendMessageW(m_window, WM_CLOSE, 0, 0); }
    void Destroy() { DestroyWindow(m_window); }

    // The object bound to a window handle, or null.
    static RefPtr<WindowBase> FromHandle(HWND window);

    // The procedure shared by every class of the window family.
    static LRESULT CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WindowBase();
    ~WindowBase() override;

    // Registers ClassName once per process with the common procedure and the
    // given class style. Derived constructors call it (a virtual call is not
    // possible from this constructor). A failed registration is ignored and
    // tried again by the next construction.
    void RegisterWindowClass(UINT classStyle);
    // Registers ClassName as a superclass of SystemClassName (once per
    // process): the system class's procedure is kept for BaseClassProc.
    void RegisterSuperclass();
    // The system procedure RegisterSuperclass found for this class.
    WNDPROC SuperclassProc() const { return m_superclassProc; }

    // Binds a window that was made without this object's creation block (a
    // control of a system class in a dialog).
    void AttachWindow(HWND window)
    {
        if (m_window == nullptr)
            m_window = window;
    }

    // Child windows: caption, style and creation rectangle.
    WideString m_caption;
    DWORD m_style = 0;
    short m_x = 0;
    short m_y = 0;
    short m_width = 0;
    short m_height = 0;
    // Background brush of windows that paint a solid background.
    HBRUSH m_brush = nullptr;

private:
    HWND m_window = nullptr;
    HWND m_menuBar = nullptr;
    HMENU m_menuBarMenu = nullptr;
    WNDPROC m_superclassProc = nullptr;
};

namespace uifw {

// Live layout and window objects of the process (kept for diagnostics).
int LiveObjectCount();
void CountObject(int delta);

}  // namespace uifw
