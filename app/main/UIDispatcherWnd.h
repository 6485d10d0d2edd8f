// UIDispatcherWnd: the hidden window through which other threads wake the
// interface thread. On the dispatcher message it delivers every pending event
// to the listeners. It also carries the quit request of a terminating signal.
#pragma once

#include "ui/framework/WindowBase.h"

// Asks the interface thread to run the confirmed-quit path (posted by the
// signal watcher; wParam and lParam 0).
constexpr UINT kQuitRequestMessage = 0x8002;

class UIDispatcherWnd : public WindowBase {
public:
    // Registers the class (once per process).
    UIDispatcherWnd();

    const WCHAR* ClassName() const override { return u"UIDispatcherWnd"; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }

    // Creates the hidden window ("dispatcher_window") and publishes its
    // handle as the dispatcher handle.
    HWND CreateDispatcher();

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    ~UIDispatcherWnd() override = default;
};
