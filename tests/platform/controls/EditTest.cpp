// The edit control driven by the phone's keys: multi-tap, modes, Back,
// limits, notifications, selection messages with bad values, multi-line
// movement and what it tells a dialog about the arrow keys.
#include <gtest/gtest.h>

#include "tests/platform/controls/ControlHost.h"

namespace {

using controltest::ControlHost;

class EditTest : public testing::Test {
protected:
    void SetUp() override { platform::SetTimeScale(50); }
    HWND Edit(DWORD style = 0, RECT rect = {4, 4, 150, 24})
    {
        HWND edit = host.Add(u"EDIT", WS_TABSTOP | style, rect, 1001);
        SetFocus(edit);
        ControlHost::Pump();
        return edit;
    }
    ControlHost host;
};

struct TypingCase {
    const char* name;
    DWORD style;
    WPARAM mode;  // EM_SETINPUTMODE value
    int limit;    // 0: none set
    const char* keys;
    std::u16string expected;
};

class EditTyping : public EditTest, public testing::WithParamInterface<TypingCase> {};

TEST_P(EditTyping, GivesTheExpectedText)
{
    const TypingCase& c = GetParam();
    HWND edit = Edit(c.style);
    SendMessageW(edit, EM_SETINPUTMODE, c.mode, 0);
    if (c.limit != 0)
        SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(c.limit), 0);
    ControlHost::Keys(c.keys);
    ControlHost::Keys("pause");
    EXPECT_EQ(ControlHost::Text(edit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditTyping,
    testing::Values(
        TypingCase{"PauseCommits", 0, EIM_TEXT, 0, "2 2 pause 3", u"bd"},
        TypingCase{"OtherKeyCommits", 0, EIM_TEXT, 0, "2 2 3 3 3", u"bf"},
        TypingCase{"RightCommitsSameKey", 0, EIM_TEXT, 0, "2 Right 2 2", u"ab"},
        TypingCase{"PauseThenSameKeyStartsAnew", 0, EIM_TEXT, 0, "7 7 7 7 pause 7", u"sp"},
        TypingCase{"DigitEndsTheCycleThenWraps", 0, EIM_SPELL, 0, "9 9 9 9 9 Right 9 9 9 9 9 9", u"9w"},
        TypingCase{"OnePunctuation", 0, EIM_TEXT, 0, "1 1 1 Right 1 1 1 1 1 1 1 1 1 1 1 1 1 1", u"?1"},
        TypingCase{"ZeroIsSpaceThenDigit", 0, EIM_TEXT, 0, "4 0 4 4 0 0", u"g h0"},
        TypingCase{"NumbersMode", 0, EIM_NUMBERS, 0, "2 2 3 0 1", u"22301"},
        TypingCase{"KeyboardLettersTypeDirectly", 0, EIM_TEXT, 0, "type:Hi! 2", u"Hi!a"},
        TypingCase{"KeyboardLettersInNumbersMode", 0, EIM_NUMBERS, 0, "type:ok 5", u"ok5"},
        TypingCase{"PoundGivesOneCapitalThenNumbers", 0, EIM_TEXT, 0, "# 4 4 4 pause 4 4 # # 2", u"Ih2"},
        TypingCase{"BackDeletesBeforeTheCaret", 0, EIM_TEXT, 0, "type:abcd Left Left Back", u"acd"},
        TypingCase{"BackDeletesThePendingLetter", 0, EIM_TEXT, 0, "type:x 2 2 Back", u"x"},
        TypingCase{"BackAtTheStartDoesNothing", 0, EIM_TEXT, 0, "type:ab Left Left Back", u"ab"},
        TypingCase{"LimitStopsKeyboardAndMultiTap", 0, EIM_TEXT, 3, "type:abcdef 2", u"abc"},
        TypingCase{"LimitAllowsCyclingTheLastLetter", 0, EIM_TEXT, 3, "type:ab 2 2 2", u"abc"},
        TypingCase{"NumberStyleTakesDigitsOnly", ES_NUMBER, EIM_TEXT, 0, "type:a1b2 3 #", u"123"},
        TypingCase{"ReadOnlyTakesNothing", ES_READONLY, EIM_TEXT, 0, "type:ab 2 Back", u""},
        TypingCase{"InsertInTheMiddle", 0, EIM_TEXT, 0, "type:ac Left 2 2", u"abc"}),
    [](const testing::TestParamInfo<TypingCase>& param) { return std::string(param.param.name); });

TEST_F(EditTest, NotifiesChangesAndFocusAndSurvivesDestructionInANotification)
{
    HWND edit = Edit();
    HWND other = host.Add(u"EDIT", WS_TABSTOP, RECT{4, 30, 150, 50}, 1002);
    host.notices.clear();
    ControlHost::Keys("type:a 2 2");
    EXPECT_EQ(host.CodesFrom(edit), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE,
                                                       EN_CHANGE}));
    host.notices.clear();
    SetFocus(other);
    EXPECT_EQ(host.CodesFrom(edit), (std::vector<WORD>{EN_KILLFOCUS}));
    EXPECT_EQ(host.CodesFrom(other), (std::vector<WORD>{EN_SETFOCUS}));

