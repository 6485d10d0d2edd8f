// The phone's screen: the shell's strips (title and clock on top, soft-key
// labels at the bottom) around the work area where top-level windows are
// shown in z-order, and the keys that reach the focused window.
//
// CORVANE_SCREEN picks the size (176x220 by default, 240x320 for the wide
// skin). CORVANE_DISPLAY=sdl|headless picks the backend; without it an SDL
// window is used when a display is available. The screen starts when the
// first top-level window of the process is shown, together with the remote
// control (a socket DEVICE/run/screen-<pid>.sock, see RemoteControl.h); a
// process with hidden windows only (a console tool) has no screen.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/win/Window.h"

namespace platform::display {

struct ScreenLayout {
    int width = 176;
    int height = 220;
    int titleHeight = 18;
    int softKeyHeight = 22;
    int stripFontPixels = 11;
    RECT WorkArea() const { return RECT{0, titleHeight, width, height - softKeyHeight}; }
};

// The layout CORVANE_SCREEN asks for.
ScreenLayout LayoutFromEnvironment();

// Sets the work area from the layout (the first top-level window needs it),
// and starts the screen; each once per process, thread-safe.
void EnsureWorkArea();
void EnsureStarted();
const ScreenLayout& Layout();
bool IsSdl();

// Labels of the soft keys while `window` (a top-level window) is the topmost
// window that set any.
void SetSoftKeys(HWND window, const WideString& left, const WideString& right, bool leftEnabled = true,
                 bool rightEnabled = true);

// The input mode an edit box shows in the title strip ("abc", "Abc",
// "123") while it has the focus; an empty mode removes it.
void SetInputMode(HWND window, const WideString& mode);

// What the screen shows now: pixels and the text drawn on it, each with the
// window that drew it (null for the shell's strips) in screen coordinates.
struct ShownText {
    HWND window = nullptr;
    WideString text;
    RECT rect{};
};
std::shared_ptr<gdi::Surface> Capture(std::vector<ShownText>* texts = nullptr);

// Keys of the phone (virtual-key codes as on the device).
constexpr UINT VK_BACK_KEY = 0x1B;  // the Back key arrives as VK_ESCAPE
constexpr UINT VK_SOFT1 = 0x70;     // VK_F1
constexpr UINT VK_SOFT2 = 0x71;     // VK_F2
constexpr UINT VK_ACTION = 0x0D;    // VK_RETURN
constexpr UINT VK_LEFT_KEY = 0x25;
constexpr UINT VK_UP_KEY = 0x26;
constexpr UINT VK_RIGHT_KEY = 0x27;
constexpr UINT VK_DOWN_KEY = 0x28;
constexpr UINT VK_STAR = 0x77;   // VK_F8
constexpr UINT VK_POUND = 0x78;  // VK_F9

// Key names of the remote control ("F2", "Down", "Enter", "5", ...).
std::optional<UINT> KeyFromName(std::string_view name);

// The window keys go to: the focus window when it belongs to the window on
// top, else that window.
HWND KeyTarget();
// The shell's soft-key bar takes some keys before the focus does: given the
// window on top and a key, the window that gets the key instead, or null.
using KeyRoute = HWND (*)(HWND top, UINT virtualKey);
void SetKeyRoute(KeyRoute route);
// Posts WM_KEYDOWN and WM_KEYUP to the routed window or the key target
// (TranslateMessage adds WM_CHAR for number keys, star and pound).
bool PressKey(UINT virtualKey);
bool PostKey(UINT virtualKey, bool down);
// Posts WM_CHAR for each character.
bool TypeText(std::u16string_view text);

// Writes the screen (1x, no bezel) as PNG.
bool SaveScreenshot(const std::string& path);

}  // namespace platform::display
