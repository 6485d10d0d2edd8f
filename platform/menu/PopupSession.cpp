// The menu session: the open pop-up windows one per level, the keys that
// drive them, and the checks after every message that keep a destroyed or
// rebuilt menu, or a destroyed owner, from being touched.
#include "platform/menu/PopupSession.h"

#include <algorithm>
#include <memory>

#include "platform/display/Display.h"
#include "platform/menu/PopupView.h"

namespace platform::menu {
namespace {

// One menu at a time per thread.
thread_local bool t_menuOpen = false;

bool IsKeyMessage(UINT message) { return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR; }

struct Level {
    HWND window = nullptr;
    std::unique_ptr<PopupView> view;
};

class Session {
public:
    explicit Session(const PopupRequest& request) : m_request(request) {}
    ~Session() { CloseFrom(0); }

    bool Start()
    {
        RegisterPopupClass();
        return Open(m_request.menu, m_request.position);
    }

    UINT Run();

private:
    // Opens a level above the current ones (the root when there is none).
    bool Open(HMENU menu, int position);
    void Place(std::size_t index);
    void CloseFrom(std::size_t first);
    void OnKey(UINT key);
    void Move(int step);
    void Activate(int index, bool choose);
    void Refresh();
    void Choose(UINT command)
    {
        m_chosen = command;
        m_done = true;
    }

    PopupRequest m_request;
    std::vector<Level> m_levels;
    UINT m_chosen = 0;
    bool m_done = false;
};

int FirstSelectable(const std::vector<ItemView>& items)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].separator)
            return static_cast<int>(i);
    }
    return -1;
}

// Whether the selected item of a view still opens `submenu`.
bool HoldsSubmenu(const PopupView& view, HMENU submenu)
{
    auto index = static_cast<std::size_t>(view.selected);
    return index < view.items.size() && view.items[index].submenu == submenu;
}

}  // namespace

bool Session::Open(HMENU menu, int position)
{
    // The owner may rebuild the menu now; it may also destroy it, or itself.
    if ((m_request.flags & TPM_NONOTIFY) == 0)
        SendMessageW(m_request.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELONG(static_cast<WORD>(position), 0));
    if (!IsWindow(m_request.owner))
        return false;
    auto view = std::make_unique<PopupView>();
    view->menu = menu;
    if (!Snapshot(menu, &view->items, &view->version) || FirstSelectable(view->items) < 0)
        return false;
    view->selected = FirstSelectable(view->items);
    HWND window = CreateWindowExW(0, kPopupClass, u"", WS_POPUP, 0, 0, 1, 1, m_request.owner, nullptr, nullptr,
                                  nullptr);
    if (window == nullptr)
        return false;
    SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(view.get()));
    m_levels.push_back(Level{window, std::move(view)});
    Place(m_levels.size() - 1);
    display::SetSoftKeys(window, u"Select", u"Cancel");
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return true;
}

// The root at its anchor; a submenu beside its parent's selected item, to the
// left, or over the parent when there is no room on the left.
void Session::Place(std::size_t index)
{
    RECT work = display::Layout().WorkArea();
    Level& level = m_levels[index];
    const Level* parent = index > 0 ? &m_levels[index - 1] : nullptr;
    PopupView& view = *level.view;
    SIZE size = MeasureView(view);
    int x = 0;
    int y = 0;
    if (parent == nullptr) {
        UINT flags = m_request.flags;
        x = m_request.anchor.x;
        y = m_request.anchor.y;
        if ((flags & TPM_RIGHTALIGN) != 0)
            x -= size.cx;
        else if ((flags & TPM_CENTERALIGN) != 0)
            x -= size.cx / 2;
        if ((flags & TPM_BOTTOMALIGN) != 0)
            y -= size.cy;
        else if ((flags & TPM_VCENTERALIGN) != 0)
            y -= size.cy / 2;
    } else {
        const RECT& p = parent->view->rect;
        constexpr int kOverlap = 6;
        x = p.left - size.cx + kOverlap;
        if (x < work.left)
            x = p.left + 2 * kOverlap;
        int itemTop = ItemTop(*parent->view, parent->view->selected);
        y = p.top + std::max(itemTop, 0);
    }
    x = std::clamp<int>(x, work.left, std::max<int>(work.left, work.right - size.cx));
    y = std::clamp<int>(y, work.top, std::max<int>(work.top, work.bottom - size.cy));
    view.rect = RECT{x, y, x + size.cx, y + size.cy};
    ScrollToSelection(view);
    MoveWindow(level.window, x, y, size.cx, size.cy, TRUE);
}

void Session::CloseFrom(std::size_t first)
{
    while (m_levels.size() > first) {
        Level& level = m_levels.back();
        if (IsWindow(level.window)) {
            SetWindowLongW(level.window, GWL_USERDATA, 0);
            DestroyWindow(level.window);
        }
        m_levels.pop_back();
    }
}

