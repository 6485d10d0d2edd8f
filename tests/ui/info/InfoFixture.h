// The user-information and search windows against the local server: a
// signed-on core, the program's resources, and a script that drives the
// modal windows from inside their own message loops.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "oscar/FrameEvents.h"
#include "oscar/OnlineStatus.h"
#include "oscar/codec/SnacDecoding.h"
#include "platform/display/Display.h"
#include "platform/win/Controls.h"
#include "platform/win/Menu.h"
#include "tests/oscar/live/LiveCore.h"
#include "tests/oscar/live/ServerProcess.h"
#include "tests/oscar/live/TempFolder.h"
#include "tests/oscar/meta/MetaBytes.h"
#include "ui/InfoLayout.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/Resources.h"

namespace infotest {

inline const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100004" password="a" nick="Alice" first="Alice" last="Liddell" email="alice@example.org"
           city="Oxford" state="Oxon" gender="female" age="20" birthday="2005-05-04" phone="555-0104"
           mobile="555-0199" homepage="http://alice.example" notes="Down the rabbit hole"/>
  <account uin="100005" password="b" nick="Alba" first="Alba" last="Rose" gender="female" age="34"/>
  <account uin="100006" password="c" nick="Bert" first="Bert" last="Old" gender="male" age="65"/>
</accounts>)";

