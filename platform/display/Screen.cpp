// Composing the screen: the windows in z-order over the work area and the
// shell's two strips, drawn with the device's own drawing calls.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/base/SystemMetrics.h"
#include "platform/display/Display.h"
#include "platform/gdi/GdiState.h"
#include "platform/win/WindowState.h"

namespace platform::display {
namespace {

struct SoftKeys {
    WideString left;
    WideString right;
    bool leftEnabled = true;
    bool rightEnabled = true;
};

// Colours of the strips.
constexpr COLORREF kTitleTop = RGB(0xD8, 0xE6, 0xF8);
constexpr COLORREF kTitleBottom = RGB(0x9D, 0xBB, 0xE8);
constexpr COLORREF kTitleText = RGB(0x10, 0x20, 0x40);
constexpr COLORREF kSoftKeyBack = RGB(0x2A, 0x3A, 0x55);
constexpr COLORREF kSoftKeyLine = RGB(0x5A, 0x6C, 0x8C);
constexpr COLORREF kSoftKeyText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kSoftKeyDisabled = RGB(0x80, 0x90, 0xA8);
constexpr gdi::Pixel kEmptyWorkArea = 0x000000;
constexpr int kStripMargin = 4;

struct Composer {
    std::mutex lock;  // one composition at a time; guards the members
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    std::map<HWND, SoftKeys> softKeys;
    std::map<HWND, WideString> inputModes;
};

Composer& TheComposer()
{
    static Composer* composer = new Composer;
    return *composer;
}

BYTE Mix(BYTE a, BYTE b, int step, int steps)
{
    return static_cast<BYTE>(a + (static_cast<int>(b) - a) * step / std::max(1, steps - 1));
}

struct Snapshot {
    std::vector<gdi::ShownWindow> windows;  // bottom first
    std::vector<HWND> alive;                // every top-level window
    WideString title;
    WideString inputMode;
    SoftKeys keys;
};

// What the strips and the work area show, read under the window lock.
Snapshot TakeSnapshot(Composer& c)
{
    Snapshot s;
    auto& state = win::State();
    std::lock_guard guard(state.lock);
    auto gone = [&](const auto& entry) {
        return state.windows.find(win::HandleValue(entry.first)) == state.windows.end();
    };
    std::erase_if(c.softKeys, gone);
    std::erase_if(c.inputModes, gone);
    if (auto mode = c.inputModes.find(state.focus); mode != c.inputModes.end())
        s.inputMode = mode->second;
    for (auto& [value, record] : state.windows) {
        if (record->IsTopLevel())
            s.alive.push_back(record->handle);
    }
    for (HWND window : state.zOrder) {
        win::WindowRecord* record = win::FindRecordLocked(window);
        if (record != nullptr)
            s.windows.push_back(gdi::ShownWindow{window, record->rect});
    }
    HWND top = s.windows.empty() ? nullptr : s.windows.back().window;
    win::WindowRecord* active = state.foreground != nullptr ? win::FindRecordLocked(state.foreground) : nullptr;
    if (active == nullptr || (active->style & WS_VISIBLE) == 0)
        active = top != nullptr ? win::FindRecordLocked(top) : nullptr;
    if (active != nullptr)
        s.title = active->text;
    for (auto it = s.windows.rbegin(); it != s.windows.rend(); ++it) {
        auto keys = c.softKeys.find(it->window);
        if (keys != c.softKeys.end()) {
            s.keys = keys->second;
            break;
        }
    }
    return s;
}

void DrawLabel(HDC dc, const WideString& text, RECT rect, UINT align, COLORREF color)
{
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawStrips(HDC dc, const ScreenLayout& layout, const Snapshot& s)
{
    // One fill of the whole strip first: the gradient's one-pixel lines cover
    // no earlier title or clock, which would otherwise still be read as shown.
    HBRUSH titleBack = CreateSolidBrush(kTitleTop);
    RECT title{0, 0, layout.width, layout.titleHeight};
    FillRect(dc, &title, titleBack);
    DeleteObject(titleBack);
    for (int y = 0; y < layout.titleHeight; ++y) {
        COLORREF row = RGB(Mix(GetRValue(kTitleTop), GetRValue(kTitleBottom), y, layout.titleHeight),
                           Mix(GetGValue(kTitleTop), GetGValue(kTitleBottom), y, layout.titleHeight),
                           Mix(GetBValue(kTitleTop), GetBValue(kTitleBottom), y, layout.titleHeight));
        HBRUSH brush = CreateSolidBrush(row);
        RECT line{0, y, layout.width, y + 1};
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char clock[8];
    std::snprintf(clock, sizeof clock, "%02u:%02u", now.wHour % 24u, now.wMinute % 60u);
    WideString clockText(clock, clock + 5);
    SIZE clockSize{};
    GetTextExtentPoint32W(dc, clockText.c_str(), 5, &clockSize);
    int clockLeft = layout.width - kStripMargin - clockSize.cx;
    DrawLabel(dc, clockText, RECT{clockLeft, 0, layout.width - kStripMargin, layout.titleHeight}, DT_LEFT, kTitleText);
    int titleRight = clockLeft - kStripMargin;
    if (!s.inputMode.empty()) {
        SIZE modeSize{};
        GetTextExtentPoint32W(dc, s.inputMode.c_str(), static_cast<int>(s.inputMode.size()), &modeSize);
        int modeLeft = std::max(kStripMargin, titleRight - static_cast<int>(modeSize.cx));
        DrawLabel(dc, s.inputMode, RECT{modeLeft, 0, titleRight, layout.titleHeight}, DT_LEFT, kTitleText);
        titleRight = modeLeft - kStripMargin;
    }
    DrawLabel(dc, s.title, RECT{kStripMargin, 0, titleRight, layout.titleHeight}, DT_LEFT, kTitleText);

    int top = layout.height - layout.softKeyHeight;
    HBRUSH back = CreateSolidBrush(kSoftKeyBack);
    HBRUSH line = CreateSolidBrush(kSoftKeyLine);
    RECT strip{0, top, layout.width, layout.height};
    RECT separator{0, top, layout.width, top + 1};
    FillRect(dc, &strip, back);
    FillRect(dc, &separator, line);
    DeleteObject(back);
    DeleteObject(line);
    int half = layout.width / 2;
    DrawLabel(dc, s.keys.left, RECT{kStripMargin, top + 1, half - 2, layout.height}, DT_LEFT,
              s.keys.leftEnabled ? kSoftKeyText : kSoftKeyDisabled);
    DrawLabel(dc, s.keys.right, RECT{half + 2, top + 1, layout.width - kStripMargin, layout.height}, DT_RIGHT,
              s.keys.rightEnabled ? kSoftKeyText : kSoftKeyDisabled);
}

bool PrepareLocked(Composer& c, const ScreenLayout& layout)
{
    if (c.dc != nullptr)
        return true;
    c.dc = CreateCompatibleDC(nullptr);
    c.bitmap = CreateCompatibleBitmap(c.dc, layout.width, layout.height);
    LOGFONTW font;
    font.lfHeight = -layout.stripFontPixels;
    font.lfWeight = FW_BOLD;
    std::u16string_view face = u"DejaVu Sans";
    face.copy(font.lfFaceName, face.size());
    c.font = CreateFontIndirectW(&font);
    if (c.dc == nullptr || c.bitmap == nullptr || c.font == nullptr)
        return false;
    SelectObject(c.dc, c.bitmap);
    SelectObject(c.dc, c.font);
    return true;
}

}  // namespace

ScreenLayout LayoutFromEnvironment()
{
    ScreenLayout layout;
    layout.width = GetSystemMetrics(SM_CXSCREEN);
    layout.height = GetSystemMetrics(SM_CYSCREEN);
    bool wide = layout.width >= 240;
    layout.titleHeight = wide ? 24 : 18;
    layout.softKeyHeight = wide ? 26 : 22;
    layout.stripFontPixels = wide ? 13 : 11;
    // A screen too short for both strips keeps a work area of one row.
    if (layout.height < layout.titleHeight + layout.softKeyHeight + 1) {
        layout.titleHeight = 0;
        layout.softKeyHeight = 0;
    }
    return layout;
}

void SetSoftKeys(HWND window, const WideString& left, const WideString& right, bool leftEnabled, bool rightEnabled)
{
    {
        Composer& c = TheComposer();
        std::lock_guard guard(c.lock);
        c.softKeys[window] = SoftKeys{left, right, leftEnabled, rightEnabled};
    }
    gdi::NoteScreenChanged();
}

void SetInputMode(HWND window, const WideString& mode)
{
    {
        Composer& c = TheComposer();
        std::lock_guard guard(c.lock);
        if (mode.empty())
            c.inputModes.erase(window);
        else
            c.inputModes[window] = mode;
    }
    gdi::NoteScreenChanged();
}

std::shared_ptr<gdi::Surface> Capture(std::vector<ShownText>* texts)
{
    const ScreenLayout& layout = Layout();
    Composer& c = TheComposer();
    std::lock_guard guard(c.lock);
    if (!PrepareLocked(c, layout))
        return nullptr;
    Snapshot s = TakeSnapshot(c);
    gdi::KeepWindowSurfaces(s.alive);
    gdi::PaintWindowsOnto(c.bitmap, s.windows, layout.WorkArea(), kEmptyWorkArea);
    DrawStrips(c.dc, layout, s);
    std::shared_ptr<gdi::Surface> screen = gdi::SurfaceOf(c.bitmap);
    std::shared_ptr<gdi::Surface> copy = gdi::Surface::Create(layout.width, layout.height);
    if (!screen || !copy)
        return nullptr;
    std::lock_guard drawing(gdi::Gdi().lock);
    copy->Copy(copy->Bounds(), *screen, 0, 0, copy->Bounds());
    if (texts != nullptr) {
        texts->clear();
        for (const gdi::DrawnText& t : screen->Texts())
            texts->push_back(ShownText{t.window, t.text, t.rect});
    }
    return copy;
}

}  // namespace platform::display
