#include "platform/controls/Look.h"

namespace platform::controls {

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Frame(HDC dc, const RECT& rect, COLORREF color, int thickness)
{
    HBRUSH brush = CreateSolidBrush(color);
    for (int i = 0; i < thickness; ++i) {
        RECT r{rect.left + i, rect.top + i, rect.right - i, rect.bottom - i};
        if (r.right <= r.left || r.bottom <= r.top)
            break;
        RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                         {r.left, r.bottom - 1, r.right, r.bottom},
                         {r.left, r.top, r.left + 1, r.bottom},
                         {r.right - 1, r.top, r.right, r.bottom}};
        for (const RECT& side : sides)
            FillRect(dc, &side, brush);
    }
    DeleteObject(brush);
}

void Arrow(HDC dc, const RECT& rect, bool pointsRight, COLORREF color)
{
    constexpr int kHalf = 3;  // the arrow is 4 px wide and 7 px high
    int cx = (rect.left + rect.right) / 2;
    int cy = (rect.top + rect.bottom) / 2;
    HBRUSH brush = CreateSolidBrush(color);
    for (int i = 0; i <= kHalf; ++i) {
        int x = pointsRight ? cx - 2 + i : cx + 1 - i;
        RECT column{x, cy - (kHalf - i), x + 1, cy + (kHalf - i) + 1};
        FillRect(dc, &column, brush);
    }
    DeleteObject(brush);
}

int LineHeight(HDC dc)
{
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(dc, &metrics) || metrics.tmHeight <= 0)
        return 14;
    return metrics.tmHeight;
}

PaintScope::PaintScope(HWND window, const ControlState& state, COLORREF background) : m_window(window)
{
    BeginPaint(window, &m_paint);
    GetClientRect(window, &m_client);
    if (m_paint.hdc != nullptr) {
        FillSolid(m_paint.hdc, m_client, background);
        m_oldFont = SelectObject(m_paint.hdc, FontOf(state));
        SetBkMode(m_paint.hdc, TRANSPARENT);
    }
}

PaintScope::~PaintScope()
{
    if (m_paint.hdc != nullptr && m_oldFont != nullptr)
        SelectObject(m_paint.hdc, m_oldFont);
    EndPaint(m_window, &m_paint);
}

MeasureScope::MeasureScope(const ControlState& state) : m_dc(CreateCompatibleDC(nullptr))
{
    if (m_dc != nullptr)
        SelectObject(m_dc, FontOf(state));
}

MeasureScope::~MeasureScope()
{
    if (m_dc != nullptr)
        DeleteDC(m_dc);
}

}  // namespace platform::controls
