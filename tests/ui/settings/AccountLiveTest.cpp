// The account changed through its screen while signed on: the program drops
// the old session, sets the new account up, and that one signs on.
#include "oscar/OnlineStatus.h"
#include "platform/display/Display.h"
#include "tests/oscar/live/LiveTest.h"
#include "tests/ui/settings/ScreenDriver.h"
#include "ui/AccountDialog.h"
#include "ui/Screens.h"

namespace {

using namespace settingstest;
using platform::display::PressKey;

const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100002" password="friend" nick="Friend"/>
</accounts>)";

class AccountLiveTest : public live::LiveTest {
protected:
    AccountLiveTest() : LiveTest("corvane-account-live") {}
};

TEST_F(AccountLiveTest, TheSessionFollowsTheAccountChangedOnTheScreen)
{
    app::SetInstance(GetModuleHandleW(nullptr));
    ASSERT_TRUE(resources::RegisterProgramResources(app::Instance()));
    m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
    ASSERT_TRUE(m_server->Ready());
    m_core = std::make_unique<live::LiveCore>(
        m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=" + m_server->LoginHost() + "\r\n");
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Session() && m_core->Session()->IsOnline(); }, 60000));
    RefPtr<OscarSession> first = m_core->Session();

    ScreenDriver driver;
    driver.Start({[] {
                      HWND d = Screen(u"AccountDialog");
                      SetDlgItemTextW(d, AccountDialog::kUinId, u"");
                      TypeInto(d, AccountDialog::kUinId, u"100002");
                      SetDlgItemTextW(d, AccountDialog::kPasswordId, u"");
                      TypeInto(d, AccountDialog::kPasswordId, u"friend");
                  },
                  [] { PressKey(platform::display::VK_SOFT1); }});
    ASSERT_EQ(screens::OpenAccountDialog(m_core->Core(), nullptr), 1);

    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Account() && m_core->Account()->Uin() == u"100002"; }, 30000));
    EXPECT_TRUE(m_core->PumpUntil([&] { return !first->IsOnline(); }, 30000)) << "the old session goes offline";
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Session() && m_core->Session()->IsOnline(); }, 60000));
    EXPECT_EQ(m_core->Session()->Uin(), u"100002");
}

}  // namespace
