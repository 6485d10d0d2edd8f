// A top-level window on the headless screen that hosts controls, records the
// WM_COMMAND notifications they send, and drives them with the phone's keys
// through the message loop (TranslateMessage included, as the program does).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/display/Display.h"
#include "platform/win/Controls.h"
#include "tests/common/TestSupport.h"

namespace controltest {

struct Notice {
    int id = 0;
    WORD code = 0;
    HWND control = nullptr;
};

class ControlHost {
public:
    ControlHost()
    {
        Current() = this;
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = u"ControlHost";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, u"ControlHost", u"Controls", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(window);
        Pump();
    }
    ~ControlHost()
    {
        DestroyWindow(window);
        Pump();
        Current() = nullptr;
    }
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HWND Add(LPCWSTR className, DWORD style, RECT rect, int id, LPCWSTR text = u"")
    {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, window,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    }

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // A key by its remote-control name ("2", "Left", "Back", "#"...), or
    // "pause": the device clock runs on past the multi-tap commit time.
    static void Press(std::string_view key)
    {
        if (key == "pause") {
            DWORD start = GetTickCount();
            testsupport::WaitFor([&] {
                Pump();
                return GetTickCount() - start > 1200;
            });
            return;
        }
        auto code = platform::display::KeyFromName(key);
        ASSERT_TRUE(code.has_value()) << key;
        ASSERT_TRUE(platform::display::PressKey(*code));
        Pump();
    }

    // Space-separated keys; "type:TEXT" types TEXT as keyboard characters.
    static void Keys(const std::string& sequence)
    {
        std::size_t at = 0;
        while (at < sequence.size()) {
            std::size_t end = sequence.find(' ', at);
            std::string token = sequence.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (token.rfind("type:", 0) == 0) {
                platform::display::TypeText(std::u16string(token.begin() + 5, token.end()));
                Pump();
            } else if (!token.empty()) {
                Press(token);
            }
            at = end == std::string::npos ? sequence.size() : end + 1;
        }
    }

    static std::u16string Text(HWND control)
    {
        std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    std::vector<WORD> CodesFrom(HWND control) const
    {
        std::vector<WORD> codes;
        for (const Notice& n : notices) {
            if (n.control == control)
                codes.push_back(n.code);
        }
        return codes;
    }

    HWND window = nullptr;
    std::vector<Notice> notices;
    std::function<void(const Notice&)> onNotice;

private:
    static ControlHost*& Current()
    {
        static ControlHost* current = nullptr;
        return current;
    }

    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        ControlHost* host = Current();
        if (message == WM_COMMAND && host != nullptr) {
            Notice notice{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
            host->notices.push_back(notice);
            if (host->onNotice)
                host->onNotice(notice);
            return 0;
        }
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            EndPaint(window, &paint);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

}  // namespace controltest
