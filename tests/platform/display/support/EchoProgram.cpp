// A small program for the remote-control test: one window ("Echo") that
// shows the keys it got and the characters typed into it. F2 ("Quit") ends
// it with exit code 0.
#include <string>

#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"

namespace {

std::u16string g_keys;
std::u16string g_text;

std::u16string KeyName(WPARAM key)
{
    switch (key) {
    case 0x70:
        return u"F1";
    case 0x71:
        return u"F2";
    case 0x25:
        return u"Left";
    case 0x26:
        return u"Up";
    case 0x27:
        return u"Right";
    case 0x28:
        return u"Down";
    case 0x0D:
        return u"Enter";
    case 0x1B:
        return u"Back";
    default:
        return std::u16string(1, static_cast<char16_t>(key));
    }
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    std::u16string lines[] = {u"keys:" + g_keys, u"text:" + g_text};
    RECT line{2, 2, client.right - 2, 20};
    for (const std::u16string& text : lines) {
        DrawTextW(dc, text.c_str(), -1, &line, DT_SINGLELINE | DT_NOPREFIX);
        line.top += 20;
        line.bottom += 20;
    }
    EndPaint(window, &paint);
}

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == 0x71) {
            DestroyWindow(window);
            return 0;
        }
        g_keys += u" " + KeyName(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_CHAR:
        g_text += static_cast<char16_t>(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int main()
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = u"EchoWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, u"EchoWindow", u"Echo", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr)
        return 1;
    platform::display::SetSoftKeys(window, u"Clear", u"Quit");
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
