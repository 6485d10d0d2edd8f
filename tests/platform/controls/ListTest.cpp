// List boxes, the spinner over a list box, check boxes and scroll bars:
// selection through keys and its notifications, bad indexes, wrapping,
// toggling with Action, and clamped scroll positions.
#include <gtest/gtest.h>

#include <climits>

#include "tests/platform/controls/ControlHost.h"

namespace {

using controltest::ControlHost;
using platform::display::VK_DOWN_KEY;
using platform::display::VK_UP_KEY;

class ListTest : public testing::Test {
protected:
    HWND List(DWORD style, int items, RECT rect = {4, 4, 120, 60}, int id = 1001)
    {
        HWND list = host.Add(u"LISTBOX", WS_TABSTOP | style, rect, id);
        for (int i = 0; i < items; ++i) {
            std::u16string text = u"Item " + std::u16string(1, static_cast<char16_t>(u'A' + i));
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        return list;
    }
    static bool Wants(HWND control, UINT key)
    {
        MSG message{control, WM_KEYDOWN, key, 0, 0, {}};
        return (SendMessageW(control, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message)) & DLGC_WANTARROWS) != 0;
    }
    ControlHost host;
};

TEST_F(ListTest, BadIndexesGiveErrorsAndChangeNothing)
{
    HWND list = List(0, 3);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    WCHAR buffer[16] = {};
    const WPARAM bad[] = {static_cast<WPARAM>(-1), 3, static_cast<WPARAM>(INT_MAX), static_cast<WPARAM>(-5),
                          static_cast<WPARAM>(1) << 40};
    for (WPARAM index : bad) {
        EXPECT_EQ(SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer)), LB_ERR) << index;
        EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, index, 0), LB_ERR) << index;
        EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, index, 0), LB_ERR) << index;
        EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, index, 7), LB_ERR) << index;
        EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, index, 0), LB_ERR) << index;
        EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, index, 0), LB_ERR) << index;
        if (index != static_cast<WPARAM>(-1)) {
            EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, index, 0), LB_ERR) << index;
            EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, index + (index == 3 ? 1 : 0), 0), LB_ERR) << index;
        }
    }
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 0, 0), LB_ERR);  // no buffer

    // Inserting before and deleting the selection keep it on its item or clear it.
    SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"First"));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    SendMessageW(list, LB_SETITEMDATA, 2, 42);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 2, 0), 42);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 2, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 5);
    EXPECT_EQ(std::u16string(buffer), u"First");
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 0, 0), LB_ERR);
}

TEST_F(ListTest, KeysMoveTheSelectionScrollAndNotifyButLeaveTheEndsToTheDialog)
{
    HWND list = List(LBS_NOTIFY, 10);
    SetFocus(list);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    host.notices.clear();
    EXPECT_FALSE(Wants(list, VK_UP_KEY));
    EXPECT_TRUE(Wants(list, VK_DOWN_KEY));
    for (int i = 0; i < 9; ++i)
        ControlHost::Press("Down");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 9);
    EXPECT_EQ(host.CodesFrom(list), std::vector<WORD>(9, LBN_SELCHANGE));
    EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);  // scrolled to keep it visible
    EXPECT_FALSE(Wants(list, VK_DOWN_KEY));
    ControlHost::Press("Down");  // at the end: nothing happens
    EXPECT_EQ(host.CodesFrom(list).size(), 9u);
    ControlHost::Press("Up");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 8);

    // Without LBS_NOTIFY the selection moves silently; programmatic changes never notify.
    HWND quiet = List(0, 3, RECT{4, 70, 120, 110}, 1002);
    SetFocus(quiet);
    host.notices.clear();
    ControlHost::Press("Down");
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageW(quiet, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(host.notices.empty());
}

struct SpinCase {
    const char* name;
    DWORD spinStyle;
    int start;
    const char* keys;
    int expected;
    int notices;
};

class SpinnerTest : public ListTest, public testing::WithParamInterface<SpinCase> {};

