// A shown owner window that records what menus, bars and message boxes send
// it, and helpers to queue keys before a modal loop starts.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Shell.h"
#include "platform/win/Menu.h"

namespace menutest {

struct Received {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    HWND window = nullptr;
};

// What the owner and its child got, in order.
inline std::vector<Received> g_received;
// Extra reactions of the owner, by message.
inline std::function<void(HWND, UINT, WPARAM, LPARAM)> g_react;

inline LRESULT Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_HOTKEY:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_APP:
        g_received.push_back(Received{message, wParam, lParam, window});
        if (g_react)
            g_react(window, message, wParam, lParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

class MenuFixture : public testing::Test {
public:
    void SetUp() override
    {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = Recorder;
        windowClass.lpszClassName = u"MenuOwner";
        RegisterClassW(&windowClass);
        g_received.clear();
        g_react = nullptr;
        owner = CreateWindowExW(0, u"MenuOwner", u"Owner", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(owner, SW_SHOW);
        SetForegroundWindow(owner);
        Pump();
        g_received.clear();
    }
    void TearDown() override
    {
        g_react = nullptr;
        if (IsWindow(owner))
            DestroyWindow(owner);
    }

    // Queues key presses for the window on top (or its bar).
    static void Keys(std::initializer_list<UINT> keys)
    {
        for (UINT key : keys)
            ASSERT_TRUE(platform::display::PressKey(key));
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    static std::vector<Received> Only(UINT message)
    {
        std::vector<Received> out;
        for (const Received& r : g_received) {
            if (r.message == message)
                out.push_back(r);
        }
        return out;
    }
    // The texts on the screen now, as UTF-8, with the shell's ones marked.
    static std::vector<std::string> ScreenTexts(bool shellOnly = false)
    {
        std::vector<platform::display::ShownText> texts;
        platform::display::Capture(&texts);
        std::vector<std::string> out;
        for (const auto& t : texts) {
            if (!shellOnly || t.window == nullptr)
                out.push_back(platform::WideToUtf8(t.text));
        }
        return out;
    }
    static bool Shows(const std::string& text, bool shellOnly = false)
    {
        auto texts = ScreenTexts(shellOnly);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    HWND owner = nullptr;
};

}  // namespace menutest