// Steps run one per message of a hidden window, each once its condition
// holds; a step that waits too long fails the script and closes the windows.
class Script {
public:
    Script()
    {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = u"InfoTestScript";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, u"InfoTestScript", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        Current() = this;
    }
    ~Script()
    {
        DestroyWindow(m_window);
        Current() = nullptr;
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void Add(std::string name, std::function<bool()> ready, std::function<void()> act)
    {
        m_steps.push_back({std::move(name), std::move(ready), std::move(act)});
    }
    // Starts running with the next messages (call before opening a window).
    void Arm()
    {
        m_stepStart = GetTickCount();
        PostMessageW(m_window, kStep, 0, 0);
    }
    bool Done() const { return m_next == m_steps.size(); }
    // The step that timed out, or empty.
    const std::string& Failed() const { return m_failed; }

private:
    static constexpr UINT kStep = WM_APP + 7;
    static constexpr DWORD kLimit = 60000;

    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    static Script*& Current()
    {
        static Script* script = nullptr;
        return script;
    }
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if ((message == kStep || message == WM_TIMER) && Current() != nullptr) {
            Current()->Run();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    void Run()
    {
        KillTimer(m_window, 1);
        if (!m_failed.empty()) {
            CloseTop();
            return;
        }
        if (Done())
            return;
        Step& step = m_steps[m_next];
        if (step.ready()) {
            ++m_next;
            m_stepStart = GetTickCount();
            step.act();
            PostMessageW(m_window, kStep, 0, 0);
            return;
        }
        if (GetTickCount() - m_stepStart > kLimit) {
            m_failed = step.name;
            CloseTop();
            return;
        }
        SetTimer(m_window, 1, 40, nullptr);
    }
    // Ends the top dialog (or answers a message box); again until none is left.
    void CloseTop()
    {
        HWND top = GetForegroundWindow();
        if (DialogBase* dialog = DialogBase::FromHandle(top)) {
            dialog->EndDialog(-2);
        } else if (top != nullptr) {
            platform::display::PressKey(platform::display::VK_SOFT1);
        } else {
            return;
        }
        SetTimer(m_window, 1, 40, nullptr);
    }

    HWND m_window = nullptr;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    DWORD m_stepStart = 0;
    std::string m_failed;
};

// The window of type T in front, or null.
template <typename T>
T* Top()
{
    return dynamic_cast<T*>(DialogBase::FromHandle(GetForegroundWindow()));
}

inline WideString TextOf(HWND dialog, int id) { return infolayout::ControlText(GetDlgItem(dialog, id), 100000); }

inline bool Shows(const std::u16string& text)
{
    std::vector<platform::display::ShownText> texts;
    platform::display::Capture(&texts);
    for (const auto& shown : texts) {
        if (shown.text == text)
            return true;
    }
    return false;
}

inline UINT MenuState(HMENU menu, UINT item, BOOL byPosition)
{
    MENUITEMINFOW info;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu, item, byPosition, &info);
    return info.fState;
}

inline WideString MenuText(HMENU menu, UINT item, BOOL byPosition)
{
    WCHAR buffer[64] = {};
    MENUITEMINFOW info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = 63;
    GetMenuItemInfoW(menu, item, byPosition, &info);
    return buffer;
}

// With CORVANE_INFO_SHOTS=folder, the screen as <folder>/<name>-<W>x<H>.png.
inline void Shot(const std::string& name)
{
    if (const char* folder = std::getenv("CORVANE_INFO_SHOTS")) {
        const auto& layout = platform::display::Layout();
        platform::display::SaveScreenshot(std::string(folder) + "/" + name + "-" + std::to_string(layout.width) +
                                          "x" + std::to_string(layout.height) + ".png");
    }
}

class InfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_folder = m_temp.Path();
        platform::SetTimeScale(20.0);
        app::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_TRUE(resources::RegisterProgramResources(GetModuleHandleW(nullptr)));
    }
    void TearDown() override
    {
        if (m_server)
            m_server->Thaw();
        m_core.reset();
        m_server.reset();
        platform::SetTimeScale(1.0);
    }

    // The server keeps a list for 100001: groups General (1) and Work (2),
    // and 100004 in General with the nickname "Ally".
    void StartServer()
    {
        std::string folder = m_folder + "/server-data";
        ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
        std::ofstream list(folder + "/100001.list");
        list << "date 1700000000\n"
             << "item 1 0 0 - -\n"
             << "item 1 1 0 47656e6572616c -\n"
             << "item 1 2 0 576f726b -\n"
             << "item 0 1 100 313030303034 01310004416c6c79\n";
        list.close();
        m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
        ASSERT_TRUE(m_server->Ready());
        NewCore(m_server->LoginHost());
    }
    void NewCore(const std::string& loginHost)
    {
        m_core.reset();
        m_core = std::make_unique<live::LiveCore>(
            m_folder, "UIN=100001\r\nPASSWORD=demo\r\nCODE_PAGE=65001\r\nLOGINHOSTS=" + loginHost + "\r\n");
    }
    bool GoOnline()
    {
        m_core->Choose(OnlineStatus::Online);
        return m_core->PumpUntil(
            [&] {
                auto session = m_core->Session();
                return session && session->IsOnline() && Store().FindGroup(2);
            },
            60000);
    }
    ContactStore& Store() { return m_core->Account()->Store(); }

    // A received BOS frame, posted as the receive thread would.
    void Inject(const codectest::Bytes& snacBody)
    {
        RefPtr<oscar::SnacCommand> snac = oscar::DecodeSnac(snacBody);
        m_core->Core().Post(MakeRef<oscar::FrameEvent>(EventType::BosFrameReceived, oscar::FlapFrame::ForSnac(snac)));
    }
    // The directory requests (meta request type 0x07D0) sent so far.
    std::vector<RefPtr<oscar::SnacCommand>> MetaRequests()
    {
        std::vector<RefPtr<oscar::SnacCommand>> found;
        for (const auto& frame : m_core->Record().BosFrames()) {
            if (!frame->Snac() || frame->Snac()->Number() != oscar::CommandNumber::MetaRequest)
                continue;
            std::span<const std::uint8_t> data = frame->Snac()->Data()->Bytes();
            if (data.size() >= 16 && data[10] == 0xD0 && data[11] == 0x07)
                found.push_back(frame->Snac());
        }
        return found;
    }

    live::TempFolder m_temp{"corvane-info"};
    std::string m_folder;
    std::unique_ptr<live::ServerProcess> m_server;
    std::unique_ptr<live::LiveCore> m_core;
};

}  // namespace infotest
