// Small drawing helpers shared by the shell's own windows (pop-up menus,
// message boxes, the soft-key bar).
#pragma once

#include "platform/gdi/Gdi.h"

namespace platform::menu {

// Fills with a solid colour.
void FillColour(HDC dc, const RECT& rect, COLORREF colour);
// DejaVu Sans at the strips' size; made once per weight, kept for the process.
HFONT ShellFont(LONG weight);
// Registers a class of the shell once per process.
void RegisterShellClass(const WCHAR* name, WNDPROC procedure);

// The procedure of a shell window that paints a view kept in GWL_USERDATA
// (no view: default processing) and covers its background itself.
template <typename View, void (*PaintView)(HWND, const View&)>
LRESULT ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        if (auto* view = reinterpret_cast<const View*>(GetWindowLongW(window, GWL_USERDATA))) {
            PaintView(window, *view);
            return 0;
        }
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace platform::menu
