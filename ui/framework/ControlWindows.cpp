#include "ui/framework/ControlWindows.h"

#include <utility>

#include "platform/win/Controls.h"
#include "ui/framework/DialogBase.h"

ControlWindow::ControlWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height)
    : ControlItem(id, caption, style, width, height)
{
    WindowBase::m_caption = std::move(caption);
    WindowBase::m_style = style;
}

void ControlWindow::SetHandle(HWND window)
{
    ControlItem::SetHandle(window);
    AttachWindow(window);
}

LRESULT KeyRoutingControl::OnKeyDown(WPARAM key, LPARAM keyData, bool& handled)
{
    HWND parent = GetParent(Window());
    if (RefPtr<WindowBase> owner = WindowBase::FromHandle(parent))
        return owner->OnChildKeyDown(key, keyData, Window(), handled);
    if (DialogBase* owner = DialogBase::FromHandle(parent))
        return owner->OnChildKeyDown(key, keyData, Window(), handled);
    handled = false;
    return 0;
}

LRESULT KeyRoutingControl::OnGetDlgCode(MSG* message, WPARAM)
{
    HWND parent = GetParent(Window());
    int id = GetDlgCtrlID(Window());
    if (RefPtr<WindowBase> owner = WindowBase::FromHandle(parent))
        return owner->OnChildGetDlgCode(id, Window(), message);
    if (DialogBase* owner = DialogBase::FromHandle(parent))
        return owner->OnChildGetDlgCode(id, Window(), message);
    return 0;
}

CheckBoxWindow::CheckBoxWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height)
    : ControlWindow(id, std::move(caption), style, width, height)
{
    RegisterSuperclass();
}

StaticWindow::StaticWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height)
    : ControlWindow(id, std::move(caption), style, width, height)
{
}

TextBoxWindow::TextBoxWindow(int id, WideString caption, DWORD style, WidthRule width, HeightRule height)
    : KeyRoutingControl(id, std::move(caption), style, width, height)
{
    RegisterSuperclass();
}

ScrollBarWindow::ScrollBarWindow(int id, DWORD style, WidthRule width, HeightRule height)
    : ControlWindow(id, WideString(), style, width, height)
{
    RegisterSuperclass();
}

MyListBoxWindow::MyListBoxWindow(int id, DWORD style, WidthRule width, HeightRule height)
    : KeyRoutingControl(id, WideString(), style, width, height)
{
    RegisterSuperclass();
}

ListBoxWindow::ListBoxWindow(int id, DWORD style, WidthRule width, HeightRule height)
    : ControlWindow(id, WideString(), style, width, height)
{
}

UpDownWindow::UpDownWindow(int id, DWORD style, RefPtr<ControlItem> buddy)
    : ControlWindow(id, WideString(), style, WidthRule{0, 10, 0, 0}, HeightRule{0, 2, 1}), m_buddy(std::move(buddy))
{
}

void UpDownWindow::AfterLayout(ControlItem& item)
{
    if (m_buddy && m_buddy->Handle() != nullptr && item.Handle() != nullptr)
        SendMessageW(item.Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_buddy->Handle()), 0);
}
