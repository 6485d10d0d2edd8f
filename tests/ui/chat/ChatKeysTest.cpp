// The chat window driven by its keys: links chosen with Right and opened with
// Action, the Smile command with both kinds of smiley set, sends that are
// refused or still on their way, and the unsent text carried over a restart.
#include <sys/stat.h>

#include <thread>

#include "platform/gdi/Surface.h"
#include "skin/Look.h"
#include "tests/ui/chat/ChatFixture.h"

namespace {

using namespace chattest;

constexpr UINT kKeyOne = 0x31;

bool ShowsPart(const std::u16string& part)
{
    std::vector<ShownText> texts;
    Capture(&texts);
    return std::any_of(texts.begin(), texts.end(), [&](const ShownText& t) { return t.text.find(part) != t.text.npos; });
}

using ChatKeysTest = ChatScreenTest;

TEST_F(ChatKeysTest, LinksAreChosenWithRightDrawnChosenAndOpenedWithAction)
{
    testsupport::TempFolder opened("corvane-opened");
    std::string record = opened.Path() + "/url";
    std::string opener = opened.Path() + "/opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << record << "\"\n";
    ::chmod(opener.c_str(), 0755);
    ::setenv("CORVANE_URL_OPENER", opener.c_str(), 1);

    ChatWindow* chat = OpenSignedOn(u"100100");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();
    TypeText(u"see http://one.example or HTTPS://two.example/x");
    ASSERT_TRUE(m_core->PumpUntil([&] { return chat->LeftKeyIsSend(); }, 20000));
    PressKey(VK_SOFT1);
    ASSERT_TRUE(m_core->PumpUntil([&] { return Drawn(window, u"HTTPS://two.example/x").size() == 2; }, 60000))
        << "own line and echo";

    // Newest first: the echo's links from the right, then the own line's;
    // then round again.
    std::vector<WideString> chosen;
    for (int i = 0; i < 5; ++i) {
        PressKey(VK_RIGHT_KEY);
        m_core->Pump();
        chosen.push_back(chat->SelectedLink());
    }
    EXPECT_EQ(chosen, (std::vector<WideString>{u"HTTPS://two.example/x", u"http://one.example",
                                               u"HTTPS://two.example/x", u"http://one.example",
                                               u"HTTPS://two.example/x"}));
    // The echo's link (the lower one) is drawn in the selection colour.
    m_core->PumpFor(100);
    std::vector<ShownText> texts;
    auto screen = Capture(&texts);
    std::vector<RECT> links = Drawn(window, u"HTTPS://two.example/x");
    ASSERT_EQ(links.size(), 2u);
    COLORREF selection = skin::CurrentSkin(m_core->Core())->selectedBorderColour;
    auto filled = [&](const RECT& r) {
        int count = 0;
        for (int x = r.left; x < r.right; ++x)
            count += (platform::gdi::ToColorRef(screen->Row(r.top)[x]) & 0xFFFFFF) == selection;
        return count > (r.right - r.left) / 2;
    };
    EXPECT_TRUE(filled(links[0])) << "the chosen link";
    EXPECT_FALSE(filled(links[1])) << "the same address on the own line is not chosen";

    // Left drops the choice and leaves the window open; Left again leaves.
    PressKey(VK_LEFT_KEY);
    m_core->Pump();
    EXPECT_EQ(chat->SelectedLink(), u"");
    EXPECT_EQ(openchats::Find(u"100100"), window);

    // Typing drops it too, and Right then moves the caret.
    PressKey(VK_RIGHT_KEY);
    m_core->Pump();
    EXPECT_NE(chat->SelectedLink(), u"");
    TypeText(u"a");
    m_core->Pump();
    EXPECT_EQ(chat->SelectedLink(), u"");
    PressKey(VK_RIGHT_KEY);
    m_core->Pump();
    EXPECT_EQ(chat->SelectedLink(), u"");
    PressKey(VK_BACK_KEY);
    m_core->Pump();
    ASSERT_EQ(BoxText(chat), u"");

    // Action opens the chosen link with the opener.
    PressKey(VK_RIGHT_KEY);
    PressKey(VK_RIGHT_KEY);
    PressKey(VK_ACTION);
    m_core->Pump();
    std::string got;
    for (int i = 0; i < 500 && got.empty(); ++i) {
        std::ifstream in(record);
        std::getline(in, got);
        if (got.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(got, "http://one.example");
    EXPECT_EQ(openchats::Find(u"100100"), window) << "Action does not leave the chat";
    ::unsetenv("CORVANE_URL_OPENER");
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
}

TEST_F(ChatKeysTest, RefusedAndPendingSendsKeepTheText)
{
    ChatWindow* chat = OpenSignedOn(u"100100");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();

    // Too long for one message: the user is told, the text stays and is not
    // sent.
    WideString tooLong(9000, u'a');
    SetWindowTextW(chat->Edit(), tooLong.substr(1).c_str());
    TypeText(u"a");
    m_core->Pump();
    ASSERT_TRUE(chat->LeftKeyIsSend());
    std::size_t framesBefore = m_core->Record().BosFrames().size();
    Script script;
    script.Add("the box explains", [] { return ShowsPart(u"The message is too"); },
               [] { PressKey(VK_SOFT1); });
    RunScript(script, [] { PressKey(VK_SOFT1); });
    EXPECT_EQ(BoxText(chat), tooLong);
    EXPECT_TRUE(chat->LeftKeyIsSend());
    for (std::size_t i = framesBefore; i < m_core->Record().BosFrames().size(); ++i) {
        auto frame = m_core->Record().BosFrames()[i];
        EXPECT_FALSE(frame->Snac() && frame->Snac()->Number() == oscar::CommandNumber::SendMessage);
    }

    // A send on its way keeps "Back"; what is typed meanwhile survives Back
    // and fills the next window's box.
    SetWindowTextW(chat->Edit(), u"firs");
    TypeText(u"t");
    m_core->Pump();
    m_server->Freeze();
    PressKey(VK_SOFT1);
    ASSERT_TRUE(m_core->PumpUntil([&] { return chat->Peer()->sending; }, 20000));
    TypeText(u"second");
    m_core->Pump();
    EXPECT_FALSE(chat->LeftKeyIsSend());
    PressKey(VK_SOFT1);
    m_core->Pump();
    EXPECT_EQ(openchats::Find(u"100100"), nullptr) << "Back left the chat";
    EXPECT_FALSE(IsWindow(window));
    ChatWindow* again = Open(u"100100");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(BoxText(again), u"second");
    m_server->Thaw();
    SetWindowTextW(again->Edit(), u"");
    SendMessageW(again->Window(), WM_CLOSE, 0, 0);
    m_core->Pump();
}

TEST_F(ChatKeysTest, SmileTypesTheChosenCodeWithEitherPicker)
{
    struct Kind {
        const char* source;
        const char16_t* picker;
        const char16_t* uin;
    };
    for (Kind kind : {Kind{"Default.Smilies.xml", u"SmileWindow", u"100004"},
                      Kind{"Text.Smilies.xml", u"TextSmileWindow", u"100005"}}) {
        SCOPED_TRACE(kind.source);
        OfflineCore(std::string("SMILE_SOURCE=") + kind.source + "\r\n");
        ChatWindow* chat = Open(kind.uin);
        ASSERT_NE(chat, nullptr);
        TypeText(u"hi ");
        m_core->Pump();
        Script script;
        script.Add("menu", [] { return Shows(u"1 Smile"); }, [] { PressKey(kKeyOne); });
        script.Add(
            "picker",
            [&] {
                WCHAR name[64] = {};
                return GetClassNameW(GetForegroundWindow(), name, 64) > 0 && WideString(name) == kind.picker;
            },
            [] { PressKey(VK_ACTION); });
        RunScript(script, [] { PressKey(VK_SOFT2); });
        EXPECT_EQ(BoxText(chat), u"hi :)") << "the first smiley of both sets is \":)\"";
        SendMessageW(chat->Window(), WM_CLOSE, 0, 0);
        m_core->Pump();
    }
}

TEST_F(ChatKeysTest, UnsentTextSurvivesClosingAndARestart)
{
    OfflineCore();
    ChatWindow* chat = Open(u"100004");
    ASSERT_NE(chat, nullptr);
    TypeText(u"see you\rtomorrow");
    m_core->Pump();
    ASSERT_TRUE(chat->LeftKeyIsSend());
    Script script;
    script.Add("menu", [] { return Shows(u"2 Close"); }, [] { PressKey(0x32); });
    RunScript(script, [] { PressKey(VK_SOFT2); });
    EXPECT_EQ(openchats::Find(u"100004"), nullptr);

    // A new core reads the cache file as the program does at its start.
    OfflineCore();
    ChatWindow* reopened = Open(u"100004");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(BoxText(reopened), u"see you\r\ntomorrow");
    EXPECT_TRUE(reopened->LeftKeyIsSend());
    SendMessageW(reopened->Window(), WM_CLOSE, 0, 0);
    m_core->Pump();
}

}  // namespace
