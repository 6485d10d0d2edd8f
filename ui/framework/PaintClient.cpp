#include "ui/framework/PaintClient.h"

void uifw::PaintClient(HWND window, const std::function<void(HDC dc, const RECT& client)>& draw)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    RECT client{};
    GetClientRect(window, &client);
    draw(dc, client);
    EndPaint(window, &paint);
}
