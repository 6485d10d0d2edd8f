// The program's own sets as installed, and the look AppCore loads at
// start-up from the program folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "platform/base/WideString.h"
#include "skin/Look.h"
#include "skin/ResourceFolder.h"
#include "tests/common/TestSupport.h"

namespace {

using skintest_wide = WideString;

WideString Assets() { return platform::Utf8ToWide(testsupport::SourcePath("assets")); }

class LookTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ok());
        dc = CreateCompatibleDC(nullptr);
    }
    void TearDown() override { DeleteDC(dc); }

    testsupport::TempFolder folder{"corvane-look"};
    HDC dc = nullptr;
};

TEST_F(LookTest, ShippedSkinsHaveEveryImageAtTheirToolbarSize)
{
    struct Case {
        const char16_t* file;
        int imageSize;
    };
    for (const Case c : {Case{u"Default.Skin.xml", 16}, Case{u"QVGA.Skin.xml", 22}}) {
        WideString found = skin::FindSetFolder(Assets(), u"Skin", c.file);
        ASSERT_FALSE(found.empty());
        RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
        ASSERT_TRUE(look->Load(found, c.file));
        EXPECT_NE(look->description, u"Default Skin");
        EXPECT_GE(look->ToolbarHeight(), c.imageSize + 1);
        EXPECT_GT(look->ToolbarPosition(), 0);
        EXPECT_GT(look->StatusPosition(), 0);
        EXPECT_LE(2 + 10 * look->toolbarButtonWidth, c.imageSize == 16 ? 176 : 240);
        for (std::size_t i = 0; i < skin::kToolbarSlotCount; ++i) {
            RefPtr<skin::SkinImage> image = look->ToolbarImage(static_cast<skin::ToolbarSlot>(i));
            ASSERT_TRUE(image) << platform::WideToUtf8(skin::ToolbarSlotName(static_cast<skin::ToolbarSlot>(i)));
            auto drawable = image->Get(dc);
            ASSERT_TRUE(drawable);
            EXPECT_EQ(drawable->width, c.imageSize);
            EXPECT_LE(drawable->width, look->toolbarButtonWidth);
            EXPECT_EQ(drawable->keyColour, RGB(255, 0, 255));
        }
        for (auto marker : {skin::RowMarker::Chat, skin::RowMarker::Message, skin::RowMarker::Typing,
                            skin::RowMarker::Authorisation}) {
            ASSERT_TRUE(look->Marker(marker));
            auto drawable = look->Marker(marker)->Get(dc);
            ASSERT_TRUE(drawable);
            EXPECT_LE(drawable->height, look->ContactHeight());
            EXPECT_LE(drawable->width, 18);
        }
        ASSERT_TRUE(look->backgroundImage);
        EXPECT_TRUE(look->backgroundImage->Get(dc));
    }
}

TEST_F(LookTest, ShippedIconsAreSixteenSquareWithMagentaKey)
{
    RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
    ASSERT_TRUE(icons->Load(skin::FindSetFolder(Assets(), u"Icons", u"Default.Icons.xml"), u"Default.Icons.xml"));
    for (std::size_t i = 0; i < skin::kIconSlotCount; ++i) {
        RefPtr<skin::SkinImage> icon = icons->Icon(static_cast<skin::IconSlot>(i));
        ASSERT_TRUE(icon);
        auto drawable = icon->Get(dc);
        ASSERT_TRUE(drawable);
        EXPECT_EQ(drawable->width, 16);
        EXPECT_EQ(drawable->height, 16);
        EXPECT_EQ(drawable->keyColour, RGB(255, 0, 255));
    }
}

TEST_F(LookTest, StartUpLoadsTheSetsOrKeepsTheBuiltInLook)
{
    std::filesystem::copy(testsupport::SourcePath("assets/Skin"), folder / "Skin",
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy(testsupport::SourcePath("assets/Icons"), folder / "Icons",
                          std::filesystem::copy_options::recursive);
    // A folder listed before the real one that lacks the file is passed over.
    std::filesystem::create_directories(folder / "Skin/Aaa");
    app::SetAppFolder(platform::Utf8ToWide(folder.Path() + "/"));
    RefPtr<AppCore> core = MakeRef<AppCore>(nullptr, AppCoreParts{});
    skin::LoadLook(*core);
    ASSERT_TRUE(skin::CurrentSkin(*core));
    EXPECT_EQ(skin::CurrentSkin(*core)->fileName, u"Default.Skin.xml");  // 176 pixels wide
    EXPECT_NE(skin::CurrentSkin(*core)->description, u"Default Skin");
    ASSERT_TRUE(skin::CurrentIconSet(*core));
    EXPECT_TRUE(skin::CurrentIconSet(*core)->Icon(skin::IconSlot::Online));

    RefPtr<skin::Skin> replacement = MakeRef<skin::Skin>();
    skin::ReplaceSkin(*core, replacement);
    EXPECT_EQ(skin::CurrentSkin(*core), replacement);

    testsupport::TempFolder empty{"corvane-look-empty"};
    app::SetAppFolder(platform::Utf8ToWide(empty.Path() + "/"));
    RefPtr<AppCore> bare = MakeRef<AppCore>(nullptr, AppCoreParts{});
    skin::LoadLook(*bare);
    ASSERT_TRUE(skin::CurrentSkin(*bare));
    EXPECT_EQ(skin::CurrentSkin(*bare)->description, u"Default Skin");
    EXPECT_EQ(skin::CurrentSkin(*bare)->Layout(), 2);
    EXPECT_EQ(skin::CurrentIconSet(*bare)->Description(), u"Default Icons");
    EXPECT_FALSE(skin::CurrentIconSet(*bare)->Icon(skin::IconSlot::Online));
}

}  // namespace
