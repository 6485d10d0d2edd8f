// Pop-up menus: opening a 20-item menu to its first paint (the Back key
// queued beforehand closes it right after), on the 240x320 screen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/sync/Sync.h"
#include "platform/win/Menu.h"

namespace {

LRESULT Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

void OpenTwentyItemPopup(benchmark::State& state)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = Plain;
    windowClass.lpszClassName = u"BenchMenuOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, u"BenchMenuOwner", u"Owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    HMENU menu = CreatePopupMenu();
    for (int i = 1; i <= 20; ++i)
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(i), platform::Utf8ToWide("Contact " + std::to_string(i)).c_str());
    for (auto _ : state) {
        PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, platform::display::VK_BACK_KEY, 1);
        benchmark::DoNotOptimize(TrackPopupMenuEx(menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 240, 294, owner, nullptr));
    }
    DestroyMenu(menu);
    DestroyWindow(owner);
}
BENCHMARK(OpenTwentyItemPopup)->Unit(benchmark::kMicrosecond);

}  // namespace

#include "bench/HeadlessScreenMain.h"