TEST_P(SpinnerTest, LeftAndRightStepTheBuddyListBox)
{
    const SpinCase& c = GetParam();
    HWND list = List(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 4, RECT{4, 4, 100, 22});
    HWND spin = host.Add(u"msctls_updown32", c.spinStyle, RECT{100, 4, 110, 22}, 1002);
    EXPECT_EQ(SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(list), 0), 0);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)), list);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(c.start), 0);
    SetFocus(list);
    host.notices.clear();
    EXPECT_TRUE(Wants(list, platform::display::VK_RIGHT_KEY));
    EXPECT_FALSE(Wants(list, VK_DOWN_KEY));  // Up/Down move between the dialog's controls
    ControlHost::Keys(c.keys);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), c.expected);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(SendMessageW(spin, UDM_GETPOS, 0, 0))), c.expected);
    EXPECT_EQ(host.CodesFrom(list), std::vector<WORD>(static_cast<std::size_t>(c.notices), LBN_SELCHANGE));

    // The same keys reach the list through the spinner when it has the focus.
    SetFocus(spin);
    ControlHost::Press("Right");
    ControlHost::Press("Left");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), c.expected);
}

constexpr DWORD kSpinStyle = 0x50000267;  // as the settings screens make it: wrapping, horizontal

INSTANTIATE_TEST_SUITE_P(
    Keys, SpinnerTest,
    testing::Values(SpinCase{"RightSteps", kSpinStyle, 0, "Right Right", 2, 2},
                    SpinCase{"RightWrapsToTheFirst", kSpinStyle, 3, "Right", 0, 1},
                    SpinCase{"LeftWrapsToTheLast", kSpinStyle, 0, "Left", 3, 1},
                    SpinCase{"ClampedWithoutWrap", kSpinStyle & ~UDS_WRAP, 3, "Right Right Left", 2, 1},
                    SpinCase{"ClampedAtTheStart", kSpinStyle & ~UDS_WRAP, 0, "Left", 0, 0}),
    [](const testing::TestParamInfo<SpinCase>& param) { return std::string(param.param.name); });

TEST_F(ListTest, DestroyingTheBuddyOrTheSpinnerLeavesTheOtherWorking)
{
    HWND list = List(LBS_NOTIFY, 3, RECT{4, 4, 100, 22});
    HWND spin = host.Add(u"msctls_updown32", kSpinStyle, RECT{100, 4, 110, 22}, 1002);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(list), 0);
    DestroyWindow(list);
    SetFocus(spin);
    ControlHost::Press("Right");
    EXPECT_EQ(SendMessageW(spin, UDM_GETBUDDY, 0, 0), 0);

    HWND second = List(LBS_NOTIFY, 3, RECT{4, 30, 100, 48}, 1003);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(second), 0);
    DestroyWindow(spin);
    SetFocus(second);
    SendMessageW(second, LB_SETCURSEL, 0, 0);
    ControlHost::Press("Down");  // a plain list box again
    EXPECT_EQ(SendMessageW(second, LB_GETCURSEL, 0, 0), 1);
    // A buddy of another class is kept but never driven as a list.
    HWND spin2 = host.Add(u"msctls_updown32", kSpinStyle, RECT{100, 4, 110, 22}, 1004);
    SendMessageW(spin2, UDM_SETBUDDY, reinterpret_cast<WPARAM>(host.window), 0);
    SetFocus(spin2);
    ControlHost::Press("Right");
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin2, UDM_GETBUDDY, 0, 0)), host.window);
}

