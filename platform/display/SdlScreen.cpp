#include "platform/display/SdlScreen.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <future>
#include <thread>

#include "platform/base/WideString.h"
#include "platform/gdi/GdiState.h"

namespace platform::display {
namespace {

constexpr int kDefaultScale = 2;
constexpr int kMaxScale = 6;
constexpr int kBezel = 16;
constexpr int kLegendHeight = 22;
constexpr COLORREF kBezelColor = RGB(0x20, 0x24, 0x2A);
constexpr COLORREF kLegendColor = RGB(0xB0, 0xB8, 0xC4);
constexpr Uint32 kFrameMs = 16;
constexpr Uint32 kClockRefreshMs = 1000;

// CORVANE_DISPLAY_SCALE: 1..6, 2 by default.
int Scale()
{
    const char* text = std::getenv("CORVANE_DISPLAY_SCALE");
    int scale = text != nullptr ? std::atoi(text) : kDefaultScale;
    return scale >= 1 && scale <= kMaxScale ? scale : kDefaultScale;
}

// The window is named after the program that owns the screen.
std::string ProgramName()
{
    std::error_code error;
    std::string name = std::filesystem::read_symlink("/proc/self/exe", error).filename().string();
    return name.empty() ? "Corvane" : name;
}

struct Frame {
    int width = 0;
    int height = 0;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
};

// Draws the bezel, the scaled screen and the legend into the frame.
void Render(Frame& frame, const ScreenLayout& layout, int scale)
{
    std::shared_ptr<gdi::Surface> screen = Capture();
    if (!screen)
        return;
    HBITMAP pixels = CreateBitmap(layout.width, layout.height, 1, 32, screen->Storage());
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, pixels);
    HBRUSH bezel = CreateSolidBrush(kBezelColor);
    RECT all{0, 0, frame.width, frame.height};
    FillRect(frame.dc, &all, bezel);
    DeleteObject(bezel);
    StretchBlt(frame.dc, kBezel, kBezel, layout.width * scale, layout.height * scale, source, 0, 0, layout.width,
               layout.height, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(pixels);
    RECT legend{0, frame.height - kLegendHeight - kBezel / 2, frame.width, frame.height - kBezel / 2};
    SetBkMode(frame.dc, TRANSPARENT);
    SetTextColor(frame.dc, kLegendColor);
    std::u16string text = u"F1/F2 soft keys \u00B7 arrows \u00B7 Enter = action \u00B7 0-9 \u00B7 Backspace/Esc = Back";
    DrawTextW(frame.dc, text.c_str(), static_cast<int>(text.size()), &legend,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void HandleEvent(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        if (UINT key = KeyFromSdl(event.key.keysym.sym))
            PostKey(key, event.type == SDL_KEYDOWN);
    } else if (event.type == SDL_TEXTINPUT) {
        // Digits come as number keys (TranslateMessage adds their WM_CHAR).
        WideString text = Utf8ToWide(event.text.text);
        std::erase_if(text, [](char16_t c) { return c >= u'0' && c <= u'9'; });
        if (!text.empty())
            TypeText(text);
    } else if (event.type == SDL_QUIT) {
        if (HWND top = KeyTarget())
            PostMessageW(top, WM_CLOSE, 0, 0);
    }
}

void Run(ScreenLayout layout, std::shared_ptr<std::promise<bool>> opened)
{
    int scale = Scale();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        opened->set_value(false);
        return;
    }
    Frame frame;
    frame.width = layout.width * scale + 2 * kBezel;
    frame.height = layout.height * scale + 2 * kBezel + kLegendHeight;
    SDL_Window* window = SDL_CreateWindow(ProgramName().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          frame.width, frame.height, 0);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture = renderer != nullptr
                               ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                                   frame.width, frame.height)
                               : nullptr;
    if (texture == nullptr) {
        if (renderer != nullptr)
            SDL_DestroyRenderer(renderer);
        if (window != nullptr)
            SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        opened->set_value(false);
        return;
    }
    opened->set_value(true);
    frame.dc = CreateCompatibleDC(nullptr);
    frame.bitmap = CreateCompatibleBitmap(frame.dc, frame.width, frame.height);
    SelectObject(frame.dc, frame.bitmap);
    SDL_StartTextInput();
    std::uint64_t shown = ~std::uint64_t{0};
    Uint32 lastDraw = 0;
    for (;;) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(kFrameMs))) {
            HandleEvent(event);
            while (SDL_PollEvent(&event))
                HandleEvent(event);
        }
        std::uint64_t serial = gdi::ScreenSerial();
        Uint32 now = SDL_GetTicks();
        if (serial == shown && now - lastDraw < kClockRefreshMs)
            continue;
        shown = serial;
        lastDraw = now;
        Render(frame, layout, scale);
        if (std::shared_ptr<gdi::Surface> pixels = gdi::SurfaceOf(frame.bitmap)) {
            SDL_UpdateTexture(texture, nullptr, pixels->Storage(), frame.width * 4);
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_RenderPresent(renderer);
        }
    }
}

}  // namespace

UINT KeyFromSdl(int sdlKey)
{
    switch (sdlKey) {
    case SDLK_F1:
        return VK_SOFT1;
    case SDLK_F2:
        return VK_SOFT2;
    case SDLK_LEFT:
        return VK_LEFT_KEY;
    case SDLK_RIGHT:
        return VK_RIGHT_KEY;
    case SDLK_UP:
        return VK_UP_KEY;
    case SDLK_DOWN:
        return VK_DOWN_KEY;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_ACTION;
    case SDLK_BACKSPACE:
    case SDLK_ESCAPE:
        return VK_BACK_KEY;
    case SDLK_KP_MULTIPLY:
        return VK_STAR;
    default:
        break;
    }
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9)
        return static_cast<UINT>('0' + (sdlKey - SDLK_0));
    if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9)
        return static_cast<UINT>('1' + (sdlKey - SDLK_KP_1));
    if (sdlKey == SDLK_KP_0)
        return '0';
    return 0;
}

bool StartSdlScreen(const ScreenLayout& layout)
{
    auto opened = std::make_shared<std::promise<bool>>();
    std::future<bool> result = opened->get_future();
    std::thread(Run, layout, opened).detach();
    return result.get();
}

}  // namespace platform::display
