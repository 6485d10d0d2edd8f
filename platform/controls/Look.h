// The look of the device's controls: colours and the few drawing steps they
// share (solid fills, frames, arrows, a painting context with the control's
// font selected).
#pragma once

#include "platform/controls/ControlState.h"

namespace platform::controls {

constexpr COLORREF kBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kText = RGB(0x00, 0x00, 0x00);
constexpr COLORREF kGreyText = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kBorder = RGB(0x7F, 0x9D, 0xB9);
constexpr COLORREF kFocusBorder = RGB(0x31, 0x6A, 0xC5);
constexpr COLORREF kSelection = RGB(0x31, 0x6A, 0xC5);
constexpr COLORREF kSelectionText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kIdleSelection = RGB(0xD4, 0xDE, 0xEE);  // selection of an unfocused list
constexpr COLORREF kTrack = RGB(0xE4, 0xEA, 0xF2);
constexpr COLORREF kThumb = RGB(0x7F, 0x9D, 0xB9);

void FillSolid(HDC dc, const RECT& rect, COLORREF color);
// A frame `thickness` pixels wide just inside `rect`.
void Frame(HDC dc, const RECT& rect, COLORREF color, int thickness);
// A small solid triangle pointing left or right, centred in `rect`.
void Arrow(HDC dc, const RECT& rect, bool pointsRight, COLORREF color);

// Height of a line of text in the font selected into `dc`.
int LineHeight(HDC dc);

// BeginPaint with the client area filled with `background`, the control's
// font selected and transparent text; the destructor restores the font and
// ends painting.
class PaintScope {
public:
    PaintScope(HWND window, const ControlState& state, COLORREF background);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return m_paint.hdc; }
    RECT Client() const { return m_client; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint;
    RECT m_client{};
    HGDIOBJ m_oldFont = nullptr;
};

// A memory context for measuring text in the control's font.
class MeasureScope {
public:
    explicit MeasureScope(const ControlState& state);
    ~MeasureScope();
    MeasureScope(const MeasureScope&) = delete;
    MeasureScope& operator=(const MeasureScope&) = delete;
    HDC Dc() const { return m_dc; }

private:
    HDC m_dc;
};

}  // namespace platform::controls
