// Moving the selection through twelve rows of 17 pixels in a view of five:
// next and previous at both ends with and without wrapping, the first key
// without a selection, paging over rows, keys read before their paint, and a
// list that becomes short and then empty.
#include <gtest/gtest.h>

#include "tests/ui/list/ListFixture.h"

namespace {

using listtest::ListFixture;

constexpr UINT kLeft = 0x25;
constexpr UINT kUp = 0x26;
constexpr UINT kRight = 0x27;
constexpr UINT kDown = 0x28;

class NavigationTest : public ListFixture {};

TEST_F(NavigationTest, KeysMoveTheSelectionAndTheFirstVisibleRow)
{
    struct Case {
        const char* name;
        int start;  // selected row before the keys, -1 for none
        bool wrap;
        std::vector<UINT> keys;
        bool paintEachKey;
        int selected;
        int top;
    };
    const Case cases[] = {
        {"no selection: down selects the first visible row", -1, false, {kDown}, true, 0, 0},
        {"no selection: up selects the first visible row", -1, true, {kUp}, true, 0, 0},
        {"next on the last row stays", 11, false, {kDown}, true, 11, 7},
        {"next on the last row wraps", 11, true, {kDown}, true, 0, 0},
        {"previous on the first row stays", 0, false, {kUp}, true, 0, 0},
        {"previous on the first row wraps", 0, true, {kUp}, true, 11, 7},
        {"page down to the last whole visible row", 0, false, {kRight}, true, 4, 0},
        {"page down again pages from the selection", 0, false, {kRight, kRight}, true, 8, 4},
        {"page down stops at the last row", 0, true, {kRight, kRight, kRight}, true, 11, 7},
        {"pages queued before one paint act as painted one by one", 0, false, {kRight, kRight, kRight}, false, 11,
         7},
        {"page up goes to the first visible row first", 11, false, {kLeft}, true, 7, 7},
        {"page up then goes back one view", 11, false, {kLeft, kLeft}, true, 2, 2},
        {"page up near the top stops at row 0", 6, false, {kLeft, kLeft}, true, 0, 0},
    };
    AddOnline(12);
    Paint();
    for (const Case& c : cases) {
        settings->scrolling = c.wrap;
        view->Select(view->RowKey(c.start));
        Paint();
        ASSERT_EQ(SelectedRow(), c.start) << c.name;
        for (UINT key : c.keys) {
            EXPECT_TRUE(view->OnKeyDown(key));
            if (c.paintEachKey)
                Paint();
        }
        Paint();
        EXPECT_EQ(SelectedRow(), c.selected) << c.name;
        EXPECT_EQ(view->TopIndex(), c.top) << c.name;
    }
}

TEST_F(NavigationTest, AListThatBecomesShortHidesTheBarAndStartsAtRowZero)
{
    AddOnline(12);
    view->Select(u"200011");
    Paint();
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(view->TopIndex(), 7);
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
    EXPECT_EQ(info.nMax, 12 * 17 - 85);
    EXPECT_EQ(info.nPos, 7 * 17);

    for (int i = 0; i < 9; ++i)
        Store().RemoveContact(platform::Utf8ToWide(std::to_string(200000 + i)));
    view->Clear();
    Paint();
    EXPECT_EQ(view->RowCount(), 3);
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(view->TopIndex(), 0);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(view->SelectedKey(), u"200011");

    // An empty list keeps no selection whatever the key.
    for (int i = 9; i < 12; ++i)
        Store().RemoveContact(platform::Utf8ToWide(std::to_string(200000 + i)));
    view->Clear();
    for (UINT key : {kDown, kUp, kLeft, kRight}) {
        view->OnKeyDown(key);
        Paint();
        EXPECT_EQ(view->SelectedKey(), u"") << key;
    }
}

TEST_F(NavigationTest, ReadersSeeTheKeysQueuedSinceTheLastPaint)
{
    // Down and the action key typed together: the action key asks for the
    // selection before the paint that Down asked for.
    AddOnline(12);
    Paint();
    ASSERT_EQ(view->SelectedKey(), u"");
    view->OnKeyDown(kDown);
    ASSERT_TRUE(view->SelectedContact());
    EXPECT_EQ(view->SelectedContact()->uin, u"200000");
    view->OnKeyDown(kRight);
    view->OnKeyDown(kDown);
    EXPECT_EQ(view->SelectedKey(), u"200005") << "a page of the last paint's height, then one row";
    EXPECT_FALSE(view->ProgramRowSelected());
    Paint();
    EXPECT_EQ(SelectedRow(), 5) << "the paint does not apply the keys again";
    EXPECT_EQ(view->TopIndex(), 1);
}

}  // namespace