void Session::Move(int step)
{
    PopupView& view = *m_levels.back().view;
    int count = static_cast<int>(view.items.size());
    int index = view.selected;
    for (int tries = 0; tries < count; ++tries) {
        index = ((index + step) % count + count) % count;
        if (!view.items[static_cast<std::size_t>(index)].separator)
            break;
    }
    view.selected = index;
    ScrollToSelection(view);
    InvalidateRect(m_levels.back().window, nullptr, FALSE);
}

// Opens the submenu of an item, or chooses it when `choose` is set.
void Session::Activate(int index, bool choose)
{
    PopupView& view = *m_levels.back().view;
    if (index < 0 || index >= static_cast<int>(view.items.size()))
        return;
    const ItemView item = view.items[static_cast<std::size_t>(index)];
    if (item.separator)
        return;
    view.selected = index;
    ScrollToSelection(view);
    InvalidateRect(m_levels.back().window, nullptr, FALSE);
    if (item.grayed)
        return;
    if (item.submenu != nullptr) {
        if (!Open(item.submenu, index) && !IsWindow(m_request.owner))
            m_done = true;
        return;
    }
    if (choose)
        Choose(item.id);
}

void Session::OnKey(UINT key)
{
    int selected = m_levels.back().view->selected;
    switch (key) {
    case display::VK_UP_KEY:
        Move(-1);
        break;
    case display::VK_DOWN_KEY:
        Move(1);
        break;
    case display::VK_RIGHT_KEY:
        if (m_levels.back().view->items[static_cast<std::size_t>(selected)].submenu != nullptr)
            Activate(selected, false);
        break;
    case display::VK_ACTION:
    case display::VK_SOFT1:
        Activate(selected, true);
        break;
    case display::VK_LEFT_KEY:
        if (m_levels.size() > 1)
            CloseFrom(m_levels.size() - 1);
        break;
    case display::VK_BACK_KEY:
        CloseFrom(m_levels.size() - 1);
        m_done = m_levels.empty();
        break;
    case display::VK_SOFT2:
        m_done = true;
        break;
    default:
        if (key >= '1' && key <= '9')
            Activate(ItemOfNumber(m_levels.back().view->items, static_cast<int>(key - '0')), true);
        break;
    }
}

// After every message: drop levels whose window or menu went away, follow
// menus that were changed while open.
void Session::Refresh()
{
    if (!IsWindow(m_request.owner)) {
        m_done = true;
        return;
    }
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        Level& level = m_levels[i];
        bool parentStillHolds = i == 0 || HoldsSubmenu(*m_levels[i - 1].view, level.view->menu);
        if (!IsWindow(level.window) || !IsMenu(level.view->menu) || !parentStillHolds) {
            CloseFrom(i);
            break;
        }
        PopupView& view = *level.view;
        if (VersionOf(view.menu) == view.version)
            continue;
        if (!Snapshot(view.menu, &view.items, &view.version) || FirstSelectable(view.items) < 0) {
            CloseFrom(i);
            break;
        }
        view.selected = std::min<int>(view.selected, static_cast<int>(view.items.size()) - 1);
        if (view.items[static_cast<std::size_t>(view.selected)].separator)
            view.selected = FirstSelectable(view.items);
        Place(i);
        InvalidateRect(level.window, nullptr, FALSE);
    }
    if (m_levels.empty())
        m_done = true;
}

UINT Session::Run()
{
    while (!m_done) {
        MSG message;
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            // WM_QUIT ends the menu and stays for the program's own loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (IsKeyMessage(message.message)) {
            if (message.message == WM_KEYDOWN)
                OnKey(static_cast<UINT>(message.wParam));
        } else {
            DispatchMessageW(&message);
        }
        Refresh();
    }
    CloseFrom(0);
    return m_chosen;
}

UINT RunPopup(const PopupRequest& request, bool* opened)
{
    *opened = false;
    if (t_menuOpen || !IsMenu(request.menu) || !IsWindow(request.owner))
        return 0;
    t_menuOpen = true;
    UINT chosen = 0;
    {
        Session session(request);
        *opened = session.Start();
        if (*opened)
            chosen = session.Run();
    }
    t_menuOpen = false;
    if (chosen != 0 && (request.flags & TPM_RETURNCMD) == 0)
        PostMessageW(request.owner, WM_COMMAND, chosen, 0);
    return chosen;
}

}  // namespace platform::menu

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* /*params*/)
{
    platform::menu::PopupRequest request{menu, owner, flags, POINT{x, y}, 0};
    bool opened = false;
    UINT chosen = platform::menu::RunPopup(request, &opened);
    if ((flags & TPM_RETURNCMD) != 0)
        return static_cast<BOOL>(chosen);
    return opened ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner, const RECT* /*ignored*/)
{
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}
