// Message boxes: the answers of the keys for each kind of box, and what the
// box draws over the dimmed screen.
#include <algorithm>
#include <thread>

#include "platform/sync/Sync.h"
#include "platform/win/MessageBox.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/menu/MenuFixture.h"

namespace {

using namespace menutest;
using namespace platform::display;
using testsupport::WaitFor;

class MessageBoxTest : public MenuFixture {};

TEST_F(MessageBoxTest, KeysGiveTheAnswersOfEachKind)
{
    struct Case {
        UINT type;
        UINT key;
        int answer;
    } cases[] = {
        {MB_OK, VK_SOFT1, IDOK},           {MB_OK, VK_BACK_KEY, IDOK},
        {MB_OKCANCEL, VK_SOFT1, IDOK},     {MB_OKCANCEL, VK_SOFT2, IDCANCEL},
        {MB_OKCANCEL, VK_BACK_KEY, IDCANCEL}, {MB_OKCANCEL | MB_ICONQUESTION, VK_ACTION, IDOK},
        {MB_YESNO, VK_SOFT1, IDYES},       {MB_YESNO, VK_SOFT2, IDNO},
        {MB_YESNO, VK_BACK_KEY, IDNO},     {MB_YESNO | MB_DEFBUTTON2, VK_ACTION, IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " key " << c.key);
        // Keys that mean nothing to the box are used up without an answer.
        PressKey(VK_DOWN_KEY);
        PressKey('5');
        PressKey(c.key);
        EXPECT_EQ(MessageBoxW(owner, u"Text", u"Title", c.type), c.answer);
        EXPECT_FALSE(Shows("Title"));  // the box is gone
    }
    // Without an owner, keys come from anywhere on the thread.
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_SOFT2, 1);
    EXPECT_EQ(MessageBoxW(nullptr, u"No owner", nullptr, MB_YESNO), IDNO);
    Pump();
    EXPECT_TRUE(Only(WM_KEYDOWN).empty());
}

TEST_F(MessageBoxTest, CardOverTheDimmedScreenShowsTitleTextAndAnswers)
{
    UpdateWindow(owner);
    RECT work = Layout().WorkArea();
    std::vector<std::string> seen;
    COLORREF corner = CLR_INVALID;
    std::thread looker([&] {
        // The card is drawn a piece at a time: wait for its icon and last line too.
        WaitFor([&] {
            auto texts = ScreenTexts();
            bool lastLine = std::any_of(texts.begin(), texts.end(),
                                        [](const std::string& t) { return t.find("now?") != std::string::npos; });
            return Shows("Cancel", true) && Shows("Corvane") && Shows("?") && lastLine;
        });
        seen = ScreenTexts();
        auto screen = Capture();
        corner = screen ? platform::gdi::ToColorRef(screen->Row(work.top + 1)[work.left + 1]) : CLR_INVALID;
        SaveScreenshot(std::string(getenv("CORVANE_DEVICE")) + "/message-box.png");
        PressKey(VK_SOFT2);
    });
    int answer = MessageBoxW(owner, u"Do you really want to leave the program now?", u"Corvane",
                             MB_OKCANCEL | MB_ICONQUESTION);
    looker.join();
    EXPECT_EQ(answer, IDCANCEL);
    auto has = [&](const std::string& text) { return std::find(seen.begin(), seen.end(), text) != seen.end(); };
    EXPECT_TRUE(has("Corvane"));
    EXPECT_TRUE(has("OK"));
    EXPECT_TRUE(has("Cancel"));
    EXPECT_TRUE(has("?"));  // the question icon
    // The text is wrapped over several lines.
    auto line = [&](const std::string& word) {
        return std::find_if(seen.begin(), seen.end(),
                            [&](const std::string& t) { return t.find(word) != std::string::npos; });
    };
    ASSERT_NE(line("Do you"), seen.end());
    ASSERT_NE(line("now?"), seen.end());
    EXPECT_NE(line("Do you"), line("now?"));
    // The owner's colour (200, 100, 50) at 60 %.
    EXPECT_EQ(corner, RGB(120, 60, 30));
}

}  // namespace
