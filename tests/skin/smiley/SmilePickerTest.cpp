// Both pickers run modally and driven by keys, as the chat window runs them:
// the highlight, the soft key that shows the code, the description strip,
// Back, Insert, Cancel, and the chosen code typed into an edit box. With
// CORVANE_SCREENSHOTS set, the program's own sets are shot into that folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "platform/display/Display.h"
#include "platform/display/Png.h"
#include "platform/win/Controls.h"
#include "skin/Skin.h"
#include "skin/smiley/SmileWindow.h"
#include "skin/smiley/SmileyPicker.h"
#include "skin/smiley/TextSmileWindow.h"
#include "tests/skin/smiley/SmileyFiles.h"
#include "ui/framework/Resources.h"

namespace {

using namespace platform::display;
using skin::Smiley;
using skin::SmileySet;
using skintest::Wide;

// Steps run one per tick of a thread timer while the picker's modal loop
// runs; a tick comes only after the messages the previous step posted.
std::vector<std::function<void()>> g_steps;
std::size_t g_next = 0;

std::size_t g_idle = 0;

// After the last step the picker must close by itself; one that stays open
// is cancelled (and the test fails) instead of hanging.
void Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_next < g_steps.size()) {
        g_steps[g_next++]();
        return;
    }
    if (++g_idle < 100)
        return;
    KillTimer(nullptr, id);
    for (const char16_t* name : {u"SmileWindow", u"TextSmileWindow"}) {
        if (HWND open = FindWindowW(name, nullptr)) {
            ADD_FAILURE() << "the picker stayed open";
            PostMessageW(open, WM_COMMAND, 41403, 0);
        }
    }
}

RefPtr<Smiley> PickWithSteps(const RefPtr<SmileySet>& set, const RefPtr<skin::Skin>& look,
                             std::vector<std::function<void()>> steps)
{
    g_steps = std::move(steps);
    g_next = 0;
    g_idle = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 1, &Tick);
    RefPtr<Smiley> chosen = skin::PickSmiley(set, nullptr, look);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_next, g_steps.size()) << "every step ran";
    return chosen;
}

template <typename Picker>
Picker* Open(const char16_t* className)
{
    HWND window = FindWindowW(className, nullptr);
    if (window == nullptr)
        return nullptr;
    UpdateWindow(window);
    return dynamic_cast<Picker*>(DialogBase::FromHandle(window));
}

bool Shows(const std::vector<ShownText>& texts, std::u16string_view text, RECT* where = nullptr)
{
    for (const ShownText& shown : texts) {
        if (shown.text == text) {
            if (where != nullptr)
                *where = shown.rect;
            return true;
        }
    }
    return false;
}

void Shoot(const std::string& name)
{
    const char* folder = std::getenv("CORVANE_SCREENSHOTS");
    if (folder == nullptr)
        return;
    std::string file = std::string(folder) + "/" + name + "-" + std::to_string(Layout().width) + "x" +
                       std::to_string(Layout().height) + ".png";
    if (auto shot = Capture())
        WritePng(file, *shot);
}

class SmilePickerTest : public testing::Test {
protected:
    void SetUp() override
    {
        app::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_TRUE(resources::RegisterProgramResources(GetModuleHandleW(nullptr)));
        platform::RegisterStandardControls();
        m_program = smileytest::FreshProgramFolder("picker");
    }
    void TearDown() override { std::filesystem::remove_all(m_program); }

