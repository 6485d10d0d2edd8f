// The drawing engine and the screen: a contact-list redraw of a 240x320
// screen (background, status bar, 15 rows of icon and name, tool bar) into a
// memory context and one BitBlt to the window; text throughput with a warm
// glyph cache; a full-screen BitBlt against memcpy of the same bytes; a
// headless screenshot.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/display/Display.h"
#include "platform/display/Png.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 270;  // the work area of the 240x320 screen
constexpr int kRows = 15;
constexpr int kRowHeight = 16;

HFONT MakeFont(LONG height, LONG weight)
{
    LOGFONTW font;
    font.lfHeight = height;
    font.lfWeight = weight;
    std::u16string_view face = u"Nina";
    face.copy(font.lfFaceName, face.size());
    return CreateFontIndirectW(&font);
}

LRESULT Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Scene {
    HWND window = nullptr;
    HDC memory = nullptr;
    HBITMAP surface = nullptr;
    HDC iconDc = nullptr;
    HBITMAP icon = nullptr;
    HFONT rowFont = MakeFont(14, FW_NORMAL);
    HFONT statusFont = MakeFont(12, FW_NORMAL);
    HBRUSH background = CreateSolidBrush(RGB(0xEB, 0xF5, 0xFF));
    HBRUSH bar = CreateSolidBrush(RGB(0x9D, 0xBB, 0xE8));
    HBRUSH selection = CreateSolidBrush(RGB(0x31, 0x6A, 0xC5));

    Scene()
    {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = Plain;
        windowClass.lpszClassName = u"BenchList";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, u"BenchList", u"Contacts", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        HDC screen = GetDC(window);
        memory = CreateCompatibleDC(screen);
        surface = CreateCompatibleBitmap(screen, kWidth, kHeight);
        SelectObject(memory, surface);
        iconDc = CreateCompatibleDC(screen);
        icon = CreateCompatibleBitmap(screen, 16, 16);
        SelectObject(iconDc, icon);
        RECT all{0, 0, 16, 16};
        HBRUSH key = CreateSolidBrush(RGB(0xFE, 0xC9, 0xFE));
        FillRect(iconDc, &all, key);
        DeleteObject(key);
        RECT dot{3, 3, 13, 13};
        FillRect(iconDc, &dot, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        ReleaseDC(window, screen);
    }

    void Redraw()
    {
        RECT all{0, 0, kWidth, kHeight};
        FillRect(memory, &all, background);
        SetBkMode(memory, TRANSPARENT);
        RECT status{0, 0, kWidth, 18};
        FillRect(memory, &status, bar);
        SelectObject(memory, statusFont);
        DrawTextW(memory, u"ICQ Online", -1, &status, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        SelectObject(memory, rowFont);
        for (int i = 0; i < kRows; ++i) {
            RECT row{0, 18 + i * kRowHeight, kWidth, 18 + (i + 1) * kRowHeight};
            if (i == 3)
                FillRect(memory, &row, selection);
            TransparentImage(memory, 1, row.top, 16, 16, iconDc, 0, 0, 16, 16, RGB(0xFE, 0xC9, 0xFE));
            RECT text{19, row.top, kWidth, row.bottom};
            SetTextColor(memory, i == 3 ? RGB(255, 255, 255) : RGB(0, 0, 0));
            std::u16string name = u"Contact name " + std::u16string(1, static_cast<char16_t>(u'A' + i));
            DrawTextW(memory, name.c_str(), static_cast<int>(name.size()), &text, 0);
        }
        RECT tools{0, kHeight - 20, kWidth, kHeight};
        FillRect(memory, &tools, bar);
        for (int i = 0; i < 6; ++i)
            TransparentImage(memory, 4 + 20 * i, kHeight - 18, 16, 16, iconDc, 0, 0, 16, 16, RGB(0xFE, 0xC9, 0xFE));
        HDC dc = GetDC(window);
        BitBlt(dc, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
};

Scene& TheScene()
{
    static Scene* scene = new Scene;
    return *scene;
}

void BM_ContactListRedraw(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state)
        scene.Redraw();
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ContactListRedraw)->Unit(benchmark::kMicrosecond);

void BM_TextGlyphs(benchmark::State& state)
{
    Scene& scene = TheScene();
    SelectObject(scene.memory, scene.rowFont);
    SetBkMode(scene.memory, TRANSPARENT);
    std::u16string text = u"The quick brown fox jumps over Вера's lazy dog";
    for (auto _ : state)
        ExtTextOutW(scene.memory, 2, 40, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    state.counters["glyphs/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * text.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextGlyphs);

void BM_BitBltFullScreen(benchmark::State& state)
{
    Scene& scene = TheScene();
    HDC target = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(target, kWidth, kHeight);
    SelectObject(target, bitmap);
    for (auto _ : state)
        BitBlt(target, 0, 0, kWidth, kHeight, scene.memory, 0, 0, SRCCOPY);
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
    DeleteDC(target);
    DeleteObject(bitmap);
}
BENCHMARK(BM_BitBltFullScreen);

void BM_MemcpyFullScreen(benchmark::State& state)
{
    std::vector<std::uint32_t> from(kWidth * kHeight, 1);
    std::vector<std::uint32_t> to(kWidth * kHeight);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_MemcpyFullScreen);

void BM_HeadlessScreenshot(benchmark::State& state)
{
    TheScene().Redraw();
    std::string path = "/tmp/corvane-bench-screenshot.png";
    for (auto _ : state)
        platform::display::SaveScreenshot(path);
    std::remove(path.c_str());
}
BENCHMARK(BM_HeadlessScreenshot)->Unit(benchmark::kMicrosecond);

}  // namespace

#include "bench/HeadlessScreenMain.h"
