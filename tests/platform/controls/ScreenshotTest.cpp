// What a screen of controls shows: a focused edit box, a list box with its
// selection, a checked box and a spinner line, checked by their texts and a
// few pixels. CORVANE_CONTROLS_SHOT=path also writes the screen as PNG.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "platform/gdi/GdiState.h"
#include "tests/platform/controls/ControlHost.h"

namespace {

using controltest::ControlHost;
using namespace platform::display;

constexpr COLORREF kFocusBlue = RGB(0x31, 0x6A, 0xC5);

TEST(ControlScreenshot, ShowsFocusSelectionTickAndSpinnerLine)
{
    platform::SetTimeScale(1);  // the caret stays as drawn while the test looks
    ControlHost host;
    int width = Layout().width;
    host.Add(u"STATIC", SS_LEFTNOWORDWRAP, RECT{2, 2, width - 2, 18}, 1000,
             u"A label much too long to fit on one line of the screen");
    HWND edit = host.Add(u"EDIT", WS_TABSTOP, RECT{2, 20, width - 2, 40}, 1001, u"Hello");
    HWND list = host.Add(u"LISTBOX", WS_TABSTOP | WS_BORDER, RECT{2, 44, width - 2, 96}, 1002);
    for (LPCWSTR item : {u"Item A", u"Item B", u"Item C"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    HWND check = host.Add(u"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, RECT{2, 100, width - 2, 116}, 1003, u"Sound");
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    HWND values = host.Add(u"LISTBOX", WS_TABSTOP | LBS_NOTIFY, RECT{2, 120, width - 12, 138}, 1004);
    for (LPCWSTR item : {u"One", u"Two", u"Three"})
        SendMessageW(values, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(values, LB_SETCURSEL, 2, 0);
    HWND spin = host.Add(u"msctls_updown32", 0x50000267, RECT{width - 12, 120, width - 2, 138}, 1005);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(values), 0);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 5, 5);
    ControlHost::Pump();

    std::vector<ShownText> texts;
    auto screen = Capture(&texts);
    ASSERT_TRUE(screen);
    if (const char* path = std::getenv("CORVANE_CONTROLS_SHOT"))
        SaveScreenshot(path);
    int top = Layout().titleHeight;
    std::map<std::u16string, ShownText> shown;
    for (const ShownText& t : texts)
        shown[t.text] = t;
    auto pixel = [&](int x, int y) { return platform::gdi::ToColorRef(screen->Row(top + y)[x]); };

    ASSERT_TRUE(shown.contains(u"Hello"));
    EXPECT_EQ(shown[u"Hello"].window, edit);
    EXPECT_GE(shown[u"Hello"].rect.top, top + 20);
    EXPECT_LE(shown[u"Hello"].rect.bottom, top + 40);
    ASSERT_TRUE(shown.contains(u"abc"));  // the focused edit's mode in the title strip
    EXPECT_EQ(shown[u"abc"].window, nullptr);
    EXPECT_EQ(pixel(2, 20), kFocusBlue);  // 2 px focus border
    EXPECT_EQ(pixel(3, 30), kFocusBlue);

    // The label is cut with an ellipsis inside its width.
    bool ellipsis = false;
    for (const ShownText& t : texts) {
        if (t.text.starts_with(u"A label") && t.text.ends_with(u"...")) {
            ellipsis = true;
            EXPECT_LE(t.rect.right, width - 2);
        }
    }
    EXPECT_TRUE(ellipsis);

    ASSERT_TRUE(shown.contains(u"Item B"));
    RECT row = shown[u"Item B"].rect;
    EXPECT_GT(row.top, shown[u"Item A"].rect.top);
    EXPECT_NE(pixel(width - 10, (row.top + row.bottom) / 2 - top), RGB(255, 255, 255));  // the selection bar
    EXPECT_EQ(pixel(width - 10, (shown[u"Item A"].rect.top + shown[u"Item A"].rect.bottom) / 2 - top),
              RGB(255, 255, 255));

    ASSERT_TRUE(shown.contains(u"Sound"));
    int dark = 0;
    for (int y = 101; y < 115; ++y) {
        for (int x = 3; x < 13; ++x)
            dark += pixel(x, y) == RGB(0, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(dark, 4);  // the tick
    EXPECT_GT(shown[u"Sound"].rect.left, 2 + 11);

    // The spinner's list shows one value between its arrows.
    ASSERT_TRUE(shown.contains(u"Three"));
    EXPECT_FALSE(shown.contains(u"One"));
    EXPECT_EQ(shown[u"Three"].window, values);

    // Focus moves to the spinner line: it is highlighted, the edit's border thins.
    SetFocus(values);
    ControlHost::Pump();
    screen = Capture(&texts);
    if (const char* path = std::getenv("CORVANE_CONTROLS_SHOT"))
        SaveScreenshot(std::string(path) + ".spinner.png");
    EXPECT_EQ(pixel(14, 129), kFocusBlue);
    EXPECT_NE(pixel(3, 30), kFocusBlue);
}

}  // namespace
