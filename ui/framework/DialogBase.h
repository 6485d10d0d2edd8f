// DialogBase: the dialog family of the interface. A dialog has no resource:
// DoModal writes its template from the layout list (each control wrapper
// with the creation block as its creation data), runs it modally, and the
// base initialisation makes it full-screen, gives it its soft keys and
// places the controls with the flow layout.
#pragma once

#include <vector>

#include "app/RefCounted.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Dialog.h"
#include "ui/framework/LayoutItem.h"

class DialogBase : public virtual RefCounted {
public:
    HWND Window() const { return m_window; }
    HWND MenuBar() const { return m_menuBar; }
    HMENU MenuBarMenu() const { return m_menuBarMenu; }
    const std::vector<RefPtr<LayoutItem>>& Items() const { return m_items; }

    virtual const WCHAR* ClassName() const = 0;
    // Soft keys: 1538 "OK" / "Cancel" unless a dialog says otherwise.
    virtual UINT MenuBarId() const { return 1538; }
    virtual void OnCreate() {}
    // Each dialog's own: calls InitializeDialog, then fills its controls.
    virtual LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    virtual void AfterInit() {}
    virtual void OnDestroy() {}
    virtual LRESULT OnClose() { return 0; }
    virtual void OnWindowPosChanged(WINDOWPOS* position) { (void)position; }
    virtual void OnPaint();
    virtual void OnDraw(HDC dc, const RECT& client);
    virtual LRESULT OnChildKeyDown(WPARAM key, LPARAM keyData, HWND control, bool& handled);
    virtual LRESULT OnKeyDown(WPARAM key, LPARAM keyData, bool& handled);
    virtual LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control);
    virtual LRESULT OnChildGetDlgCode(int controlId, HWND control, MSG* message);
    // Called for its effects; the dialog-class procedure answers every
    // message with DefDlgProcW.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Writes the template (size in dialog units) and runs the dialog; the
    // value given to EndDialog, or -1.
    INT_PTR DoModal(const WideString& title, short width, short height, HWND parent);
    // Appends to the layout list; returns the item for chaining.
    template <typename T>
    RefPtr<T> AddItem(RefPtr<T> item)
    {
        m_items.push_back(RefPtr<LayoutItem>(item.Get()));
        return item;
    }
    BOOL EndDialog(INT_PTR code) { return ::EndDialog(m_window, code); }
    BOOL Show(int command) { return ShowWindow(m_window, command); }
    void Invalidate() { InvalidateRect(m_window, nullptr, FALSE); }

    // The object of a live dialog window, or null.
    static DialogBase* FromHandle(HWND window);
    // The procedure of every dialog class.
    static LRESULT DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    explicit DialogBase(DWORD style = 0, WORD pointSize = 9, WideString faceName = u"Nina");
    ~DialogBase() override;

    // Registers ClassName as a dialog class (once per process; a failure is
    // tried again next time). DoModal calls it too.
    void RegisterDialogClass();

    // The base initialisation: full screen, soft keys with Back handed over,
    // flow layout of the controls, AfterLayout, AfterInit. 0 when the dialog
    // cannot be made full-screen or its soft-key bar cannot be made.
    LRESULT InitializeDialog();

private:
    static INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceControls(HDC dc);

    HWND m_window = nullptr;
    HWND m_menuBar = nullptr;
    HMENU m_menuBarMenu = nullptr;
    DWORD m_style;
    WideString m_title;
    WORD m_pointSize;
    WideString m_faceName;
    std::vector<RefPtr<LayoutItem>> m_items;
};
