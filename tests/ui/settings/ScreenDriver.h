// Drives a modal screen from the test thread: the steps run one per posted
// message on a hidden window, each after everything the step before posted
// (keys included) was handled, inside whatever modal loop is running then.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "platform/base/SystemMetrics.h"
#include "platform/display/Display.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"
#include "ui/framework/Resources.h"

namespace settingstest {

using Step = std::function<void()>;

class ScreenDriver {
public:
    ScreenDriver()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.lpszClassName = u"SettingsScreenDriver";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, u"SettingsScreenDriver", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        Current() = this;
    }
    ~ScreenDriver()
    {
        Current() = nullptr;
        DestroyWindow(m_window);
    }

    // Queues the steps; they start once a modal loop (or a pump) runs.
    void Start(std::vector<Step> steps)
    {
        m_steps = std::move(steps);
        m_next = 0;
        PostMessageW(m_window, kStep, 0, 0);
    }
    bool Finished() const { return m_next >= m_steps.size(); }

private:
    static constexpr UINT kStep = WM_APP + 7;

    // One driver at a time, on the test thread.
    static ScreenDriver*& Current()
    {
        static ScreenDriver* current = nullptr;
        return current;
    }

    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != kStep)
            return DefWindowProcW(window, message, wParam, lParam);
        ScreenDriver* self = Current();
        if (self != nullptr && self->m_next < self->m_steps.size()) {
            // Posted first: a step that opens a modal loop still lets the
            // next one run inside it.
            PostMessageW(window, kStep, 0, 0);
            self->m_steps[self->m_next++]();
        }
        return 0;
    }

    HWND m_window = nullptr;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
};

// The window of a screen class that is open now, or null.
inline HWND Screen(const WCHAR* className) { return FindWindowW(className, nullptr); }

inline WideString ItemText(HWND dialog, int id)
{
    WCHAR buffer[160] = {};
    GetDlgItemTextW(dialog, id, buffer, 160);
    return buffer;
}

// Puts the focus on a control and types into it.
inline void TypeInto(HWND dialog, int id, std::u16string_view text)
{
    SetFocus(GetDlgItem(dialog, id));
    platform::display::TypeText(text);
}

// With CORVANE_SCREENSHOTS set, the screen as a PNG in that folder, named
// after the screen and the screen size.
inline void Screenshot(const std::string& name)
{
    const char* folder = std::getenv("CORVANE_SCREENSHOTS");
    if (folder == nullptr || *folder == 0)
        return;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    platform::display::SaveScreenshot(std::string(folder) + "/" + name + "-" + std::to_string(width) + "x" +
                                      std::to_string(height) + ".png");
}

}  // namespace settingstest
