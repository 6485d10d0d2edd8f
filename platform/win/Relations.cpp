// Window positions, relations and the enabled state: SetWindowPos,
// BringWindowToTop, GetWindow, IsChild, GetDlgCtrlID, EnableWindow.
#include <algorithm>

#include "platform/base/LastError.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiState.h"
#include "platform/win/WindowState.h"

namespace {

using namespace platform::win;

struct Placement {
    RECT rect{};
    bool visible = false;
};

bool ReadPlacement(HWND window, Placement* placement)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || record->destroying)
        return false;
    placement->rect = record->rect;
    placement->visible = (record->style & WS_VISIBLE) != 0;
    return true;
}

// The sibling list a window belongs to: its parent's children, or nothing for
// a top-level window without owner.
const std::vector<HWND>* SiblingsLocked(const WindowRecord& record)
{
    if (record.parent == nullptr)
        return nullptr;
    WindowRecord* parent = FindRecordLocked(record.parent);
    return parent != nullptr ? &parent->children : nullptr;
}

HWND SiblingLocked(const WindowRecord& record, UINT relation)
{
    const std::vector<HWND>* siblings = SiblingsLocked(record);
    if (siblings == nullptr)
        return nullptr;
    // Only siblings of the same kind (children among children).
    std::vector<HWND> same;
    for (HWND h : *siblings) {
        WindowRecord* r = FindRecordLocked(h);
        if (r != nullptr && r->IsTopLevel() == record.IsTopLevel())
            same.push_back(h);
    }
    auto it = std::find(same.begin(), same.end(), record.handle);
    if (it == same.end() || same.empty())
        return nullptr;
    switch (relation) {
    case GW_HWNDFIRST:
        return same.front();
    case GW_HWNDLAST:
        return same.back();
    case GW_HWNDNEXT:
        return it + 1 != same.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV:
        return it != same.begin() ? *(it - 1) : nullptr;
    default:
        return nullptr;
    }
}

}  // namespace

BOOL SetWindowPos(HWND window, HWND /*insertAfter*/, int x, int y, int width, int height, UINT flags)
{
    Placement before;
    if (!ReadPlacement(window, &before))
        return FALSE;
    if ((flags & SWP_NOMOVE) != 0) {
        x = before.rect.left;
        y = before.rect.top;
    }
    if ((flags & SWP_NOSIZE) != 0) {
        width = before.rect.right - before.rect.left;
        height = before.rect.bottom - before.rect.top;
    }
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
        MoveWindow(window, x, y, width, height, (flags & SWP_NOREDRAW) == 0 ? TRUE : FALSE);
    if ((flags & SWP_SHOWWINDOW) != 0)
        ShowWindow(window, SW_SHOW);
    else if ((flags & SWP_HIDEWINDOW) != 0)
        ShowWindow(window, SW_HIDE);
    Placement after;
    if (!ReadPlacement(window, &after))
        return FALSE;
    WINDOWPOS position;
    position.hwnd = window;
    position.x = after.rect.left;
    position.y = after.rect.top;
    position.cx = after.rect.right - after.rect.left;
    position.cy = after.rect.bottom - after.rect.top;
    position.flags = flags;
    SendMessageW(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    return TRUE;
}

BOOL BringWindowToTop(HWND window)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return FALSE;
    if (record->IsTopLevel() && (record->style & WS_VISIBLE) != 0) {
        RaiseLocked(window);
        platform::gdi::NoteScreenChanged();
    }
    return TRUE;
}

HWND GetWindow(HWND window, UINT relation)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return nullptr;
    if (relation == GW_OWNER)
        return record->IsTopLevel() ? record->parent : nullptr;
    if (relation == GW_CHILD) {
        for (HWND h : record->children) {
            WindowRecord* child = FindRecordLocked(h);
            if (child != nullptr && !child->IsTopLevel())
                return h;
        }
        return nullptr;
    }
    return SiblingLocked(*record, relation);
}

// Follows parents of child windows only: an owned pop-up (a soft-key bar, a
// menu) is not a child of its owner.
BOOL IsChild(HWND parent, HWND window)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    for (std::size_t steps = 0; record != nullptr && !record->IsTopLevel() && steps < State().windows.size();
         ++steps) {
        if (record->parent == parent)
            return TRUE;
        record = FindRecordLocked(record->parent);
    }
    return FALSE;
}

int GetDlgCtrlID(HWND window)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || record->IsTopLevel())
        return 0;
    return static_cast<int>(record->id);
}

// Returns whether the window was disabled before.
BOOL EnableWindow(HWND window, BOOL enable)
{
    bool wasDisabled = false;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return FALSE;
        wasDisabled = (record->style & WS_DISABLED) != 0;
        if (enable != FALSE)
            record->style &= ~WS_DISABLED;
        else
            record->style |= WS_DISABLED;
        if (wasDisabled == (enable != FALSE))
            InvalidateLocked(*record, nullptr, true);
    }
    if (wasDisabled == (enable != FALSE))
        SendMessageW(window, WM_ENABLE, enable != FALSE ? TRUE : FALSE, 0);
    if (enable == FALSE && GetFocus() == window)
        SetFocus(nullptr);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}
