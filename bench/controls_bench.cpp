// The standard controls: typing 1,000 characters into a multi-line edit box
// of the 240x320 screen, each character painted as it arrives (the time per
// iteration in ms is the time per character in µs), and a full repaint of a
// list box of 100 items.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/win/Controls.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 270;
constexpr int kCharacters = 1000;

LRESULT Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Host()
{
    static HWND host = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = Plain;
        windowClass.lpszClassName = u"BenchControlHost";
        RegisterClassW(&windowClass);
        return CreateWindowExW(0, u"BenchControlHost", u"Controls", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }();
    return host;
}

HWND Child(LPCWSTR className, DWORD style, int height)
{
    return CreateWindowExW(0, className, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, kWidth, height, Host(), nullptr,
                           nullptr, nullptr);
}

void BM_EditTypingMultiLine(benchmark::State& state)
{
    const std::u16string words = u"the quick brown fox jumps over the lazy dog again ";
    for (auto _ : state) {
        state.PauseTiming();
        HWND edit = Child(u"EDIT", ES_MULTILINE | ES_AUTOVSCROLL, 120);
        SetFocus(edit);
        UpdateWindow(edit);
        state.ResumeTiming();
        for (int i = 0; i < kCharacters; ++i) {
            SendMessageW(edit, WM_CHAR, words[static_cast<std::size_t>(i) % words.size()], 1);
            UpdateWindow(edit);
        }
        state.PauseTiming();
        DestroyWindow(edit);
        state.ResumeTiming();
    }
    state.counters["chars/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kCharacters,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EditTypingMultiLine)->Unit(benchmark::kMillisecond);

void BM_ListBoxRepaint100Items(benchmark::State& state)
{
    HWND list = Child(u"LISTBOX", WS_BORDER, kHeight);
    for (int i = 0; i < 100; ++i) {
        std::string name = "Contact number " + std::to_string(i);
        std::u16string text(name.begin(), name.end());
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, 5, 0);
    SetFocus(list);
    for (auto _ : state) {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    DestroyWindow(list);
}
BENCHMARK(BM_ListBoxRepaint100Items)->Unit(benchmark::kMicrosecond);

}  // namespace

#include "bench/HeadlessScreenMain.h"
