// The user-information and search windows as the user drives them, against
// the local server: looking a contact up, renaming and moving it, searching
// and opening a hit, and what they do offline.
#include "tests/ui/info/InfoFixture.h"
#include "ui/Screens.h"
#include "ui/SearchWindow.h"
#include "ui/UserInfoWindow.h"

namespace {

using namespace infotest;
using namespace platform::display;
using oscar::InfoField;

WideString Field(UserInfoWindow* window, InfoField field)
{
    return infolayout::ControlText(window->FieldEdit(field), 100000);
}

HMENU InfoMenu(UserInfoWindow* window) { return GetSubMenu(window->MenuBarMenu(), 1); }

TEST_F(InfoTest, LookUpRenameAndMoveAreOnTheListAfterTheNextSignOn)
{
    StartServer();
    ASSERT_TRUE(GoOnline());
    RefPtr<Contact> alice = Store().FindContact(u"100004");
    ASSERT_TRUE(alice);
    ASSERT_EQ(alice->nickname, u"Ally");

    Script script;
    UserInfoWindow* window = nullptr;
    WideString before;
    WideString statusBefore;
    std::vector<WideString> shown;
    WideString menuEntry;
    script.Add("opened", [&] { return (window = Top<UserInfoWindow>()) != nullptr; },
               [&] {
                   before = Field(window, InfoField::Nickname);
                   statusBefore = TextOf(window->Window(), UserInfoWindow::kStatusId);
               });
    script.Add("answered",
               [&] {
                   return !Field(window, InfoField::Notes).empty() &&
                          TextOf(window->Window(), UserInfoWindow::kStatusId).empty();
               },
               [&] {
                   for (std::size_t i = 0; i < oscar::kInfoFieldCount; ++i)
                       shown.push_back(Field(window, static_cast<InfoField>(i)));
                   menuEntry = MenuText(InfoMenu(window), 1, TRUE);
               });
    script.Add("painted", [n = 0]() mutable { return ++n > 3; },
               [&] {
                   Shot("info-contact");
                   // Menu > Move to group > Work.
                   PressKey(VK_SOFT2);
                   PressKey('2');
                   PressKey('2');
               });
    script.Add("moved", [&] { return alice->groupId == 2; },
               [&] {
                   HWND nickname = window->FieldEdit(InfoField::Nickname);
                   SetFocus(nickname);
                   SendMessageW(nickname, EM_SETSEL, 0, -1);
                   TypeText(u"Rabbit");
               });
    script.Add("typed", [&] { return Field(window, InfoField::Nickname) == u"Rabbit"; }, [&] { PressKey(VK_SOFT1); });
    script.Arm();
    int result = screens::OpenUserInfo(m_core->Core(), nullptr, alice);

    EXPECT_EQ(script.Failed(), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(before, u"Ally") << "the stored nickname shows before the directory answers";
    EXPECT_EQ(statusBefore, u"Waiting for the directory...");
    EXPECT_EQ(menuEntry, u"Move to group");
    const std::vector<WideString> expected = {u"100004",
                                              u"Alice",
                                              u"Alice",
                                              u"Liddell",
                                              u"alice@example.org",
                                              u"555-0104, 555-0199",
                                              u"Female",
                                              u"20",
                                              u"4.05.2005",
                                              u"Oxford, Oxon",
                                              u"http://alice.example",
                                              u"Down the rabbit hole"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(alice->nickname, u"Rabbit");
    EXPECT_EQ(alice->groupId, 2);

    // The server acknowledged both changes; a new sign-on's list carries them.
    ASSERT_TRUE(m_core->PumpUntil(
        [&] {
            int acks = 0;
            for (const auto& frame : m_core->Record().ReceivedBos())
                acks += frame->Snac() && frame->Snac()->Family() == 0x13 && frame->Snac()->Subtype() == 0x0E;
            return acks >= 4;
        },
        20000));
    NewCore(m_server->LoginHost());
    ASSERT_TRUE(GoOnline());
    RefPtr<Contact> again = Store().FindContact(u"100004");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->nickname, u"Rabbit");
    EXPECT_EQ(again->groupId, 2);
}

TEST_F(InfoTest, SearchByNicknameAndAgeThenOpenAHitThatIsAContact)
{
    StartServer();
    ASSERT_TRUE(GoOnline());

    Script script;
    SearchWindow* search = nullptr;
    UserInfoWindow* info = nullptr;
    std::vector<WideString> rows;
    std::vector<std::uint32_t> uins;
    WideString nicknameFirst;
    WideString refreshText;
    bool closeKey = false;
    auto dialog = [&] { return search->Window(); };
    script.Add("opened", [&] { return (search = Top<SearchWindow>()) != nullptr; },
               [&] {
                   SetFocus(GetDlgItem(dialog(), SearchWindow::kNicknameEdit));
                   TypeText(u"al");
               });
    script.Add("nickname typed", [&] { return TextOf(dialog(), SearchWindow::kNicknameEdit) == u"al"; },
               [&] {
                   SetFocus(GetDlgItem(dialog(), SearchWindow::kAgeList));
                   PressKey(VK_RIGHT_KEY);
               });
    script.Add("age chosen",
               [&] { return SendDlgItemMessageW(dialog(), SearchWindow::kAgeList, LB_GETCURSEL, 0, 0) == 1; },
               [&] { PressKey(VK_SOFT1); });
    script.Add("found", [&] { return TextOf(dialog(), SearchWindow::kStatusId).ends_with(u"found"); },
               [&] {
                   HWND list = GetDlgItem(dialog(), SearchWindow::kResultList);
                   auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
                   for (LRESULT i = 0; i < count; ++i) {
                       WCHAR row[256] = {};
                       SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
                       rows.push_back(row);
                   }
                   uins = search->HitUins();
                   SetFocus(list);
                   SendMessageW(list, LB_SETCURSEL, 0, 0);
                   Shot("search-results");
                   PressKey(VK_ACTION);
               });
    script.Add("hit opened", [&] { return (info = Top<UserInfoWindow>()) != nullptr; },
               [&] {
                   nicknameFirst = Field(info, InfoField::Nickname);
                   refreshText = MenuText(InfoMenu(info), UserInfoWindow::kRefresh, FALSE);
                   closeKey = Shows(u"Close");
               });
    script.Add("hit answered", [&] { return Field(info, InfoField::FirstName) == u"Alice"; },
               [&] {
                   Shot("info-from-search");
                   PressKey(VK_SOFT1);  // Close
               });
    script.Add("back to the list", [&] { return Top<SearchWindow>() != nullptr; }, [&] { PressKey(VK_SOFT2); });
    script.Arm();
    int result = screens::OpenSearch(m_core->Core(), nullptr);

    EXPECT_EQ(script.Failed(), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rows, (std::vector<WideString>{u"Alice (Alice Liddell), 20, Offline"}));
    EXPECT_EQ(uins, (std::vector<std::uint32_t>{100004}));
    EXPECT_EQ(nicknameFirst, u"Ally") << "a hit that is a contact shows its stored nickname first";
    EXPECT_EQ(refreshText, u"Search");
    EXPECT_TRUE(closeKey);
    // Closing a window opened from the results changes nothing.
    EXPECT_EQ(Store().FindContact(u"100004")->nickname, u"Ally");
}

TEST_F(InfoTest, OfflineFindDoesNothingAndTheInformationMenuIsGreyed)
{
    NewCore("127.0.0.1:9");
    RefPtr<IcqAccount> account = m_core->Account();
    ASSERT_TRUE(account);
    account->Store().AddGroup(1, u"General");
    RefPtr<Contact> contact = MakeRef<Contact>(u"100004");
    contact->nickname = u"Ally";
    contact->itemId = 100;
    contact->notAuthorised = true;
    account->Store().AddContact(contact);
    account->Store().SetGroup(contact, 1);

    Script script;
    SearchWindow* search = nullptr;
    WideString status = u"-";
    script.Add("opened", [&] { return (search = Top<SearchWindow>()) != nullptr; },
               [&] {
                   SetFocus(GetDlgItem(search->Window(), SearchWindow::kUinEdit));
                   TypeText(u"100004");
               });
    script.Add("typed", [&] { return TextOf(search->Window(), SearchWindow::kUinEdit) == u"100004"; },
               [&] { PressKey(VK_SOFT1); });
    script.Add("after find", [] { return true; },
               [&] {
                   status = TextOf(search->Window(), SearchWindow::kStatusId);
                   PressKey(VK_SOFT2);
               });
    script.Arm();
    EXPECT_EQ(screens::OpenSearch(m_core->Core(), nullptr), 0);
    EXPECT_EQ(script.Failed(), "");
    EXPECT_EQ(status, u"");
    EXPECT_TRUE(MetaRequests().empty());

    Script infoScript;
    UserInfoWindow* info = nullptr;
    WideString nickname;
    UINT refreshState = 0;
    UINT groupState = 0;
    infoScript.Add("opened", [&] { return (info = Top<UserInfoWindow>()) != nullptr; },
                   [&] {
                       nickname = Field(info, InfoField::Nickname);
                       status = TextOf(info->Window(), UserInfoWindow::kStatusId);
                       refreshState = MenuState(InfoMenu(info), UserInfoWindow::kRefresh, FALSE);
                       groupState = MenuState(InfoMenu(info), 1, TRUE);
                       PressKey(VK_SOFT1);  // Save: renamed locally, nothing sent
                   });
    infoScript.Arm();
    EXPECT_EQ(screens::OpenUserInfo(m_core->Core(), nullptr, contact), 1);
    EXPECT_EQ(infoScript.Failed(), "");
    EXPECT_EQ(nickname, u"Ally");
    EXPECT_EQ(status, u"Not signed on");
    EXPECT_EQ(refreshState & MFS_GRAYED, MFS_GRAYED);
    EXPECT_EQ(groupState & MFS_GRAYED, MFS_GRAYED);
    EXPECT_TRUE(contact->notAuthorised) << "no directory answer said that no authorisation is needed";
    EXPECT_TRUE(MetaRequests().empty());
}

}  // namespace