TEST_F(ListTest, ActionTogglesAnAutoCheckBoxAndClicksAPlainOne)
{
    HWND autoBox = host.Add(u"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, RECT{4, 4, 150, 20}, 1001, u"Sound");
    HWND plainBox = host.Add(u"BUTTON", WS_TABSTOP | BS_CHECKBOX, RECT{4, 24, 150, 40}, 1002, u"Vibrate");
    SetFocus(autoBox);
    ControlHost::Press("Enter");
    EXPECT_EQ(SendMessageW(autoBox, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
    ControlHost::Press("Enter");
    EXPECT_EQ(SendMessageW(autoBox, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
    SetFocus(plainBox);
    ControlHost::Press("Enter");
    SendMessageW(plainBox, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(plainBox, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
    SendMessageW(plainBox, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(plainBox, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(host.CodesFrom(autoBox), (std::vector<WORD>{BN_CLICKED, BN_CLICKED}));
    EXPECT_EQ(host.CodesFrom(plainBox), (std::vector<WORD>{BN_CLICKED, BN_CLICKED}));
    MSG action{autoBox, WM_KEYDOWN, platform::display::VK_ACTION, 0, 0, {}};
    EXPECT_NE(SendMessageW(autoBox, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&action)) & DLGC_WANTMESSAGE, 0);
    // Disabled: Action does nothing.
    EnableWindow(autoBox, FALSE);
    SendMessageW(autoBox, WM_KEYDOWN, platform::display::VK_ACTION, 0);
    EXPECT_EQ(SendMessageW(autoBox, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
}

TEST_F(ListTest, ScrollInfoIsClamped)
{
    HWND bar = host.Add(u"SCROLLBAR", SBS_VERT, RECT{170, 0, 175, 100}, 1001);
    struct Case {
        const char* name;
        SCROLLINFO in;
        int min, max;
        UINT page;
        int pos;
    };
    const Case cases[] = {
        {"within", {sizeof(SCROLLINFO), SIF_ALL, 0, 100, 10, 50, 0}, 0, 100, 10, 50},
        {"past the last page", {sizeof(SCROLLINFO), SIF_ALL, 0, 100, 10, 200, 0}, 0, 100, 10, 91},
        {"before the start", {sizeof(SCROLLINFO), SIF_ALL, 5, 100, 0, -3, 0}, 5, 100, 0, 5},
        {"no page", {sizeof(SCROLLINFO), SIF_ALL, 0, 100, 0, 1000, 0}, 0, 100, 0, 100},
        {"page larger than range", {sizeof(SCROLLINFO), SIF_ALL, 0, 9, 50, 4, 0}, 0, 9, 10, 0},
        {"max below min", {sizeof(SCROLLINFO), SIF_ALL, 10, 2, 0, 7, 0}, 10, 10, 0, 10},
        {"extreme range", {sizeof(SCROLLINFO), SIF_ALL, INT_MIN, INT_MAX, 100, INT_MAX, 0}, INT_MIN, INT_MAX, 100,
         INT_MAX - 99},
        {"position only keeps the rest", {sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 3, 0}, INT_MIN, INT_MAX, 100, 3},
    };
    for (const Case& c : cases) {
        int returned = SetScrollInfo(bar, SB_CTL, &c.in, TRUE);
        SCROLLINFO out;
        out.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &out)) << c.name;
        EXPECT_EQ(returned, c.pos) << c.name;
        EXPECT_EQ(out.nMin, c.min) << c.name;
        EXPECT_EQ(out.nMax, c.max) << c.name;
        EXPECT_EQ(out.nPage, c.page) << c.name;
        EXPECT_EQ(out.nPos, c.pos) << c.name;
        ControlHost::Pump();  // paints with these values
    }
    SCROLLINFO wrongSize;
    wrongSize.cbSize = 3;
    EXPECT_FALSE(GetScrollInfo(bar, SB_CTL, &wrongSize));
    EXPECT_FALSE(GetScrollInfo(bar, SB_CTL, nullptr));
    SCROLLINFO info;
    EXPECT_FALSE(GetScrollInfo(bar, SB_VERT, &info));
    EXPECT_FALSE(GetScrollInfo(host.window, SB_CTL, &info));  // not a scroll bar
}

// A superclass made the way the program's wrappers make theirs: the class
// info of "EDIT" with another name and procedure that passes messages on.
WNDPROC g_editProcedure = nullptr;
int g_seen = 0;

LRESULT WrappedEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR)
        ++g_seen;
    return CallWindowProcW(g_editProcedure, window, message, wParam, lParam);
}

TEST_F(ListTest, StandardClassesServeSuperclassesAndTemplateAtoms)
{
    WNDCLASSW edit;
    ASSERT_TRUE(GetClassInfoW(nullptr, u"EDIT", &edit));
    g_editProcedure = edit.lpfnWndProc;
    edit.lpfnWndProc = WrappedEdit;
    edit.lpszClassName = u"TextBoxWindow";
    RegisterClassW(&edit);
    HWND wrapped = host.Add(u"TextBoxWindow", WS_TABSTOP | ES_NUMBER, RECT{4, 4, 100, 22}, 1001);
    SetFocus(wrapped);
    ControlHost::Keys("type:a1 2");
    EXPECT_EQ(ControlHost::Text(wrapped), u"12");
    EXPECT_EQ(g_seen, 3);

    HWND label = host.Add(reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(kAtomStatic)), SS_LEFT,
                          RECT{4, 30, 100, 46}, 1002, u"Name:");
    ASSERT_NE(label, nullptr);
    WCHAR name[16] = {};
    GetClassNameW(label, name, 16);
    EXPECT_EQ(std::u16string(name), u"STATIC");
    EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(SYSTEM_FONT)));
}

}  // namespace
