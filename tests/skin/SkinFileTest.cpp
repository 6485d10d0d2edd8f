// Reading skin files and override files, the bar order and layout code, and
// writing the override file back.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file/File.h"
#include "skin/ResourceFolder.h"
#include "skin/Skin.h"
#include "tests/common/TestSupport.h"
#include "tests/skin/SkinTestFiles.h"

namespace {

using skintest::Wide;

class SkinFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.Ok()); }

    RefPtr<skin::Skin> Load(const std::string& skinText, const std::string& overrideText = "")
    {
        skintest::WriteFile(folder / "T.Skin.xml", skinText);
        if (!overrideText.empty())
            skintest::WriteFile(folder / "Override.T.Skin.xml", overrideText);
        RefPtr<skin::Skin> skin = MakeRef<skin::Skin>();
        EXPECT_TRUE(skin->Load(Wide(folder.Path()), u"T.Skin.xml"));
        return skin;
    }

    testsupport::TempFolder folder{"corvane-skin"};
};

TEST_F(SkinFileTest, LayoutCodeFromSectionOrderAndHeights)
{
    struct Case {
        const char* name;
        const char* body;
        const char* override;
        int code;
    };
    const Case cases[] = {
        {"list and status", "<contactlist/><status/>", "", 2},
        {"status first", "<status/><contactlist/>", "", 6},
        {"status, list, tool bar", "<status/><contactlist/><toolbar><height>20</height></toolbar>", "", 7},
        {"same with no tool bar height", "<status/><contactlist/><toolbar><height>0</height></toolbar>", "", 6},
        {"tool bar and list only", "<toolbar><height>18</height></toolbar><contactlist/>", "", 9},
        {"list, status, tool bar", "<contactlist/><status/><toolbar><height>18</height></toolbar>", "", 4},
        {"tool bar, status, list", "<toolbar><height>18</height></toolbar><status/><contactlist/>", "", 11},
        {"status of height 0", "<status><height>0</height></status><contactlist/>", "", 1},
        {"names in other case order the bars",
         "<Status/><CONTACTLIST/><toolbar><height>9</height></toolbar>", "", 7},
        {"override hides the tool bar", "<contactlist/><status/><toolbar><height>18</height></toolbar>",
         "<skin><toolbar><height>0</height></toolbar></skin>", 2},
        {"override shows the tool bar", "<toolbar/><contactlist/><status/>",
         "<skin><toolbar><height>15</height></toolbar></skin>", 10},
        {"no sections", "", "", 2},
    };
    for (const Case& c : cases) {
        std::remove((folder / "Override.T.Skin.xml").c_str());
        RefPtr<skin::Skin> skin = Load(std::string("<skin>") + c.body + "</skin>", c.override);
        EXPECT_EQ(skin->Layout(), c.code) << c.name;
    }
    RefPtr<skin::Skin> toolbarFirst = Load("<skin><toolbar><height>18</height></toolbar><contactlist/></skin>");
    EXPECT_EQ(toolbarFirst->ToolbarPosition(), 1);
    EXPECT_EQ(toolbarFirst->ContactListPosition(), 2);
    EXPECT_EQ(toolbarFirst->StatusPosition(), 2) << "a missing status section keeps its built-in position";
}

TEST_F(SkinFileTest, ValuesNeedExactlyOnePlainTextNode)
{
    struct Case {
        const char* name;
        const char* element;
        COLORREF expected;
    };
    const COLORREF builtIn = RGB(0xEB, 0xF5, 0xFF);
    const Case cases[] = {
        {"text", "<bgcolor>#102030</bgcolor>", RGB(0x10, 0x20, 0x30)},
        {"empty", "<bgcolor></bgcolor>", builtIn},
        {"CDATA", "<bgcolor><![CDATA[#102030]]></bgcolor>", builtIn},
        {"comment only", "<bgcolor><!-- #102030 --></bgcolor>", builtIn},
        {"comment beside text", "<bgcolor>#102030<!-- c --></bgcolor>", builtIn},
        {"nested element", "<bgcolor><b>#102030</b></bgcolor>", builtIn},
        {"upper-case name", "<BGCOLOR>#102030</BGCOLOR>", builtIn},
        {"attribute", "<bgcolor value=\"#102030\"/>", builtIn},
        {"unreadable", "<bgcolor>#10203</bgcolor>", builtIn},
    };
    for (const Case& c : cases) {
        RefPtr<skin::Skin> skin = Load(std::string("<skin>") + c.element + "</skin>");
        EXPECT_EQ(skin->backgroundColour, c.expected) << c.name;
    }
}

