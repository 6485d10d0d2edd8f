// Drives a modal screen from the test thread: the steps run one per posted
// message on a hidden window, each after everything the step before posted
// (keys included) was handled, inside whatever modal loop is running then.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "app/AppGlobals.h"
#include "platform/base/SystemMetrics.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"
#include "ui/framework/Resources.h"

namespace settingstest {

// A step that waits: it runs once `ready` holds (or after many tries, so
// that a test fails instead of hanging).
struct Wait {
    std::function<bool()> ready;
};

// One step: an action, or a wait.
class Step {
public:
    template <typename Action>
        requires std::is_invocable_r_v<void, Action>
    Step(Action action)
        : m_run([action = std::move(action)]() mutable {
              action();
              return true;
          })
    {
    }
    Step(Wait wait) : m_run(std::move(wait.ready)) {}
    // True when the step is done.
    bool operator()() { return m_run(); }

private:
    std::function<bool()> m_run;
};

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
        m_tries = 0;
        m_next = 0;
        PostMessageW(m_window, kStep, 0, 0);
    }
    bool Finished() const { return m_next >= m_steps.size(); }

private:
    static constexpr UINT kStep = WM_APP + 7;
    static constexpr WPARAM kBounces = 8;
    static constexpr int kMaxTries = 500;

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
        // A key may post a command, which may post more: the step goes to
        // the back of the queue a few times before it runs.
        if (wParam < kBounces) {
            PostMessageW(window, kStep, wParam + 1, 0);
            return 0;
        }
        ScreenDriver* self = Current();
        if (self != nullptr && self->m_next < self->m_steps.size()) {
            // Posted after the step, so that the keys it posted come first.
            // Steps post keys rather than send commands: a modal loop the
            // keys open runs the next step inside it.
            if (self->m_steps[self->m_next]() || ++self->m_tries > kMaxTries) {
                ++self->m_next;
                self->m_tries = 0;
            }
            PostMessageW(window, kStep, 0, 0);
        }
        return 0;
    }

    HWND m_window = nullptr;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    int m_tries = 0;
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

// Paints what waits to be painted (a step runs before the queue is idle,
// which is when paints would come).
inline void PaintNow()
{
    MSG message;
    for (int i = 0; i < 200 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageW(&message);
}

// True when `part` is on the screen (a wrapped text is put together again).
inline bool Shown(std::u16string_view part)
{
    PaintNow();
    std::vector<platform::display::ShownText> texts;
    platform::display::Capture(&texts);
    WideString all;
    for (const auto& text : texts)
        all += text.text + u" ";
    return all.find(part) != WideString::npos;
}

// With CORVANE_SCREENSHOTS set, the screen as a PNG in that folder, named
// after the screen and the screen size.
inline void Screenshot(const std::string& name)
{
    const char* folder = std::getenv("CORVANE_SCREENSHOTS");
    if (folder == nullptr || *folder == 0)
        return;
    PaintNow();
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    platform::display::SaveScreenshot(std::string(folder) + "/" + name + "-" + std::to_string(width) + "x" +
                                      std::to_string(height) + ".png");
}

}  // namespace settingstest
