#include "ui/framework/DialogBase.h"

#include <map>
#include <mutex>
#include <set>

#include "app/AppGlobals.h"
#include "platform/base/LastError.h"
#include "platform/shell/Shell.h"
#include "ui/framework/FlowLayout.h"
#include "ui/framework/PaintClient.h"
#include "ui/framework/SoftKeyBar.h"
#include "ui/framework/TemplateWriter.h"
#include "ui/framework/WindowBase.h"

namespace {

constexpr UINT kBackKey = 0x1B;

// Handle -> dialog object from WM_CREATE to WM_DESTROY, the dialog classes
// registered so far, and the dialog DoModal is about to create.
struct DialogMapState {
    std::mutex lock;
    std::map<HWND, DialogBase*> dialogs;
    std::set<std::u16string> registeredClasses;
};

DialogMapState& Map()
{
    static DialogMapState* state = new DialogMapState;
    return *state;
}

thread_local DialogBase* t_dialogBeingCreated = nullptr;

}  // namespace

DialogBase::DialogBase(DWORD style, WORD pointSize, WideString faceName)
    : m_style(style), m_pointSize(pointSize), m_faceName(std::move(faceName))
{
    uifw::CountObject(1);
}

DialogBase::~DialogBase() { uifw::CountObject(-1); }

void DialogBase::RegisterDialogClass()
{
    DialogMapState& map = Map();
    std::u16string name = ClassName();
    {
        std::lock_guard guard(map.lock);
        if (map.registeredClasses.count(name) != 0)
            return;
    }
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &DialogBase::DialogClassProc;
    windowClass.cbWndExtra = 32;
    windowClass.hInstance = app::Instance();
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassW(&windowClass) == 0)
        return;
    std::lock_guard guard(map.lock);
    map.registeredClasses.insert(name);
}

DialogBase* DialogBase::FromHandle(HWND window)
{
    DialogMapState& map = Map();
    std::lock_guard guard(map.lock);
    auto it = map.dialogs.find(window);
    return it == map.dialogs.end() ? nullptr : it->second;
}

LRESULT DialogBase::DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogBase* object = nullptr;
    if (message == WM_CREATE && t_dialogBeingCreated != nullptr) {
        object = std::exchange(t_dialogBeingCreated, nullptr);
        object->m_window = window;
        DialogMapState& map = Map();
        std::lock_guard guard(map.lock);
        map.dialogs[window] = object;
    } else {
        object = FromHandle(window);
    }
    if (object != nullptr) {
        bool handled = false;
        object->OnMessage(message, wParam, lParam, handled);
        if (message == WM_DESTROY) {
            DialogMapState& map = Map();
            std::lock_guard guard(map.lock);
            map.dialogs.erase(window);
        }
    }
    return DefDlgProcW(window, message, wParam, lParam);
}

INT_PTR DialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)window;
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* object = reinterpret_cast<DialogBase*>(lParam);
    if (object != nullptr)
        object->OnInitDialog(wParam, lParam);
    return TRUE;
}

LRESULT DialogBase::OnInitDialog(WPARAM, LPARAM) { return InitializeDialog(); }

void DialogBase::OnPaint()
{
    uifw::PaintClient(m_window, [this](HDC dc, const RECT& client) { OnDraw(dc, client); });
}

void DialogBase::OnDraw(HDC, const RECT&) {}

LRESULT DialogBase::OnChildKeyDown(WPARAM, LPARAM, HWND, bool&) { return 0; }

LRESULT DialogBase::OnKeyDown(WPARAM, LPARAM, bool& handled)
{
    handled = false;
    return 0;
}

LRESULT DialogBase::OnCommand(WORD, WORD, HWND) { return 0; }

LRESULT DialogBase::OnChildGetDlgCode(int, HWND, MSG*) { return 0; }

LRESULT DialogBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CLOSE:
        return OnClose();
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam, handled);
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_HOTKEY:
        // The overridden Back key: hand it to the focused control so that an
        // edit box deletes a character instead of the screen closing.
        if (HIWORD(static_cast<std::uintptr_t>(lParam)) == kBackKey)
            SHSendBackToFocusWindow(message, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

INT_PTR DialogBase::DoModal(const WideString& title, short width, short height, HWND parent)
{
    RegisterDialogClass();
    m_title = title;
    uifw::TemplateHeader header;
    header.style = m_style;
    header.cx = width;
    header.cy = height;
    header.className = ClassName();
    header.title = title;
    header.pointSize = m_pointSize;
    header.faceName = m_faceName;
    std::vector<uifw::TemplateControl> controls;
    for (const RefPtr<LayoutItem>& item : m_items) {
        if (!item || item->ItemKind() != LayoutItem::kControl)
            continue;
        auto& control = static_cast<ControlItem&>(*item);
        if (WindowBase* object = control.ControlObject())
            controls.push_back(uifw::ControlTemplate(control, *object));
    }
    std::optional<std::vector<BYTE>> bytes = uifw::WriteDialogTemplate(header, controls);
    if (!bytes)
        return -1;
    t_dialogBeingCreated = this;
    INT_PTR result = DialogBoxIndirectParamW(app::Instance(), reinterpret_cast<const DLGTEMPLATE*>(bytes->data()),
                                             parent, &DialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
    t_dialogBeingCreated = nullptr;
    if (result == -1)
        (void)GetLastError();
    return result;
}

LRESULT DialogBase::InitializeDialog()
{
    SHINITDLGINFO init;
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = m_window;
    init.dwFlags = SHIDIF_SIZEDLGFULLSCREEN;
    if (!SHInitDialog(&init))
        return 0;
    if (MenuBarId() != 0) {
        uifw::SoftKeyBar bar;
        if (!uifw::MakeSoftKeyBar(m_window, MenuBarId(), bar))
            return 0;
        m_menuBar = bar.bar;
        m_menuBarMenu = bar.menu;
        SendMessageW(m_menuBar, SHCMBM_OVERRIDEKEY, kBackKey,
                     MAKELONG(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    }
    // Measured on a window DC: BeginPaint here would validate the dialog and
    // cost it its first paint.
    HDC dc = GetDC(m_window);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(m_window, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    PlaceControls(dc);
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
    ReleaseDC(m_window, dc);
    AfterInit();
    return 1;
}

void DialogBase::PlaceControls(HDC dc)
{
    RECT client{};
    GetClientRect(m_window, &client);
    SIZE letter{};
    GetTextExtentPoint32W(dc, u"A", 1, &letter);
    LayoutMetrics metrics{client.right - client.left, client.bottom - client.top, letter.cx, letter.cy};
    CaptionMeasure measure = [dc](const WideString& caption) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    std::vector<RECT> rects = FlowLayout(m_items, metrics, measure);
    std::vector<ControlItem*> controls;
    for (const RefPtr<LayoutItem>& item : m_items) {
        if (item && item->ItemKind() == LayoutItem::kControl)
            controls.push_back(static_cast<ControlItem*>(item.Get()));
    }
    for (std::size_t i = 0; i < controls.size() && i < rects.size(); ++i) {
        ControlItem& control = *controls[i];
        if (control.Handle() == nullptr || !IsChild(m_window, control.Handle()))
            control.SetHandle(GetDlgItem(m_window, control.Id()));
        if (!control.LaidOut() || control.Handle() == nullptr)
            continue;
        const RECT& r = rects[i];
        SetWindowPos(control.Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    }
    for (ControlItem* control : controls) {
        if (WindowBase* object = control->ControlObject())
            object->AfterLayout(*control);
    }
}