TEST_F(SkinFileTest, SectionValuesFontsAndTransparentColours)
{
    RefPtr<skin::Skin> skin = Load(R"(<skin><desc>Mine</desc>
        <contactlist><bgcolor>TRANSPARENT</bgcolor><selbgcolor>transparent</selbgcolor>
          <contactheight>20abc</contactheight><fontsize>11</fontsize><fontbold>1</fontbold>
          <msgimage>m.bmp</msgimage><chatimage></chatimage></contactlist>
        <status><fontsize>x</fontsize><fontbold>700</fontbold><textoffset>-5</textoffset></status>
        <chat><fontname>Serif Face Name Longer Than Thirty One</fontname><fontbold>true</fontbold></chat>
        <toolbarimages><size>23</size><soundon>s.bmp</soundon></toolbarimages></skin>)");
    EXPECT_EQ(skin->description, u"Mine");
    EXPECT_EQ(skin->ListBackgroundBrush(), nullptr) << "TRANSPARENT gives no brush";
    EXPECT_NE(skin->BackgroundBrush(), nullptr);
    EXPECT_EQ(skin->selectedRowColour, RGB(0xCD, 0xEB, 0xFF)) << "lower-case transparent is ignored";
    EXPECT_EQ(skin->ContactHeight(), 20);
    EXPECT_EQ(skin->listFont.Size(), 11);
    EXPECT_EQ(skin->listFont.Weight(), FW_BOLD);
    EXPECT_EQ(skin->listFont.Face(), u"") << "a section without fontname leaves the face to the platform";
    EXPECT_EQ(skin->statusFont.Face(), u"");
    EXPECT_EQ(skin->statusFont.Size(), 12);
    EXPECT_EQ(skin->statusFont.Weight(), FW_NORMAL);
    EXPECT_EQ(skin->statusTextOffset, -5);
    EXPECT_EQ(skin->chatFont.Face().size(), skin::SkinFont::kMaxFaceLength);
    EXPECT_EQ(skin->chatFont.Weight(), FW_NORMAL);
    EXPECT_EQ(skin->userInfoFont.Face(), u"Nina") << "an absent section keeps its font";
    EXPECT_TRUE(skin->Marker(skin::RowMarker::Message));
    EXPECT_FALSE(skin->Marker(skin::RowMarker::Chat));
    EXPECT_EQ(skin->toolbarButtonWidth, 23);
    ASSERT_TRUE(skin->ToolbarImage(skin::ToolbarSlot::SoundOn));
    EXPECT_EQ(skin->ToolbarImage(skin::ToolbarSlot::SoundOn)->Folder(), Wide(folder.Path()));

    LOGFONTW font;
    ASSERT_EQ(GetObjectW(skin->listFont.Handle(), sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 11);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(SkinFileTest, BrokenSkinFileStillTakesItsOverrides)
{
    const std::string huge = "<skin><bgcolor>#000000</bgcolor>" + std::string(skin::kMaxSetFileBytes, ' ') + "</skin>";
    for (const std::string& broken : {std::string("<skin><bgcolor>#000000</bgcolor>"),
                                      std::string("<notskin><bgcolor>#000000</bgcolor></notskin>"),
                                      std::string("\xEF\xBB\xBF<skin>\x01</skin>"), huge}) {
        RefPtr<skin::Skin> skin = Load(broken, "<skin><contactlist><contactheight>25</contactheight>"
                                               "<fontsize>19</fontsize></contactlist></skin>");
        EXPECT_EQ(skin->description, u"Default Skin");
        EXPECT_EQ(skin->backgroundColour, RGB(0xEB, 0xF5, 0xFF));
        EXPECT_EQ(skin->Layout(), 2);
        EXPECT_EQ(skin->ContactHeight(), 25);
        EXPECT_EQ(skin->listFont.Size(), 19);
    }
}

TEST_F(SkinFileTest, NoSkinFileKeepsTheBuiltInLook)
{
    RefPtr<skin::Skin> skin = MakeRef<skin::Skin>();
    EXPECT_FALSE(skin->Load(u"", u"Default.Skin.xml"));
    EXPECT_EQ(skin->description, u"Default Skin");
    EXPECT_EQ(skin->Layout(), 2);
    EXPECT_EQ(skin->ContactHeight(), 17);
    EXPECT_EQ(skin->ToolbarHeight(), 0);
    EXPECT_NE(skin->ListBackgroundBrush(), nullptr);
    EXPECT_NE(skin->SelectedRowPen(), nullptr);
    EXPECT_FALSE(skin->SaveOverrides());
}

TEST_F(SkinFileTest, SavedOverridesReadBack)
{
    RefPtr<skin::Skin> skin = Load("<skin><contactlist/><toolbar><height>18</height></toolbar></skin>");
    skin->SetContactHeightOverride(21);
    skin->SetToolbarHeightOverride(0);
    skin->SetMessageAreaHeightOverride(4);
    HFONT before = skin->chatFont.Handle();
    skin->chatFont.SetOverrideSize(17);
    EXPECT_NE(skin->chatFont.Handle(), before) << "a new size makes a new font";
    skin->statusFont.SetOverrideWeight(FW_BOLD);
    ASSERT_TRUE(skin->SaveOverrides());

    RefPtr<skin::Skin> again = MakeRef<skin::Skin>();
    ASSERT_TRUE(again->Load(Wide(folder.Path()), u"T.Skin.xml"));
    EXPECT_EQ(again->ContactHeight(), 21);
    EXPECT_EQ(again->ToolbarHeight(), 0);
    EXPECT_EQ(again->ToolbarPosition(), 0) << "an override of 0 hides the tool bar";
    EXPECT_EQ(again->MessageAreaHeight(), 4);
    EXPECT_EQ(again->chatFont.Size(), 17);
    EXPECT_EQ(again->statusFont.Weight(), FW_BOLD);
    EXPECT_EQ(again->listFont.OverrideSize(), 0);

    // All five sections are always written, in order, even when empty.
    std::remove((folder / "Override.T.Skin.xml").c_str());
    RefPtr<skin::Skin> plain = Load("<skin/>");
    ASSERT_TRUE(plain->SaveOverrides());
    std::string saved;
    ASSERT_TRUE(platform::ReadWholeFile(folder / "Override.T.Skin.xml", platform::FileShare::Read, saved, 4096));
    std::size_t at = 0;
    for (const char* section : {"<contactlist", "<status", "<toolbar", "<chat", "<userinfo"}) {
        std::size_t found = saved.find(section, at);
        ASSERT_NE(found, std::string::npos) << section;
        at = found;
    }
    EXPECT_EQ(saved.find("<height>"), std::string::npos);
}

}  // namespace
