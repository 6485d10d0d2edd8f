// The account screen driven by keys: what "OK" stores and when it tells the
// program to set the account up again, the entries it refuses, and what
// happens to the file when it changed meanwhile or cannot be written.
#include "app/AppEvent.h"
#include "platform/display/Display.h"
#include "platform/win/Controls.h"
#include "tests/ui/settings/SettingsFixture.h"
#include "ui/AccountDialog.h"
#include "ui/Screens.h"

namespace {

using namespace settingstest;
using platform::display::PressKey;

constexpr const WCHAR* kClass = u"AccountDialog";
const std::string kSignedUp = "UIN=100001\r\nPASSWORD=demo\r\n";

class AccountDialogTest : public SettingsFixture {
protected:
    int Run(std::vector<Step> steps)
    {
        m_driver.Start(std::move(steps));
        return screens::OpenAccountDialog(*m_core, nullptr);
    }
};

struct StoredCase {
    const char* name;
    std::string config;
    std::function<void(HWND)> edit;
    int result;
    bool enabled;
    WideString uin;
    WideString password;
};

TEST_F(AccountDialogTest, OkStoresTheChangesAndAsksForANewAccountOnlyWhenSomethingChanged)
{
    const StoredCase cases[] = {
        {"unchanged", kSignedUp, [](HWND) {}, 0, true, u"100001", u"demo"},
        {"cleared UIN switches the ticked account off", kSignedUp,
         [](HWND d) { SetDlgItemTextW(d, AccountDialog::kUinId, u""); }, 1, false, u"", u"demo"},
        {"typed account", "",
         [](HWND d) {
             SetFocus(GetDlgItem(d, AccountDialog::kEnabledId));
             PressKey(platform::display::VK_ACTION);
             TypeInto(d, AccountDialog::kUinId, u"100002");
             TypeInto(d, AccountDialog::kPasswordId, u"fr!end");
         },
         1, true, u"100002", u"fr!end"},
        {"unticked", kSignedUp,
         [](HWND d) {
             SetFocus(GetDlgItem(d, AccountDialog::kEnabledId));
             PressKey(platform::display::VK_ACTION);
         },
         1, false, u"100001", u"demo"},
    };
    int expectedEvents = 0;
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteConfig(c.config);
        std::string before = ReadConfig();
        int result = Run({[&] { c.edit(Screen(kClass)); }, [] { PressKey(platform::display::VK_SOFT1); }});
        EXPECT_EQ(result, c.result);
        RefPtr<Settings> stored = Stored();
        EXPECT_EQ(stored->icqEnabled, c.enabled);
        EXPECT_EQ(stored->uin, c.uin);
        EXPECT_EQ(stored->password, c.password);
        expectedEvents += c.result;
        EXPECT_EQ(EventsOf(EventType::AccountChanged), expectedEvents);
        if (c.result == 0) {
            EXPECT_EQ(ReadConfig(), before) << "nothing written";
        }
    }
}

struct RefusedCase {
    const char* name;
    std::string config;
    std::function<void(HWND)> edit;
    std::u16string_view message;
};

// The screen says what is wrong and stays open; Cancel then leaves the file
// as it was.
TEST_F(AccountDialogTest, UnusableEntriesAreRefusedWithAMessage)
{
    const RefusedCase cases[] = {
        {"letters in the UIN", kSignedUp, [](HWND d) { SetDlgItemTextW(d, AccountDialog::kUinId, u"12ab"); },
         u"1 to 12 digits"},
        {"20 digits", kSignedUp,
         [](HWND d) { SetDlgItemTextW(d, AccountDialog::kUinId, u"12345678901234567890"); }, u"1 to 12 digits"},
        {"empty password of an active account", kSignedUp + "ICQ_ENABLED=True\r\n",
         [](HWND d) { SetDlgItemTextW(d, AccountDialog::kPasswordId, u""); }, u"password"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteConfig(c.config);
        std::string before = ReadConfig();
        bool message = false;
        bool stayed = false;
        int result = Run({[&] { c.edit(Screen(kClass)); },
                          [] { PressKey(platform::display::VK_SOFT1); },
                          Wait{[&] { return message = Shown(c.message); }},
                          [] { PressKey(platform::display::VK_SOFT1); },
                          [&] {
                              stayed = Screen(kClass) != nullptr && !Shown(c.message);
                              PressKey(platform::display::VK_SOFT2);
                          }});
        EXPECT_TRUE(message);
        EXPECT_TRUE(stayed);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadConfig(), before);
    }
    EXPECT_EQ(EventsOf(EventType::AccountChanged), 0);
}

TEST_F(AccountDialogTest, AChangeMadeToTheFileWhileOpenIsKept)
{
    WriteConfig(kSignedUp + "SOUND=True\r\n");
    int result = Run({[&] {
                          WriteConfig(kSignedUp + "SOUND=False\r\nICQ_PING_PERIOD=60\r\n");
                          TypeInto(Screen(kClass), AccountDialog::kPasswordId, u"2");
                      },
                      [] { PressKey(platform::display::VK_SOFT1); }});
    EXPECT_EQ(result, 1);
    RefPtr<Settings> stored = Stored();
    EXPECT_EQ(stored->password, u"demo2");
    EXPECT_FALSE(stored->sound);
    EXPECT_EQ(stored->icqPingPeriod, 60);
}

TEST_F(AccountDialogTest, AFolderThatCannotBeWrittenLosesNothingAndSaysSo)
{
    WriteConfig(kSignedUp);
    BlockWritesTo(ConfigPath());
    bool message = false;
    int result = Run({[&] {
                          SetDlgItemTextW(Screen(kClass), AccountDialog::kUinId, u"100002");
                          Screenshot("account");
                      },
                      [] { PressKey(platform::display::VK_SOFT1); },
                      Wait{[&] { return message = Shown(u"could not be saved"); }},
                      [] {
                          Screenshot("account-save-failed");
                          PressKey(platform::display::VK_SOFT1);
                      }});
    EXPECT_TRUE(message);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadConfig(), kSignedUp);
    EXPECT_EQ(EventsOf(EventType::AccountChanged), 0);
}

}  // namespace
