// The look screen on a program folder holding the program's two skins and
// its icon set: which files it lists and selects, what "OK" writes into the
// override file and the settings, the skin the program draws with after it,
// and the bad cases (vanished files, sizes out of range, a folder that
// cannot be written).
#include <filesystem>

#include "platform/display/Display.h"
#include "platform/win/Controls.h"
#include "skin/Look.h"
#include "skin/SetFiles.h"
#include "tests/ui/settings/SettingsFixture.h"
#include "ui/Screens.h"
#include "ui/SkinConfigDialog.h"

namespace {

using namespace settingstest;
using platform::display::PressKey;
using platform::display::VK_SOFT1;

namespace fs = std::filesystem;

constexpr const WCHAR* kClass = u"SkinConfigDialog";

class SkinConfigDialogTest : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        for (const char* set : {"Skin/Default", "Skin/QVGA", "Icons/Default"}) {
            fs::create_directories(m_folder / set);
            fs::copy(testsupport::SourcePath(std::string("assets/") + set), m_folder / set,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        WriteConfig("SKIN_SOURCE=Default.Skin.xml\r\n");
        skin::LoadLook(*m_core);
    }
    int Run(std::vector<Step> steps)
    {
        m_driver.Start(std::move(steps));
        return screens::OpenSkinDialog(*m_core, nullptr);
    }
    std::string OverrideOf(const std::string& set) const
    {
        return ReadFile(m_folder / ("Skin/" + set + "/Override." + set + ".Skin.xml"));
    }
    static int Selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0)); }
    static WideString ListText(HWND dialog, int id)
    {
        WCHAR buffer[260] = {};
        int index = Selected(dialog, id);
        if (index >= 0)
            SendDlgItemMessageW(dialog, id, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    std::vector<WideString> Sizes(HWND dialog)
    {
        std::vector<WideString> sizes;
        for (int id : SkinConfigDialog::kSizeIds)
            sizes.push_back(ItemText(dialog, id));
        return sizes;
    }
    // Selects a skin by name in the skin list, as Left/Right on it would.
    static void ChooseSkin(HWND dialog, std::u16string_view name)
    {
        HWND list = GetDlgItem(dialog, SkinConfigDialog::kSkinListId);
        SetFocus(list);
        for (int i = 0; i < 4 && ListText(dialog, SkinConfigDialog::kSkinListId) != name; ++i)
            PressKeyNow(platform::display::VK_RIGHT_KEY);
    }
    // A key handled at once (the next check depends on it).
    static void PressKeyNow(UINT key)
    {
        PressKey(key);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
};

TEST_F(SkinConfigDialogTest, OnlyRealSetFilesAreListed)
{
    std::ofstream(m_folder / "Skin/Default/Notes.txt") << "x";
    std::ofstream(m_folder / "Skin/Loose.Skin.xml") << "<skin/>";  // not in a set's folder
    fs::create_directories(m_folder / "Skin/QVGA/Folder.Skin.xml");
    std::ofstream(m_folder / "Skin/QVGA/override.QVGA.Skin.xml") << "<skin/>";
    std::ofstream(m_folder / "Skin/Default/Override.Default.Skin.xml") << "<skin/>";
    std::vector<WideString> names;
    for (const skin::SetFile& file : skin::ListSetFiles(app::AppFolder(), skin::kSkinSets))
        names.push_back(file.subfolder + u"/" + file.fileName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<WideString>{u"Default/Default.Skin.xml", u"QVGA/QVGA.Skin.xml"}));
    auto icons = skin::ListSetFiles(app::AppFolder(), skin::kIconSets);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].fileName, u"Default.Icons.xml");
    EXPECT_TRUE(skin::ListSetFiles(app::AppFolder(), skin::kSmileySets).empty()) << "no smiley folder";
}

TEST_F(SkinConfigDialogTest, OkWithoutChangesWritesAllSixSizesAndNoSetting)
{
    std::string before = ReadConfig();
    std::vector<WideString> sizes;
    int result = Run({[&] {
        HWND d = Screen(kClass);
        sizes = Sizes(d);
        EXPECT_EQ(ListText(d, SkinConfigDialog::kSkinListId), u"Default.Skin.xml");
        EXPECT_EQ(ListText(d, SkinConfigDialog::kIconsListId), u"Default.Icons.xml");
        EXPECT_EQ(Selected(d, SkinConfigDialog::kSmiliesListId), -1);
        Screenshot("skin");
        PressKey(VK_SOFT1);
    }});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sizes, (std::vector<WideString>{u"18", u"13", u"11", u"19", u"13", u"3"}));
    std::string overrides = OverrideOf("Default");
    for (const char* element : {"<contactheight>18<", "<fontsize>13<", "<fontsize>11<", "<height>19<",
                                "<msgareaheight>3<"})
        EXPECT_NE(overrides.find(element), std::string::npos) << element;
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_EQ(EventsOf(EventType::SettingsChanged), 0);
}

TEST_F(SkinConfigDialogTest, SwitchingToTheQvgaSkinMakesItCurrentAtOnce)
{
    RefPtr<skin::Skin> old = skin::CurrentSkin(*m_core);
    std::vector<WideString> sizes;
    int result = Run({[&] {
        HWND d = Screen(kClass);
        ChooseSkin(d, u"QVGA.Skin.xml");
        sizes = Sizes(d);
        PressKey(VK_SOFT1);
    }});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sizes, (std::vector<WideString>{u"22", u"16", u"13", u"25", u"16", u"3"})) << "refilled from QVGA";
    EXPECT_EQ(Stored()->skinSource, u"QVGA.Skin.xml");
    EXPECT_EQ(Stored()->iconsSource, u"Default.Icons.xml");
    EXPECT_EQ(EventsOf(EventType::SettingsChanged), 1);
    RefPtr<skin::Skin> current = skin::CurrentSkin(*m_core);
    ASSERT_TRUE(current);
    EXPECT_NE(current.Get(), old.Get());
    EXPECT_EQ(current->fileName, u"QVGA.Skin.xml");
    EXPECT_EQ(current->ContactHeight(), 22);
}

