// WindowBase: the window family of the interface. Every top-level window and
// child-control wrapper is an object of a class derived from it, bound to its
// window handle through WindowMap by the common window procedure, which
// routes messages to the virtual operations below.
#pragma once

#include "app/RefCounted.h"
#include "platform/win/Window.h"

class WindowBase : public virtual RefCounted {
public:
    HWND Window() const { return m_window; }

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

    virtual LRESULT OnCreate(CREATESTRUCTW* create);
    virtual void OnCreated() {}
    virtual void OnDestroy() {}
    virtual LRESULT OnClose() { return 0; }
    virtual LRESULT OnKeyDown(WPARAM key, LPARAM keyData, bool& handled);
    virtual LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control);
    // The message switch; sets handled only where default processing must
    // be suppressed.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Creates a top-level window of ClassName with default position and size,
    // no parent and no menu; calls OnCreated on success. Returns the handle or
    // null.
    HWND Create(const WCHAR* title, DWORD style);

    BOOL Show(int command) { return ShowWindow(m_window, command); }
    void Update() { UpdateWindow(m_window); }
    void Close() { SendMessageW(m_window, WM_CLOSE, 0, 0); }
    void Destroy() { DestroyWindow(m_window); }

    // The object bound to a window handle, or null.
    static RefPtr<WindowBase> FromHandle(HWND window);

    // The procedure shared by every class of the window family.
    static LRESULT CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WindowBase() = default;
    ~WindowBase() override = default;

    // Registers ClassName once per process with the common procedure and the
    // given class style. Derived constructors call it (a virtual call is not
    // possible from this constructor). A failed registration is ignored and
    // tried again by the next construction.
    void RegisterWindowClass(UINT classStyle);

private:
    HWND m_window = nullptr;
};
