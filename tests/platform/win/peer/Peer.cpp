// Second process for the cross-process window tests.
//
//   platform_win_peer <class> <title>
// registers <class>, creates a top-level window titled <title>, prints
// "ready <handle in hex>" on stdout and runs a message loop until the window
// is closed. Its window procedure answers:
//   WM_COPYDATA   a digest of dwData and the payload (see PeerDigest)
//   WM_USER + 1   wParam + 2 * lParam
//   WM_USER + 2   sends WM_COPYDATA {7, "ping"} back to window wParam and
//                 returns that window's answer
//   WM_USER + 3   10 * (WM_ACTIVATE WA_ACTIVE received) + (1 if foreground)
#include <cstdio>
#include <cstring>

#include "platform/base/WideString.h"
#include "platform/win/Window.h"
#include "tests/platform/win/peer/PeerDigest.h"

namespace {

int g_activations = 0;

LRESULT PeerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr || (data->cbData == 0) != (data->lpData == nullptr))
            return -2;
        return PeerDigest(data->dwData, static_cast<const BYTE*>(data->lpData), data->cbData);
    }
    case WM_USER + 1:
        return static_cast<LRESULT>(wParam) + 2 * lParam;
    case WM_USER + 2: {
        static const char ping[] = "ping";
        COPYDATASTRUCT data{7, 4, const_cast<char*>(ping)};
        return SendMessageW(reinterpret_cast<HWND>(wParam), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    case WM_USER + 3:
        return 10 * g_activations + (GetForegroundWindow() == window ? 1 : 0);
    case WM_ACTIVATE:
        if (wParam == WA_ACTIVE)
            ++g_activations;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <class> <title>\n", argv[0]);
        return 2;
    }
    WideString className = platform::Utf8ToWide(argv[1]);
    WideString title = platform::Utf8ToWide(argv[2]);
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = PeerProcedure;
    windowClass.lpszClassName = className.c_str();
    if (RegisterClassW(&windowClass) == 0)
        return 3;
    HWND window = CreateWindowExW(0, className.c_str(), title.c_str(), WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window == nullptr)
        return 4;
    std::printf("ready %llx\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
