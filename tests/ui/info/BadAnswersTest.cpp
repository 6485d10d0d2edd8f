// The windows under bad answers and load: a search that sends no criteria,
// a thousand hits with odd fields, answers for another request, an ICQ
// error, and a server that never answers.
#include <string>

#include "tests/ui/info/InfoFixture.h"
#include "ui/Screens.h"
#include "ui/SearchWindow.h"
#include "ui/UserInfoWindow.h"

namespace {

using namespace infotest;
using namespace platform::display;
using metatest::Le;

constexpr std::uint16_t kHit = 0x01A4;
constexpr std::uint16_t kLastHit = 0x01AE;

codectest::Bytes HitReply(std::uint32_t cookie, std::uint16_t subtype, std::uint32_t uin, const std::string& nickname)
{
    Le body;
    body.U8(0x0A).U16(0).U32(uin).Str(nickname).Str("First").Str("Last").Str("").U8(0).U16(uin % 2).U8(1).U16(30);
    return metatest::SnacBody(metatest::ReplyData(oscar::kMetaReplyDirectory, subtype, body.Get()), cookie,
                              subtype == kHit ? 1 : 0);
}

codectest::Bytes ErrorReply(std::uint32_t cookie)
{
    return {0x00, 0x15, 0x00, 0x01, 0x00, 0x00, static_cast<std::uint8_t>(cookie >> 24),
            static_cast<std::uint8_t>(cookie >> 16), static_cast<std::uint8_t>(cookie >> 8),
            static_cast<std::uint8_t>(cookie), 0x00, 0x0A};
}

std::vector<WideString> Rows(HWND dialog)
{
    std::vector<WideString> rows;
    HWND list = GetDlgItem(dialog, SearchWindow::kResultList);
    auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        WideString row(static_cast<std::size_t>(length), u'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row.data()));
        rows.push_back(row);
    }
    return rows;
}

TEST_F(InfoTest, SearchSurvivesLoadOddFieldsErrorsAndSilence)
{
    StartServer();
    ASSERT_TRUE(GoOnline());
    // The server hears the requests but answers none: every answer below is
    // the test's.
    m_server->Freeze();

    const std::string longName(2000, 'x');
    const std::string script = "\xE0\xBD\x80\xE0\xBD\x81 \xF0\x9F\x98\x80 \xEA\xB0\x80";  // Tibetan, emoji, Hangul
    Script steps;
    SearchWindow* search = nullptr;
    std::uint32_t cookie = 0;
    RefPtr<oscar::SnacCommand> emptySearch;
    std::vector<WideString> rows;
    std::vector<std::uint32_t> uins;
    WideString status;
    bool errorBox = false;
    auto dialog = [&] { return search->Window(); };
    auto lastRequest = [&] {
        auto requests = MetaRequests();
        return requests.empty() ? RefPtr<oscar::SnacCommand>() : requests.back();
    };
    steps.Add("opened", [&] { return (search = Top<SearchWindow>()) != nullptr; }, [&] { PressKey(VK_SOFT1); });
    steps.Add("empty search sent", [&] { return lastRequest() != nullptr; },
              [&] {
                  emptySearch = lastRequest();
                  cookie = emptySearch->RequestId();
                  // Another request's answer first, then 1,000 of its own.
                  Inject(HitReply(cookie ^ 0x00010000u, kLastHit, 4242, "Stranger"));
                  for (std::uint32_t i = 0; i < 1000; ++i) {
                      std::string nickname = i == 0 ? "" : i == 1 ? longName : i == 2 ? script : "User" + std::to_string(i);
                      Inject(HitReply(cookie, i == 999 ? kLastHit : kHit, 500000 + i, nickname));
                  }
              });
    steps.Add("thousand listed", [&] { return TextOf(dialog(), SearchWindow::kStatusId) == u"1000 found"; },
              [&] {
                  rows = Rows(dialog());
                  uins = search->HitUins();
                  // Down from the city to the list scrolls it into view.
                  SetFocus(GetDlgItem(dialog(), SearchWindow::kCityEdit));
                  PressKey(VK_DOWN_KEY);
              });
    steps.Add("list focused", [&] { return GetFocus() == GetDlgItem(dialog(), SearchWindow::kResultList); },
              [&] { SendDlgItemMessageW(dialog(), SearchWindow::kResultList, LB_SETCURSEL, 2, 0); });
    steps.Add("painted", [n = 0]() mutable { return ++n > 3; },
              [&] {
                  Shot("search-odd-hits");
                  PressKey(VK_SOFT1);  // Find again: this time the directory fails
              });
    steps.Add("second search sent", [&] { return lastRequest() && lastRequest()->RequestId() != cookie; },
              [&] { Inject(ErrorReply(lastRequest()->RequestId())); });
    steps.Add("error shown", [&] { return Shows(u"ICQ error"); },
              [&] {
                  errorBox = true;
                  Shot("search-icq-error");
                  PressKey(VK_SOFT1);
              });
    steps.Add("error closed", [&] { return Top<SearchWindow>() != nullptr; },
              [&] {
                  cookie = lastRequest()->RequestId();
                  PressKey(VK_SOFT1);  // and once more: no answer at all
              });
    steps.Add("waiting", [&] { return lastRequest()->RequestId() != cookie; },
              [&] { status = TextOf(dialog(), SearchWindow::kStatusId); });
    steps.Add("given up", [&] { return TextOf(dialog(), SearchWindow::kStatusId) == u"No answer from the directory"; },
              [&] { PressKey(VK_SOFT2); });
    steps.Arm();
    int result = screens::OpenSearch(m_core->Core(), nullptr);

    EXPECT_EQ(steps.Failed(), "");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(errorBox);
    EXPECT_EQ(status, u"Searching...");
    // All criteria empty: a details search without items.
    ASSERT_TRUE(emptySearch);
    std::span<const std::uint8_t> data = emptySearch->Data()->Bytes();
    ASSERT_EQ(data.size(), 16u);
    EXPECT_EQ(data[14] | data[15] << 8, 0x055F);

    ASSERT_EQ(rows.size(), 1000u);
    ASSERT_EQ(uins.size(), 1000u);
    EXPECT_EQ(uins.front(), 500000u);
    EXPECT_EQ(uins.back(), 500999u);
    EXPECT_EQ(rows[0], u" (First Last), 30, Offline") << "a hit without nickname";
    EXPECT_EQ(rows[1].size(), 2000u + WideString(u" (First Last), 30, Online").size());
    EXPECT_EQ(rows[2], u"\u0F40\u0F41 \U0001F600 \uAC00 (First Last), 30, Offline");
    EXPECT_EQ(rows[999], u"User999 (First Last), 30, Online");
}

TEST_F(InfoTest, InformationWithHugeFieldsAndNoAnswerStaysUsable)
{
    StartServer();
    ASSERT_TRUE(GoOnline());
    m_server->Freeze();
    RefPtr<Contact> alice = Store().FindContact(u"100004");
    ASSERT_TRUE(alice);

    const std::string huge(2000, 'y');
    Script steps;
    UserInfoWindow* info = nullptr;
    std::size_t notesLength = 0;
    std::size_t firstNameLength = 0;
    WideString nickname;
    WideString statusWaiting;
    steps.Add("opened", [&] { return (info = Top<UserInfoWindow>()) != nullptr && !MetaRequests().empty(); },
              [&] {
                  statusWaiting = TextOf(info->Window(), UserInfoWindow::kStatusId);
                  std::uint32_t cookie = MetaRequests().back()->RequestId();
                  Le basic;
                  basic.U8(0x0A);
                  for (int i = 0; i < 11; ++i)
                      basic.Str(i == 0 ? "" : huge);
                  basic.U16(0).U8(0).U8(0).U8(0).U8(0).U8(0);
                  Le notes;
                  notes.U8(0x0A).Str(huge);
                  auto reply = [&](std::uint16_t subtype, const codectest::Bytes& body, std::uint16_t flags) {
                      return metatest::SnacBody(metatest::ReplyData(oscar::kMetaReplyDirectory, subtype, body), cookie,
                                                flags);
                  };
                  Inject(reply(0x00C8, basic.Get(), 1));
                  Inject(reply(0x00E6, notes.Get(), 1));  // and the rest never comes
              });
    steps.Add("filled", [&] { return TextOf(info->Window(), 1223).size() == 2000; },
              [&] {
                  notesLength = TextOf(info->Window(), 1223).size();
                  firstNameLength = TextOf(info->Window(), 1205).size();
                  nickname = TextOf(info->Window(), 1203);
              });
    steps.Add("painted", [n = 0]() mutable { return ++n > 3; }, [&] { Shot("info-huge-fields"); });
    steps.Add("given up", [&] { return TextOf(info->Window(), UserInfoWindow::kStatusId) == u"No answer from the directory"; },
              [&] { PressKey(VK_SOFT2); PressKey('3'); });  // Menu > Cancel
    steps.Arm();
    int result = screens::OpenUserInfo(m_core->Core(), nullptr, alice);

    EXPECT_EQ(steps.Failed(), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(statusWaiting, u"Waiting for the directory...");
    EXPECT_EQ(notesLength, 2000u);
    EXPECT_EQ(firstNameLength, 2000u);
    EXPECT_EQ(nickname, u"Ally") << "an empty directory nickname keeps the stored one";
}

}  // namespace