    // 30 pictures of 16x16 with descriptions, codes ":0" to ":29".
    RefPtr<SmileySet> PictureSet()
    {
        std::string xml = "<smilies>";
        for (int i = 0; i < 30; ++i) {
            xml += "<smile file='p.bmp' desc='Smiley " + std::to_string(i) + "'><text>:" + std::to_string(i) +
                   "</text></smile>";
        }
        std::string folder = smileytest::WriteSet(m_program, "P", "P.Smilies.xml", xml + "</smilies>");
        smileytest::WritePicture(folder + "/p.bmp", 16, 16, 0x208040);
        return MakeRef<SmileySet>(u"P.Smilies.xml", Wide(m_program));
    }
    RefPtr<SmileySet> TextSet()
    {
        smileytest::WriteSet(m_program, "T", "T.Smilies.xml",
                             "<smilies><smile><text>:)</text></smile><smile><text>;-)</text><text>;)</text></smile>"
                             "<smile><text>:-P</text></smile></smilies>");
        return MakeRef<SmileySet>(u"T.Smilies.xml", Wide(m_program));
    }
    static RefPtr<skin::Skin> Look(int spacing)
    {
        RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
        look->smileySpacing = spacing;
        return look;
    }

    std::string m_program;
};

TEST_F(SmilePickerTest, PicturePickerMovesShowsAndInserts)
{
    RefPtr<SmileySet> set = PictureSet();
    skin::SmileWindow* picker = nullptr;
    int expectedDown = -1;
    RefPtr<Smiley> chosen = PickWithSteps(set, Look(2), {
        [&] {
            picker = Open<skin::SmileWindow>(u"SmileWindow");
            ASSERT_NE(picker, nullptr);
            std::vector<ShownText> texts;
            auto screen = Capture(&texts);
            EXPECT_TRUE(Shows(texts, u":0")) << "the code on the left soft key";
            EXPECT_TRUE(Shows(texts, u"Cancel"));
            RECT description{};
            ASSERT_TRUE(Shows(texts, u"Smiley 0", &description));
            RECT frame{};
            GetWindowRect(picker->Window(), &frame);
            int centre = (frame.left + frame.right) / 2;
            EXPECT_NEAR((description.left + description.right) / 2, centre, 2) << "centred";
            EXPECT_EQ(description.bottom, frame.bottom) << "in the strip along the bottom";
            // The first cell is highlighted around its picture; the next is not.
            auto pixel = [&](int x, int y) { return platform::gdi::ToColorRef(screen->Row(y)[x]) & 0xFFFFFF; };
            EXPECT_EQ(pixel(frame.left, frame.top), skin::SmileWindow::kSelection);
            EXPECT_EQ(pixel(frame.left + 9, frame.top + 9), RGB(0x20, 0x80, 0x40));
            EXPECT_EQ(pixel(frame.left + 18, frame.top), skin::SmileWindow::kBackground);
            ASSERT_GE(picker->Grid().rows.size(), 3u);
            PressKey(VK_LEFT_KEY);
        },
        [&] {
            int last = picker->Grid().rows[0].back();
            EXPECT_EQ(picker->Selected(), last) << "left from the first cell wraps to the last";
            PressKey(VK_RIGHT_KEY);
            PressKey(VK_RIGHT_KEY);
        },
        [&] {
            EXPECT_EQ(picker->Selected(), 1);
            std::vector<ShownText> texts;
            Capture(&texts);
            EXPECT_TRUE(Shows(texts, u":1"));
            EXPECT_TRUE(Shows(texts, u"Smiley 1"));
            expectedDown = picker->Grid().cells[1].down;
            PressKey(VK_DOWN_KEY);
        },
        [&] {
            EXPECT_EQ(picker->Selected(), expectedDown);
            PressKey(VK_UP_KEY);
            PressKey(VK_UP_KEY);
        },
        [&] {
            EXPECT_EQ(picker->Selected(), 1) << "up in the first row goes nowhere";
            PressKey(VK_BACK_KEY);
        },
        [&] {
            EXPECT_TRUE(IsWindow(picker->Window())) << "Back does nothing";
            PressKey(VK_ACTION);
        },
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen, set->At(1));

    // The left soft key inserts, the right one cancels.
    EXPECT_EQ(PickWithSteps(set, Look(2), {[] { PressKey(VK_SOFT1); }}), set->At(0));
    EXPECT_FALSE(PickWithSteps(set, Look(2), {[] { PressKey(VK_SOFT2); }}));
}

TEST_F(SmilePickerTest, TextPickerInsertsTheHighlightedCode)
{
    RefPtr<SmileySet> set = TextSet();
    std::vector<std::u16string> lines;
    RefPtr<Smiley> chosen = PickWithSteps(set, nullptr, {
        [&] {
            auto* picker = Open<skin::TextSmileWindow>(u"TextSmileWindow");
            ASSERT_NE(picker, nullptr);
            HWND list = picker->List();
            for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
                WCHAR text[32] = {};
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                lines.emplace_back(text);
            }
            PressKey(VK_DOWN_KEY);
        },
        [&] { PressKey(VK_ACTION); },
    });
    EXPECT_EQ(lines, (std::vector<std::u16string>{u":)", u";-)", u":-P"}));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Code(), u";-)");

    // The chosen code typed into an edit box, one character at a time.
    HWND edit = CreateWindowExW(0, u"EDIT", u"hi ", WS_VISIBLE, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_SETSEL, 3, 3);
    skin::TypeSmileyCode(edit, *chosen);
    WCHAR text[32] = {};
    GetWindowTextW(edit, text, 32);
    EXPECT_EQ(std::u16string(text), u"hi ;-)");
    DestroyWindow(edit);

    EXPECT_FALSE(PickWithSteps(set, nullptr, {[] { PressKey(VK_SOFT2); }})) << "Cancel";
    EXPECT_FALSE(PickWithSteps(set, nullptr, {[] { PressKey(VK_BACK_KEY); }})) << "Back";
    EXPECT_EQ(PickWithSteps(set, nullptr, {[] { PressKey(VK_SOFT1); }}), set->At(0)) << "Insert";
}