    // The parent destroys the edit while it reports a change.
    SetFocus(edit);
    host.onNotice = [&](const controltest::Notice& n) {
        if (n.control == edit && n.code == EN_UPDATE)
            DestroyWindow(edit);
    };
    ControlHost::Keys("type:z 3");
    EXPECT_FALSE(IsWindow(edit));
    host.onNotice = nullptr;
    SendMessageW(other, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"still here"));
    EXPECT_EQ(ControlHost::Text(other), u"still here");
}

TEST_F(EditTest, TextAndSelectionMessagesStayInsideTheirBounds)
{
    HWND edit = Edit();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Hello"));
    WCHAR buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_EQ(std::u16string(buffer), u"He");
    EXPECT_EQ(buffer[3], u'x');

    struct SelCase {
        WPARAM start;
        LPARAM end;
        DWORD wantStart, wantEnd;
    };
    const SelCase cases[] = {
        {1, 3, 1, 3},
        {4, 1, 1, 4},                              // reversed: same span
        {2, 1000000, 2, 5},                        // huge end: the end of the text
        {static_cast<WPARAM>(0x7FFFFFFF), 0, 0, 5},  // huge start
        {0, -1, 0, 5},                             // everything
        {static_cast<WPARAM>(-1), 0, 5, 5},          // -1: no selection, the caret stays
    };
    for (const SelCase& c : cases) {
        SendMessageW(edit, EM_SETSEL, c.start, c.end);
        DWORD start = 99;
        DWORD end = 99;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, c.wantStart) << c.start << "," << c.end;
        EXPECT_EQ(end, c.wantEnd) << c.start << "," << c.end;
    }

    // The selection is replaced, within the limit, and the caret follows.
    SendMessageW(edit, EM_LIMITTEXT, 7, 0);
    SendMessageW(edit, EM_SETSEL, 1, 4);
    SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"ipp-hooray"));
    EXPECT_EQ(ControlHost::Text(edit), u"Hipp-ho");
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELONG(6, 6));
    EXPECT_EQ(host.CodesFrom(edit).back(), EN_MAXTEXT);
    // Back deletes the character before the caret, the hot-key way too.
    SendMessageW(edit, EM_SETSEL, 2, 2);
    ControlHost::Keys("Back");
    SendMessageW(edit, 0x0312, 0, MAKELONG(0, 0x1B));
    EXPECT_EQ(ControlHost::Text(edit), u"pp-ho");
}

TEST_F(EditTest, MultiLineWrapsMovesBetweenLinesAndLetsADialogHaveTheEnds)
{
    HWND edit = Edit(ES_MULTILINE | ES_AUTOVSCROLL, RECT{4, 4, 100, 60});
    SendMessageW(edit, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(u"one two three four five six seven eight nine ten\r\nend"));
    LRESULT lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    EXPECT_GE(lines, 4);
    auto wants = [&](UINT key) {
        MSG message{edit, WM_KEYDOWN, key, 0, 0, {}};
        return (SendMessageW(edit, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message)) & DLGC_WANTARROWS) != 0;
    };
    SendMessageW(edit, EM_SETSEL, 0, 0);
    EXPECT_FALSE(wants(platform::display::VK_UP_KEY));
    EXPECT_TRUE(wants(platform::display::VK_DOWN_KEY));
    EXPECT_TRUE(wants(platform::display::VK_LEFT_KEY));
    ControlHost::Keys("Down");
    DWORD caret = 0;
    SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_GT(caret, 0u);
    EXPECT_TRUE(wants(platform::display::VK_UP_KEY));
    ControlHost::Keys("Up");
    SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret, 0u);

    // At the end: the last line; Down is not wanted, the view scrolled to it.
    SendMessageW(edit, EM_SETSEL, 1000, 1000);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    EXPECT_FALSE(wants(platform::display::VK_DOWN_KEY));
    EXPECT_GT(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    ControlHost::Keys("type:!");
    EXPECT_EQ(ControlHost::Text(edit).substr(ControlHost::Text(edit).size() - 4), u"end!");

    // A single-line edit never wants Up/Down.
    HWND single = host.Add(u"EDIT", WS_TABSTOP, RECT{4, 70, 100, 90}, 1003);
    MSG up{single, WM_KEYDOWN, platform::display::VK_UP_KEY, 0, 0, {}};
    EXPECT_EQ(SendMessageW(single, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&up)) & DLGC_WANTARROWS, 0);
}

}  // namespace
