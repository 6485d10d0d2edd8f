// The screen in this process (headless): painting order and update regions,
// clipping of child windows, the strips, the key map and screenshots.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/display/Display.h"
#include "platform/display/Png.h"
#include "platform/display/SdlScreen.h"
#include "platform/gdi/Gdi.h"
#include "tests/common/TestSupport.h"

namespace {

using namespace platform::display;

std::vector<HWND> g_painted;
std::map<HWND, COLORREF> g_colour;

// Paints its client area in its colour.
LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    g_painted.push_back(window);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH brush = CreateSolidBrush(g_colour[window]);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    return 0;
}

class ScreenTest : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = u"Painter";
        RegisterClassW(&windowClass);
        g_painted.clear();
    }
    void TearDown() override
    {
        for (HWND window : windows)
            DestroyWindow(window);
    }
    HWND Make(COLORREF colour, HWND parent = nullptr, RECT rect = {}, DWORD style = 0)
    {
        bool child = parent != nullptr;
        HWND window = CreateWindowExW(
            0, u"Painter", u"Painter", style | (child ? WS_CHILD | WS_VISIBLE : 0), child ? rect.left : CW_USEDEFAULT,
            child ? rect.top : CW_USEDEFAULT, child ? rect.right - rect.left : CW_USEDEFAULT,
            child ? rect.bottom - rect.top : CW_USEDEFAULT, parent, nullptr, nullptr, nullptr);
        g_colour[window] = colour;
        if (!child)
            windows.push_back(window);
        return window;
    }
    // Dispatches every waiting message.
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    static COLORREF ScreenPixel(int x, int y)
    {
        auto screen = Capture();
        return screen ? platform::gdi::ToColorRef(screen->Row(y)[x]) : CLR_INVALID;
    }

    std::vector<HWND> windows;
};

TEST_F(ScreenTest, ParentsPaintBeforeChildrenAndAfterPostedMessages)
{
    HWND parent = Make(RGB(0, 0, 255));
    HWND child = Make(RGB(255, 0, 0), parent, RECT{10, 10, 30, 20});
    ShowWindow(parent, SW_SHOW);
    PostMessageW(parent, WM_USER, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER);
    Pump();
    ASSERT_EQ(g_painted, (std::vector<HWND>{parent, child}));
    int top = Layout().titleHeight;
    EXPECT_EQ(ScreenPixel(5, top + 5), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(10, top + 10), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(30, top + 10), RGB(0, 0, 255));
    // Painted windows are valid: no WM_PAINT is left.
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));

    // Invalidating part of the parent repaints the child under it as well
    // (the parent draws over its children), and only that part.
    g_painted.clear();
    RECT part{0, 0, 15, 15};
    InvalidateRect(parent, &part, TRUE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));
    EXPECT_EQ(update.right, 5);
    Pump();
    EXPECT_EQ(g_painted, (std::vector<HWND>{parent, child}));
}

TEST_F(ScreenTest, ChildDrawingStaysInsideTheChildAndClipChildrenSparesThem)
{
    HWND parent = Make(RGB(0, 0, 255), nullptr, {}, WS_CLIPCHILDREN);
    HWND child = Make(RGB(255, 0, 0), parent, RECT{10, 10, 30, 20});
    ShowWindow(parent, SW_SHOW);
    Pump();
    int top = Layout().titleHeight;
    HDC dc = GetDC(child);
    RECT everything{-100, -100, 1000, 1000};
    FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(child, dc);
    EXPECT_EQ(ScreenPixel(10, top + 10), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(29, top + 19), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(30, top + 10), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(10, top + 20), RGB(0, 0, 255));
    // The strips are outside every window.
    EXPECT_NE(ScreenPixel(10, top - 1), RGB(0, 0, 0));

    dc = GetDC(parent);
    FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(parent, dc);
    EXPECT_EQ(ScreenPixel(5, top + 5), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(10, top + 10), RGB(0, 0, 0));

    // A hidden child draws nowhere.
    ShowWindow(child, SW_HIDE);
    dc = GetDC(child);
    FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    ReleaseDC(child, dc);
    EXPECT_EQ(ScreenPixel(10, top + 10), RGB(0, 0, 0));
}

TEST_F(ScreenTest, StripsShowTheTopWindowsTitleAndSoftKeys)
{
    HWND back = Make(RGB(0, 0, 255));
    HWND front = Make(RGB(0, 255, 0));
    SetWindowTextW(back, u"Contacts");
    SetWindowTextW(front, u"Chat with Вера");
    SetSoftKeys(back, u"Menu", u"Exit");
    SetInputMode(front, u"Abc");
    SetFocus(front);
    ShowWindow(back, SW_SHOW);
    ShowWindow(front, SW_SHOW);
    Pump();
    std::vector<ShownText> texts;
    auto screen = Capture(&texts);
    ASSERT_TRUE(screen);
    std::map<std::u16string, RECT> shell;
    for (const ShownText& t : texts) {
        if (t.window == nullptr)
            shell[t.text] = t.rect;
    }
    const ScreenLayout& layout = Layout();
    ASSERT_TRUE(shell.contains(u"Chat with Вера"));
    EXPECT_LE(shell[u"Chat with Вера"].bottom, layout.titleHeight);
    ASSERT_TRUE(shell.contains(u"Abc"));  // the focused window's input mode, left of the clock
    EXPECT_GT(shell[u"Abc"].left, shell[u"Chat with Вера"].right);
    // The front window sets no labels: the ones below it show.
    ASSERT_TRUE(shell.contains(u"Menu"));
    ASSERT_TRUE(shell.contains(u"Exit"));
    EXPECT_GE(shell[u"Menu"].top, layout.height - layout.softKeyHeight);
    EXPECT_LT(shell[u"Menu"].left, shell[u"Exit"].left);
    EXPECT_EQ(ScreenPixel(5, layout.titleHeight + 5), RGB(0, 255, 0));

    // Hiding the front window uncovers the other without a repaint.
    g_painted.clear();
    ShowWindow(front, SW_HIDE);
    Pump();
    EXPECT_TRUE(g_painted.empty());
    EXPECT_EQ(ScreenPixel(5, layout.titleHeight + 5), RGB(0, 0, 255));
    // The title strip now reads the other window's title, and only that.
    Capture(&texts);
    std::vector<std::u16string> titles;
    for (const ShownText& t : texts) {
        if (t.window == nullptr && t.rect.bottom <= layout.titleHeight && t.rect.left < shell[u"Abc"].left)
            titles.push_back(t.text);
    }
    EXPECT_EQ(titles, std::vector<std::u16string>{u"Contacts"});
}