TEST_F(SmilePickerTest, AnEmptySetOpensNoPicker)
{
    RefPtr<SmileySet> absent = MakeRef<SmileySet>(u"Absent.Smilies.xml", Wide(m_program));
    EXPECT_FALSE(skin::PickSmiley(absent, nullptr, nullptr));
    EXPECT_EQ(FindWindowW(u"SmileWindow", nullptr), nullptr);
}

// The program's own sets as the phone shows them (for the screenshots in
// docs/screens): the skin that suits the screen, the third smiley chosen.
TEST_F(SmilePickerTest, TheProgramsOwnSetsInThePickers)
{
    std::string assets = std::string(CORVANE_SOURCE_DIR) + "/assets";
    bool wide = Layout().width > 200;
    RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
    std::string skinName = wide ? "QVGA" : "Default";
    look->Load(Wide(assets + "/Skin/" + skinName), Wide(skinName + ".Skin.xml"));

    RefPtr<SmileySet> pictures = MakeRef<SmileySet>(u"Default.Smilies.xml", Wide(assets));
    RefPtr<Smiley> chosen = PickWithSteps(pictures, look, {
        [] {
            Open<skin::SmileWindow>(u"SmileWindow");
            PressKey(VK_RIGHT_KEY);
            PressKey(VK_RIGHT_KEY);
        },
        [] {
            std::vector<ShownText> texts;
            Capture(&texts);
            EXPECT_TRUE(Shows(texts, u"Sad"));
            Shoot("smile-picker");
            PressKey(VK_ACTION);
        },
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Code(), u":(");

    RefPtr<SmileySet> codes = MakeRef<SmileySet>(u"Text.Smilies.xml", Wide(assets));
    chosen = PickWithSteps(codes, look, {
        [] {
            Open<skin::TextSmileWindow>(u"TextSmileWindow");
            PressKey(VK_DOWN_KEY);
            PressKey(VK_DOWN_KEY);
        },
        [] {
            Shoot("text-smile-picker");
            PressKey(VK_ACTION);
        },
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Code(), u":(");
}

}  // namespace
