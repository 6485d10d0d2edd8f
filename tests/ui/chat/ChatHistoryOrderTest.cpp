// A message that wraps over several lines reads top to bottom both when it
// is drawn as it comes and when the window reads it back from the history.
#include <algorithm>

#include "tests/ui/info/InfoFixture.h"
#include "ui/ChatWindow.h"
#include "ui/OpenChats.h"
#include "ui/Screens.h"

namespace {

using namespace infotest;
using namespace platform::display;

// The tops of the window's drawn copies of a word, from the top down.
std::vector<LONG> Tops(HWND window, const std::u16string& word)
{
    std::vector<ShownText> texts;
    Capture(&texts);
    std::vector<LONG> tops;
    for (const auto& shown : texts) {
        if (shown.window == window && shown.text == word)
            tops.push_back(shown.rect.top);
    }
    std::sort(tops.begin(), tops.end());
    return tops;
}

// Both copies (the own message and its echo) drawn, each starting above
// where it ends.
::testing::AssertionResult ReadTopDown(HWND window)
{
    std::vector<LONG> first = Tops(window, u"alpha");
    std::vector<LONG> last = Tops(window, u"omega");
    if (first.size() != 2 || last.size() != 2)
        return ::testing::AssertionFailure() << first.size() << " and " << last.size() << " copies drawn";
    if (first[0] >= last[0] || first[1] >= last[1])
        return ::testing::AssertionFailure() << "first words at " << first[0] << ", " << first[1]
                                             << "; last words at " << last[0] << ", " << last[1];
    return ::testing::AssertionSuccess();
}

HWND Open(AppCore& core, const RefPtr<Contact>& contact)
{
    screens::OpenChat(core, contact);
    return openchats::Find(contact->uin);
}

class ChatHistoryOrderTest : public InfoTest {};

TEST_F(ChatHistoryOrderTest, WrappedMessageKeepsItsLineOrderWhenReadBack)
{
    StartServer();
    ASSERT_TRUE(GoOnline());
    bool created = false;
    RefPtr<Contact> echo = Store().FindOrCreateContact(u"100100", created);
    ASSERT_TRUE(echo);
    HWND window = Open(m_core->Core(), echo);
    ASSERT_NE(window, nullptr);
    auto* chat = dynamic_cast<ChatWindow*>(WindowBase::FromHandle(window).Get());
    ASSERT_NE(chat, nullptr);

    // Far wider than the screen: the first word heads the first line, the
    // last one ends the last line.
    TypeText(u"alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima mike omega");
    ASSERT_TRUE(m_core->PumpUntil([&] { return chat->LeftKeyIsSend(); }, 20000));
    PressKey(VK_SOFT1);
    ASSERT_TRUE(m_core->PumpUntil([&] { return Tops(window, u"omega").size() == 2; }, 60000));
    EXPECT_TRUE(ReadTopDown(window)) << "as they came";
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();

    HWND again = Open(m_core->Core(), echo);
    ASSERT_NE(again, nullptr);
    m_core->PumpUntil([&] { return Tops(again, u"omega").size() == 2; }, 20000);
    EXPECT_TRUE(ReadTopDown(again)) << "read back from the history";
    SendMessageW(again, WM_CLOSE, 0, 0);
    m_core->Pump();
}

}  // namespace
