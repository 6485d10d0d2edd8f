// The SCROLLBAR class: range, page and position with clamping, drawn as a
// thin track with a thumb; SetScrollInfo / GetScrollInfo on SB_CTL.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/base/LastError.h"
#include "platform/controls/Look.h"
#include "platform/controls/Procedures.h"

namespace platform::controls {
namespace {

struct ScrollState : ControlState {
    static constexpr Kind kKind = Kind::ScrollBar;
    ScrollState() : ControlState(kKind) {}
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
};

constexpr int kMinThumb = 4;

std::int64_t Range(const ScrollState& s) { return static_cast<std::int64_t>(s.max) - s.min + 1; }

// nMax >= nMin, nPage <= range, nMin <= nPos <= nMax - max(nPage - 1, 0).
void Clamp(ScrollState& s)
{
    s.max = std::max(s.max, s.min);
    s.page = static_cast<UINT>(std::min<std::int64_t>(s.page, Range(s)));
    std::int64_t highest = static_cast<std::int64_t>(s.max) - std::max<std::int64_t>(static_cast<std::int64_t>(s.page) - 1, 0);
    s.pos = static_cast<int>(std::clamp<std::int64_t>(s.pos, s.min, std::max<std::int64_t>(highest, s.min)));
    s.trackPos = s.pos;
}

bool SizeOk(const SCROLLINFO* info)
{
    return info != nullptr && (info->cbSize == sizeof(SCROLLINFO) || info->cbSize == sizeof(SCROLLINFO) - sizeof(int));
}

LRESULT SetInfo(HWND window, ScrollState& s, const SCROLLINFO* info, bool redraw)
{
    if (!SizeOk(info))
        return s.pos;
    if ((info->fMask & SIF_RANGE) != 0) {
        s.min = info->nMin;
        s.max = info->nMax;
    }
    if ((info->fMask & SIF_PAGE) != 0)
        s.page = info->nPage;
    if ((info->fMask & SIF_POS) != 0)
        s.pos = info->nPos;
    Clamp(s);
    if (redraw)
        InvalidateRect(window, nullptr, FALSE);
    return s.pos;
}

BOOL GetInfo(const ScrollState& s, SCROLLINFO* info)
{
    if (!SizeOk(info))
        return FALSE;
    if ((info->fMask & SIF_RANGE) != 0) {
        info->nMin = s.min;
        info->nMax = s.max;
    }
    if ((info->fMask & SIF_PAGE) != 0)
        info->nPage = s.page;
    if ((info->fMask & SIF_POS) != 0)
        info->nPos = s.pos;
    if ((info->fMask & SIF_TRACKPOS) != 0 && info->cbSize == sizeof(SCROLLINFO))
        info->nTrackPos = s.trackPos;
    return TRUE;
}

void Paint(HWND window, const ScrollState& s)
{
    PaintScope paint(window, s, kTrack);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    std::int64_t range = Range(s);
    if (!IsWindowEnabled(window) || range <= static_cast<std::int64_t>(s.page) || range <= 1)
        return;
    bool vertical = (StyleOf(window) & SBS_VERT) != 0;
    std::int64_t length = vertical ? client.bottom - client.top : client.right - client.left;
    std::int64_t page = std::max<std::int64_t>(s.page, 1);
    std::int64_t thumb = std::clamp<std::int64_t>(length * page / range, kMinThumb, length);
    std::int64_t travel = range - page;
    std::int64_t offset = travel > 0 ? (length - thumb) * (static_cast<std::int64_t>(s.pos) - s.min) / travel : 0;
    RECT thumbRect = vertical ? RECT{client.left, static_cast<LONG>(client.top + offset), client.right,
                                     static_cast<LONG>(client.top + offset + thumb)}
                              : RECT{static_cast<LONG>(client.left + offset), client.top,
                                     static_cast<LONG>(client.left + offset + thumb), client.bottom};
    FillSolid(dc, thumbRect, kThumb);
}

LRESULT Message(HWND window, ScrollState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window, s);
        return 0;
    case SBM_SETSCROLLINFO:
        return SetInfo(window, s, reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
    case SBM_GETSCROLLINFO:
        return GetInfo(s, reinterpret_cast<SCROLLINFO*>(lParam));
    case SBM_SETPOS: {
        int previous = s.pos;
        s.pos = static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam)));
        Clamp(s);
        if (lParam != 0)
            InvalidateRect(window, nullptr, FALSE);
        return previous;
    }
    case SBM_GETPOS:
        return s.pos;
    case SBM_SETRANGE: {
        int previous = s.pos;
        s.min = static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam)));
        s.max = static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(lParam)));
        Clamp(s);
        return previous;
    }
    case SBM_GETRANGE:
        if (auto* low = reinterpret_cast<int*>(wParam))
            *low = s.min;
        if (auto* high = reinterpret_cast<int*>(lParam))
            *high = s.max;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool IsScrollBar(HWND window)
{
    auto state = StateOf(window);
    return state && state->kind == Kind::ScrollBar;
}

}  // namespace

LRESULT ScrollBarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProcedure<ScrollState, Message>(window, message, wParam, lParam);
}

}  // namespace platform::controls

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw)
{
    using namespace platform::controls;
    if (bar != SB_CTL || !IsScrollBar(window) || !SizeOk(info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return static_cast<int>(
        SendMessageW(window, SBM_SETSCROLLINFO, static_cast<WPARAM>(redraw), reinterpret_cast<LPARAM>(info)));
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info)
{
    using namespace platform::controls;
    if (bar != SB_CTL || !IsScrollBar(window) || !SizeOk(info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return static_cast<BOOL>(SendMessageW(window, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}