TEST_F(ScreenTest, ScreenshotRoundTripsThroughPng)
{
    HWND window = Make(RGB(12, 34, 56));
    ShowWindow(window, SW_SHOW);
    Pump();
    testsupport::TempFolder folder;
    std::string path = folder / "screen-176x220.png";
    ASSERT_TRUE(SaveScreenshot(path));
    auto read = ReadPng(path);
    auto now = Capture();
    ASSERT_TRUE(read && now);
    ASSERT_EQ(read->Width(), Layout().width);
    ASSERT_EQ(read->Height(), Layout().height);
    int differences = 0;
    for (int y = 0; y < now->Height(); ++y) {
        for (int x = 0; x < now->Width(); ++x)
            differences += (read->Row(y)[x] & 0xFFFFFF) != (now->Row(y)[x] & 0xFFFFFF);
    }
    EXPECT_LE(differences, 40);  // only the clock may have changed in between
    EXPECT_FALSE(ReadPng(folder / "missing.png"));
    EXPECT_FALSE(SaveScreenshot(folder / "no/such/folder.png"));
}

TEST(ScreenLayoutTest, StripsFollowTheScreenSize)
{
    struct Case {
        const char* screen;
        int width, height, title, softKeys, font;
    } cases[] = {
        {"176x220", 176, 220, 18, 22, 11}, {"240x320", 240, 320, 24, 26, 13},
        {"320x240", 320, 240, 24, 26, 13}, {"100x30", 100, 30, 0, 0, 11},  // too short for the strips: all work area
        {"junk", 176, 220, 18, 22, 11},                                    // unreadable: the default phone
    };
    const char* before = std::getenv("CORVANE_SCREEN");
    std::string saved = before != nullptr ? before : "";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        ::setenv("CORVANE_SCREEN", c.screen, 1);
        ScreenLayout layout = LayoutFromEnvironment();
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.height);
        EXPECT_EQ(layout.titleHeight, c.title);
        EXPECT_EQ(layout.softKeyHeight, c.softKeys);
        EXPECT_EQ(layout.stripFontPixels, c.font);
        EXPECT_EQ(layout.WorkArea().bottom - layout.WorkArea().top, c.height - c.title - c.softKeys);
    }
    if (before != nullptr)
        ::setenv("CORVANE_SCREEN", saved.c_str(), 1);
    else
        ::unsetenv("CORVANE_SCREEN");
}

TEST(KeyMapTest, KeyboardAndRemoteNamesGiveThePhonesKeys)
{
    struct Case {
        const char* name;
        int sdl;
        UINT key;
    } cases[] = {
        {"F1", SDLK_F1, VK_SOFT1},
        {"F2", SDLK_F2, VK_SOFT2},
        {"Left", SDLK_LEFT, VK_LEFT_KEY},
        {"Right", SDLK_RIGHT, VK_RIGHT_KEY},
        {"up", SDLK_UP, VK_UP_KEY},
        {"DOWN", SDLK_DOWN, VK_DOWN_KEY},
        {"Enter", SDLK_RETURN, VK_ACTION},
        {"Back", SDLK_BACKSPACE, VK_BACK_KEY},
        {"Escape", SDLK_ESCAPE, VK_BACK_KEY},
        {"0", SDLK_0, '0'},
        {"9", SDLK_KP_9, '9'},
        {"Star", SDLK_KP_MULTIPLY, VK_STAR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeyFromName(c.name), c.key);
        EXPECT_EQ(KeyFromSdl(c.sdl), c.key);
    }
    EXPECT_FALSE(KeyFromName("F3"));
    EXPECT_FALSE(KeyFromName("10"));
    EXPECT_EQ(KeyFromSdl(SDLK_a), 0u);  // letters arrive as characters
}

TEST_F(ScreenTest, KeysGoToTheFocusedWindowAndNumberKeysCarryCharacters)
{
    HWND parent = Make(RGB(0, 0, 255));
    HWND child = Make(RGB(255, 0, 0), parent, RECT{0, 0, 10, 10});
    ShowWindow(parent, SW_SHOW);
    SetForegroundWindow(parent);
    EXPECT_EQ(KeyTarget(), parent);
    SetFocus(child);
    EXPECT_EQ(KeyTarget(), child);
    Pump();
    ASSERT_TRUE(PressKey('7'));
    ASSERT_TRUE(TypeText(u"ä"));
    std::vector<std::pair<UINT, WPARAM>> seen;
    MSG message;
    while (PeekMessageW(&message, child, 0, 0, PM_REMOVE)) {
        seen.emplace_back(message.message, message.wParam);
        TranslateMessage(&message);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, WPARAM>>{
                        {WM_KEYDOWN, '7'}, {WM_CHAR, '7'}, {WM_KEYUP, '7'}, {WM_CHAR, u'ä'}}));
}

}  // namespace
