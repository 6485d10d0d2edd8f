// Painting a window's client area in one call: BeginPaint, the drawing on
// the whole client rectangle, EndPaint.
#pragma once

#include <functional>

#include "platform/gdi/Gdi.h"

namespace uifw {

void PaintClient(HWND window, const std::function<void(HDC dc, const RECT& client)>& draw);

}  // namespace uifw
