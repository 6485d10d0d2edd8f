// Chat windows on the headless phone: a core (signed on against the local
// server, or offline), the shipped smilies, and helpers that open a
// contact's chat and read what it drew.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/ui/info/InfoFixture.h"
#include "ui/ChatWindow.h"
#include "ui/OpenChats.h"
#include "ui/Screens.h"

namespace chattest {

using namespace infotest;
using namespace platform::display;

// Where the chat window drew `text`, lowest on the screen first.
inline std::vector<RECT> Drawn(HWND window, const std::u16string& text)
{
    std::vector<ShownText> texts;
    Capture(&texts);
    std::vector<RECT> found;
    for (const auto& shown : texts) {
        if (shown.window == window && shown.text == text)
            found.push_back(shown.rect);
    }
    std::sort(found.begin(), found.end(), [](const RECT& a, const RECT& b) { return a.top > b.top; });
    return found;
}

inline WideString WindowTitle(HWND window)
{
    WCHAR title[256] = {};
    GetWindowTextW(window, title, 255);
    return title;
}

class ChatScreenTest : public InfoTest {
protected:
    void SetUp() override
    {
        InfoTest::SetUp();
        std::filesystem::copy(CORVANE_SOURCE_DIR "/assets/Smilies", m_folder + "/Smilies",
                              std::filesystem::copy_options::recursive);
    }
    // A core that stays offline, with more settings lines.
    void OfflineCore(const std::string& more = "")
    {
        m_core.reset();
        m_core = std::make_unique<live::LiveCore>(
            m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:1\r\n" + more);
    }
    ChatWindow* Open(const WideString& uin)
    {
        bool created = false;
        RefPtr<Contact> contact = Store().FindOrCreateContact(uin, created);
        if (!contact)
            return nullptr;
        screens::OpenChat(m_core->Core(), contact);
        m_core->Pump();
        HWND window = openchats::Find(uin);
        return window != nullptr ? dynamic_cast<ChatWindow*>(WindowBase::FromHandle(window).Get()) : nullptr;
    }
    // Signs on against the local server and opens the chat with uin; null
    // (with a failure reported) when either fails.
    ChatWindow* OpenSignedOn(const WideString& uin)
    {
        StartServer();
        bool online = m_server && m_server->Ready() && GoOnline();
        EXPECT_TRUE(online) << "signed on";
        return online ? Open(uin) : nullptr;
    }
    WideString BoxText(ChatWindow* chat) { return infolayout::ControlText(chat->Edit(), 20000); }
    // Runs the script's steps from the nested loops that `start` opens.
    void RunScript(Script& script, const std::function<void()>& start)
    {
        script.Arm();
        start();
        EXPECT_TRUE(m_core->PumpUntil([&] { return script.Done() || !script.Failed().empty(); }, 60000));
        EXPECT_EQ(script.Failed(), "");
        m_core->Pump();
    }
};

}  // namespace chattest
