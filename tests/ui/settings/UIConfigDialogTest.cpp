// The settings screen and its advanced screen driven by keys and the soft-key
// menu: what "OK" stores, what "Cancel" drops, a code page the device lacks,
// and the stored password across a change of code page.
#include "app/AppGlobals.h"
#include "platform/display/Display.h"
#include "tests/ui/settings/SettingsFixture.h"
#include "ui/AdvancedConfigDialog.h"
#include "ui/Screens.h"
#include "ui/UIConfigDialog.h"

namespace {

using namespace settingstest;
using platform::display::PressKey;
using platform::display::VK_ACTION;
using platform::display::VK_LEFT_KEY;
using platform::display::VK_SOFT1;
using platform::display::VK_SOFT2;

constexpr const WCHAR* kClass = u"UIConfigDialog";

class UIConfigDialogTest : public SettingsFixture {
protected:
    int Run(std::vector<Step> steps)
    {
        m_driver.Start(std::move(steps));
        return screens::OpenSettingsDialog(*m_core, nullptr);
    }
    // The changes of the main test: show offline on, two vibrations fewer,
    // code page 1251, and channel 2 switched off in the advanced screen.
    std::vector<Step> EditEverything(bool confirm)
    {
        return {[] {
                    HWND d = Screen(kClass);
                    SetFocus(GetDlgItem(d, 1000));
                    PressKey(VK_ACTION);
                    SetFocus(GetDlgItem(d, UIConfigDialog::kVibroCountId));
                    PressKey(VK_LEFT_KEY);
                    PressKey(VK_LEFT_KEY);
                    SetDlgItemTextW(d, UIConfigDialog::kCodePageId, u"");
                    TypeInto(d, UIConfigDialog::kCodePageId, u"1251");
                },
                [] {
                    Screenshot("settings");
                    PressKey(VK_SOFT2);  // "Menu"
                },
                [] { PressKey(VK_ACTION); },  // "Advanced", the first entry
                [] {
                    SetFocus(GetDlgItem(Screen(u"AdvancedConfigDialog"), AdvancedConfigDialog::kDisableCh2Id));
                    PressKey(VK_ACTION);
                    Screenshot("settings-advanced");
                    PressKey(VK_SOFT1);
                },
                [confirm] { PressKey(confirm ? VK_SOFT1 : VK_SOFT2); },
                [confirm] {
                    if (!confirm)
                        PressKey(VK_ACTION);  // "Cancel" in the menu, reached from "Advanced"
                }};
    }
};

TEST_F(UIConfigDialogTest, OkStoresEveryChangeIncludingTheAdvancedOne)
{
    WriteConfig("UIN=100001\r\nSOUND=False\r\n");
    ASSERT_EQ(Run(EditEverything(true)), 1);
    RefPtr<Settings> stored = Stored();
    EXPECT_TRUE(stored->showOffline);
    EXPECT_EQ(stored->vibroCount, 3);
    EXPECT_EQ(stored->codePage, 1251);
    EXPECT_FALSE(stored->icqSupportCh2);
    EXPECT_FALSE(stored->sound) << "untouched options keep their values";
    EXPECT_EQ(stored->uin, u"100001");
    EXPECT_EQ(app::ProcessCodePage(), 1251);
}

TEST_F(UIConfigDialogTest, CancelStoresNothingNotEvenTheAdvancedAnswer)
{
    WriteConfig("UIN=100001\r\n");
    std::string before = ReadConfig();
    std::vector<Step> steps = EditEverything(false);
    // "Menu" > "Cancel": the menu opens on "Advanced"; Down moves to "Cancel".
    steps[4] = [] { PressKey(VK_SOFT2); };
    steps[5] = [] {
        PressKey(platform::display::VK_DOWN_KEY);
        PressKey(VK_ACTION);
    };
    EXPECT_EQ(Run(steps), 0);
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_EQ(app::ProcessCodePage(), 0);
}

TEST_F(UIConfigDialogTest, ACodePageTheDeviceLacksIsRefused)
{
    WriteConfig("");
    bool stayed = false;
    int result = Run({[] {
                          SetDlgItemTextW(Screen(kClass), UIConfigDialog::kCodePageId, u"12345");
                          PressKey(VK_SOFT1);
                      },
                      [] { PressKey(VK_SOFT1); },  // the message
                      [&] {
                          stayed = Screen(kClass) != nullptr;
                          PressKey(VK_SOFT2);
                      },
                      [] { PressKey(platform::display::VK_DOWN_KEY); },
                      [] { PressKey(VK_ACTION); }});
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Stored()->codePage, 0);
}

// The password is stored in the process code page; after a change of code
// page it must still read back as the same text.
TEST_F(UIConfigDialogTest, ThePasswordSurvivesAChangeOfCodePage)
{
    app::SetProcessCodePage(1251);
    {
        RefPtr<Settings> settings = Stored();
        settings->uin = u"100001";
        settings->password = u"пароль";
        settings->codePage = 1251;
        ASSERT_TRUE(settings->Save());
    }
    int result = Run({[] {
        SetDlgItemTextW(Screen(kClass), UIConfigDialog::kCodePageId, u"65001");
        PressKey(VK_SOFT1);
    }});
    ASSERT_EQ(result, 1);
    EXPECT_EQ(app::ProcessCodePage(), 65001);
    EXPECT_EQ(Stored()->password, u"пароль");
}

}  // namespace
