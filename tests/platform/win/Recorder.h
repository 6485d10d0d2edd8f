// A window class for the tests that records every message its windows get.
#pragma once

#include <mutex>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/win/Window.h"

struct Recorded {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class Recorder {
public:
    static Recorder& Instance()
    {
        static Recorder recorder;
        return recorder;
    }

    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Instance().Add({window, message, wParam, lParam});
        if (message == WM_USER + 100)
            return static_cast<LRESULT>(wParam) * 3;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void Add(const Recorded& entry)
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back(entry);
    }
    std::vector<Recorded> Take()
    {
        std::lock_guard guard(m_lock);
        return std::exchange(m_entries, {});
    }
    std::vector<UINT> Messages(HWND window)
    {
        std::lock_guard guard(m_lock);
        std::vector<UINT> messages;
        for (const Recorded& entry : m_entries)
            if (entry.window == window)
                messages.push_back(entry.message);
        return messages;
    }

private:
    std::mutex m_lock;
    std::vector<Recorded> m_entries;
};

inline constexpr const WCHAR* kRecorderClass = u"RecorderWindow";

// Registers the recorder class (once per process) and sets a fast clock.
inline void SetUpRecorder()
{
    platform::SetTimeScale(1000.0);
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = Recorder::Procedure;
    windowClass.lpszClassName = kRecorderClass;
    windowClass.cbWndExtra = 16;
    RegisterClassW(&windowClass);
    Recorder::Instance().Take();
}

inline HWND MakeRecorderWindow(HWND parent = nullptr, DWORD style = 0, const WCHAR* title = u"")
{
    return CreateWindowExW(0, kRecorderClass, title, style | (parent != nullptr ? WS_CHILD : 0), 0, 0, 100, 50, parent,
                           nullptr, nullptr, nullptr);
}
