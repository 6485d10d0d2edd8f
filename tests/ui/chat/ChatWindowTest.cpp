// The chat window against the local server: a message typed and sent to the
// echo account shows as the user's own line and comes back as the contact's;
// text left in the box survives closing the window.
#include "tests/ui/info/InfoFixture.h"
#include "ui/ChatWindow.h"
#include "ui/OpenChats.h"
#include "ui/Screens.h"

namespace {

using namespace infotest;
using namespace platform::display;

int TimesShown(HWND window, const std::u16string& text)
{
    std::vector<ShownText> texts;
    Capture(&texts);
    int count = 0;
    for (const auto& shown : texts) {
        if (shown.window == window && shown.text == text)
            ++count;
    }
    return count;
}

bool ShowsEnding(HWND window, const std::u16string& ending)
{
    std::vector<ShownText> texts;
    Capture(&texts);
    for (const auto& shown : texts) {
        if (shown.window == window && shown.text.size() >= ending.size() &&
            shown.text.compare(shown.text.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

class ChatTest : public InfoTest {
protected:
    // The states of the typing notices sent so far (2 started, 1 paused,
    // 0 finished), from the last two bytes of each.
    std::vector<int> TypingSent()
    {
        std::vector<int> states;
        for (const auto& frame : m_core->Record().BosFrames()) {
            if (!frame->Snac() || frame->Snac()->Number() != oscar::CommandNumber::TypingNotification)
                continue;
            std::span<const std::uint8_t> data = frame->Snac()->Data()->Bytes();
            if (data.size() >= 2)
                states.push_back(data[data.size() - 2] << 8 | data[data.size() - 1]);
        }
        return states;
    }
};

TEST_F(ChatTest, SentMessageAndItsEchoAreDrawnAndUnsentTextIsKept)
{
    StartServer();
    ASSERT_TRUE(GoOnline());
    bool created = false;
    RefPtr<Contact> echo = Store().FindOrCreateContact(u"100100", created);
    ASSERT_TRUE(echo);

    screens::OpenChat(m_core->Core(), echo);
    HWND window = openchats::Find(u"100100");
    ASSERT_NE(window, nullptr);
    auto* chat = dynamic_cast<ChatWindow*>(WindowBase::FromHandle(window).Get());
    ASSERT_NE(chat, nullptr);
    EXPECT_FALSE(chat->LeftKeyIsSend());

    TypeText(u"hello moon");
    ASSERT_TRUE(m_core->PumpUntil([&] { return chat->LeftKeyIsSend(); }, 20000)) << "Send after typing";
    EXPECT_TRUE(chat->Typing());
    PressKey(VK_SOFT1);
    ASSERT_TRUE(m_core->PumpUntil([&] { return TimesShown(window, u"moon") == 2; }, 60000))
        << "own line and echo drawn";
    EXPECT_TRUE(ShowsEnding(window, u" You:"));
    EXPECT_TRUE(ShowsEnding(window, u" 100100:"));
    EXPECT_FALSE(chat->LeftKeyIsSend()) << "the box is empty after the send";
    EXPECT_FALSE(chat->Typing());
    Shot("chat-echo");

    // Text left in the box is the contact's unsent text when the window
    // closes, and fills the box of the next window.
    TypeText(u"later");
    ASSERT_TRUE(m_core->PumpUntil([&] { return chat->LeftKeyIsSend(); }, 20000));
    EXPECT_TRUE(chat->Typing());
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
    // The echo made the contact known as online; the first notices went to
    // an offline contact and were not sent.
    // The frames go out through the worker stage.
    m_core->PumpUntil([&] { return TypingSent().size() >= 2; }, 20000);
    EXPECT_EQ(TypingSent(), (std::vector<int>{2, 1})) << "started, then paused with text left at the close";
    EXPECT_EQ(openchats::Find(u"100100"), nullptr);
    EXPECT_EQ(echo->cachedText, u"later");

    screens::OpenChat(m_core->Core(), echo);
    HWND again = openchats::Find(u"100100");
    ASSERT_NE(again, nullptr);
    auto* reopened = dynamic_cast<ChatWindow*>(WindowBase::FromHandle(again).Get());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(infolayout::ControlText(reopened->Edit(), 100), u"later");
    // Both messages come back from the history.
    EXPECT_TRUE(m_core->PumpUntil([&] { return TimesShown(again, u"moon") == 2; }, 20000)) << "history read back";
    // Two lines are less than the four the top of the history keeps in view:
    // scrolling up stays put once the history is exhausted.
    PressKey(VK_UP_KEY);
    m_core->PumpFor(500);
    EXPECT_TRUE(reopened->HistoryDone());
    EXPECT_EQ(reopened->ScrollOffset(), 0);
    EXPECT_EQ(reopened->LineCount(), 2u);
    SendMessageW(again, WM_CLOSE, 0, 0);
    m_core->Pump();
}

}  // namespace
