// The rows as rebuilt from the store: the attention group, online before
// offline, empty names first, equal names by UIN, SHOW_OFFLINE, the program
// row for a pending warning, and a selection that follows its contact when
// the contact moves.
#include <gtest/gtest.h>

#include "tests/ui/list/ListFixture.h"

namespace {

using listtest::ListFixture;

class OrderTest : public ListFixture {};

TEST_F(OrderTest, RowsFollowTheDisplayOrder)
{
    Add("300", "Zed");
    Add("200", "Amy", OnlineStatus::Offline);
    Add("999", "");
    Store().SetTyping(Add("500", "Bob"), true);
    Add("150", "Cat");
    Add("120", "Cat");
    Store().SetUnread(Add("600", "Dan", OnlineStatus::Offline), true);
    Add("700", "Eve", OnlineStatus::Offline);
    Add("", "");  // no name at all

    struct Case {
        const char* name;
        bool showOffline;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {"every contact", true, {"500", "600", "", "999", "120", "150", "300", "200", "700"}},
        {"offline ones only when they need attention", false, {"500", "600", "", "999", "120", "150", "300"}},
    };
    for (const Case& c : cases) {
        settings->showOffline = c.showOffline;
        view->Clear();
        Paint();
        EXPECT_EQ(RowKeys(), c.keys) << c.name;
    }
}

TEST_F(OrderTest, ATypingContactMovesToTheTopWithItsSelection)
{
    AddOnline(12);
    view->Select(u"200008");
    Paint();
    ASSERT_EQ(view->TopIndex(), 4);

    Store().SetTyping(Store().FindContact(u"200008"), true);
    view->Clear();
    Paint();
    EXPECT_EQ(view->RowKey(0), u"200008");
    EXPECT_EQ(view->SelectedKey(), u"200008");
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(view->TopIndex(), 0);
    ASSERT_TRUE(view->SelectedContact());
    EXPECT_EQ(view->SelectedContact()->uin, u"200008");
}

TEST_F(OrderTest, APendingWarningAddsTheProgramRowFirst)
{
    AddOnline(2);
    core->SetLastErrorText(u"Connection rejected");
    view->Clear();
    Paint();
    EXPECT_EQ(RowKeys(), (std::vector<std::string>{"1", "200000", "200001"}));
    view->Queue(NavigationAction::Next);
    Paint();
    EXPECT_TRUE(view->ProgramRowSelected());
    EXPECT_FALSE(view->SelectedContact());

    view->Queue(NavigationAction::Next);
    Paint();
    EXPECT_FALSE(view->ProgramRowSelected());
    core->SetLastErrorText(u"");
    view->Clear();
    Paint();
    EXPECT_EQ(RowKeys(), (std::vector<std::string>{"200000", "200001"}));
    EXPECT_EQ(SelectedRow(), 0);
}

}  // namespace
