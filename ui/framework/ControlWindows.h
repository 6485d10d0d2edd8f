// The control wrappers: each is the window object of one dialog control and
// its entry in the dialog's layout list. Superclassed wrappers get the
// common window procedure in front of the system control's; TextBoxWindow
// and MyListBoxWindow hand their keys and WM_GETDLGCODE to the window or
// dialog that owns them (and behave as the system control without one).
#pragma once

#include "ui/framework/LayoutItem.h"
#include "ui/framework/WindowBase.h"

class ControlWindow : public WindowBase, public ControlItem {
public:
    void SetHandle(HWND window) override;
    WindowBase* ControlObject() override { return this; }

protected:
    ControlWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height);
    ~ControlWindow() override = default;
};

// A control whose keys go to its owner first.
class KeyRoutingControl : public ControlWindow {
public:
    LRESULT OnKeyDown(WPARAM key, LPARAM keyData, bool& handled) override;
    LRESULT OnGetDlgCode(MSG* message, WPARAM key) override;

protected:
    using ControlWindow::ControlWindow;
    ~KeyRoutingControl() override = default;
};

class CheckBoxWindow : public ControlWindow {
public:
    CheckBoxWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height);
    const WCHAR* ClassName() const override { return u"CheckBoxWindow"; }
    const WCHAR* SystemClassName() const override { return u"BUTTON"; }
    WNDPROC BaseClassProc() const override { return SuperclassProc(); }

protected:
    ~CheckBoxWindow() override = default;
};

class StaticWindow : public ControlWindow {
public:
    StaticWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height);
    const WCHAR* ClassName() const override { return u"STATIC"; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WORD TemplateAtom() const override { return 0x0082; }
    WNDPROC BaseClassProc() const override { return nullptr; }

protected:
    ~StaticWindow() override = default;
};

class TextBoxWindow : public KeyRoutingControl {
public:
    TextBoxWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height);
    const WCHAR* ClassName() const override { return u"TextBoxWindow"; }
    const WCHAR* SystemClassName() const override { return u"EDIT"; }
    WNDPROC BaseClassProc() const override { return SuperclassProc(); }

protected:
    ~TextBoxWindow() override = default;
};

class ScrollBarWindow : public ControlWindow {
public:
    ScrollBarWindow(int id, DWORD style, WidthRule width, HeightRule height);
    const WCHAR* ClassName() const override { return u"ScrollBarWindow"; }
    const WCHAR* SystemClassName() const override { return u"SCROLLBAR"; }
    WNDPROC BaseClassProc() const override { return SuperclassProc(); }

protected:
    ~ScrollBarWindow() override = default;
};

class MyListBoxWindow : public KeyRoutingControl {
public:
    MyListBoxWindow(int id, DWORD style, WidthRule width, HeightRule height);
    const WCHAR* ClassName() const override { return u"MyListBoxWindow"; }
    const WCHAR* SystemClassName() const override { return u"LISTBOX"; }
    WNDPROC BaseClassProc() const override { return SuperclassProc(); }

protected:
    ~MyListBoxWindow() override = default;
};

class ListBoxWindow : public ControlWindow {
public:
    ListBoxWindow(int id, DWORD style, WidthRule width, HeightRule height);
    const WCHAR* ClassName() const override { return u"LISTBOX"; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WORD TemplateAtom() const override { return 0x0083; }
    WNDPROC BaseClassProc() const override { return nullptr; }

protected:
    ~ListBoxWindow() override = default;
};

// The spinner; after the layout it is attached to its buddy control.
class UpDownWindow : public ControlWindow {
public:
    UpDownWindow(int id, DWORD style, RefPtr<ControlItem> buddy);
    const WCHAR* ClassName() const override { return u"msctls_updown32"; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }
    void AfterLayout(ControlItem& item) override;

protected:
    ~UpDownWindow() override = default;

private:
    RefPtr<ControlItem> m_buddy;
};