struct SizeCase {
    const char* name;
    std::vector<WideString> typed;  // the six fields
    int contactHeight;              // effective, in the current skin
    int listFont;
    int toolbarHeight;
    bool toolbarShown;
    std::vector<const char*> inFile;
    std::vector<const char*> notInFile;
};

TEST_F(SkinConfigDialogTest, SizesAreTakenWithinTheirLimits)
{
    const SizeCase cases[] = {
        {"0 is no override for the row and hides the tool bar",
         {u"0", u"0", u"11", u"0", u"13", u"0"}, 18, 13, 0, false, {"<height>0<"}, {"contactheight", "msgareaheight"}},
        {"negative text counts as 0", {u"-5", u"13", u"11", u"19", u"13", u"3"}, 18, 13, 19, true, {}, {"contactheight"}},
        {"10,000 is cut to the limit", {u"10000", u"10000", u"11", u"10000", u"13", u"10000"}, 100, 72, 100, true,
         {"<contactheight>100<", "<fontsize>72<", "<height>100<", "<msgareaheight>20<"}, {}},
        {"empty fields keep the skin's values", {u"", u"", u"", u"", u"", u""}, 18, 13, 19, true,
         {"<contactheight>18<", "<height>19<"}, {}},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_folder / "Skin/Default/Override.Default.Skin.xml");
        int result = Run({[&] {
            HWND d = Screen(kClass);
            for (std::size_t i = 0; i < c.typed.size(); ++i)
                SetDlgItemTextW(d, SkinConfigDialog::kSizeIds[i], c.typed[i].c_str());
            PressKey(VK_SOFT1);
        }});
        EXPECT_EQ(result, 1);
        RefPtr<skin::Skin> current = skin::CurrentSkin(*m_core);
        EXPECT_EQ(current->ContactHeight(), c.contactHeight);
        EXPECT_EQ(current->listFont.Size(), c.listFont);
        EXPECT_EQ(current->ToolbarHeight(), c.toolbarHeight);
        EXPECT_EQ(current->ToolbarPosition() != 0, c.toolbarShown);
        std::string overrides = OverrideOf("Default");
        for (const char* part : c.inFile)
            EXPECT_NE(overrides.find(part), std::string::npos) << part;
        for (const char* part : c.notInFile)
            EXPECT_EQ(overrides.find(part), std::string::npos) << part;
    }
}

TEST_F(SkinConfigDialogTest, AVanishedFileIsNeitherSelectedNorStored)
{
    // The setting names a file that is gone: nothing is selected, and OK
    // keeps the setting.
    WriteConfig("SKIN_SOURCE=Gone.Skin.xml\r\nICONS_SOURCE=Gone.Icons.xml\r\n");
    int selected = 0;
    std::vector<WideString> sizes;
    int result = Run({[&] {
        HWND d = Screen(kClass);
        selected = Selected(d, SkinConfigDialog::kSkinListId) + Selected(d, SkinConfigDialog::kIconsListId);
        sizes = Sizes(d);
        PressKey(VK_SOFT1);
    }});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(selected, -2);
    EXPECT_EQ(sizes[0], u"17") << "the built-in look fills the fields";
    EXPECT_EQ(Stored()->skinSource, u"Gone.Skin.xml");
    EXPECT_EQ(Stored()->iconsSource, u"Gone.Icons.xml");

    // A file that goes between listing and choosing is not stored either,
    // and the program keeps drawing with the skin it has.
    WriteConfig("SKIN_SOURCE=Default.Skin.xml\r\n");
    RefPtr<skin::Skin> old = skin::CurrentSkin(*m_core);
    result = Run({[&] {
        HWND d = Screen(kClass);
        fs::remove(m_folder / "Skin/QVGA/QVGA.Skin.xml");
        ChooseSkin(d, u"QVGA.Skin.xml");
        PressKey(VK_SOFT1);
    }});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Stored()->skinSource, u"Default.Skin.xml");
    EXPECT_EQ(skin::CurrentSkin(*m_core).Get(), old.Get());
    EXPECT_FALSE(fs::exists(m_folder / "Skin/QVGA/Override.QVGA.Skin.xml"));
}

TEST_F(SkinConfigDialogTest, AFolderThatCannotBeWrittenChangesNothing)
{
    std::ofstream(m_folder / "Skin/Default/Override.Default.Skin.xml") << "<skin><contactlist><contactheight>30</contactheight></contactlist></skin>";
    BlockWritesTo(m_folder / "Skin/Default/Override.Default.Skin.xml");
    RefPtr<skin::Skin> old = skin::CurrentSkin(*m_core);
    int result = Run({[&] {
                          SetDlgItemTextW(Screen(kClass), SkinConfigDialog::kSizeIds[0], u"40");
                          PressKey(VK_SOFT1);
                      },
                      [] { PressKey(VK_SOFT1); }});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(skin::CurrentSkin(*m_core).Get(), old.Get());
    EXPECT_NE(OverrideOf("Default").find("<contactheight>30<"), std::string::npos);
}

}  // namespace
