// SkinImage loading and drawing in a memory context, and the icon set file.
#include <gtest/gtest.h>

#include <filesystem>

#include "oscar/OnlineStatus.h"
#include "skin/BitmapFile.h"
#include "skin/IconSet.h"
#include "skin/SkinImage.h"
#include "tests/common/TestSupport.h"
#include "tests/skin/SkinTestFiles.h"

namespace {

using skintest::Wide;

constexpr std::uint32_t kMagenta = 0xFF00FF;
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);

class SkinImageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ok());
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, 32, 32);
        previous = SelectObject(dc, bitmap);
        HBRUSH grey = CreateSolidBrush(kGrey);
        RECT all{0, 0, 32, 32};
        FillRect(dc, &all, grey);
        DeleteObject(grey);
    }
    void TearDown() override
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    testsupport::TempFolder folder{"corvane-skin"};
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

TEST_F(SkinImageTest, MagentaTopLeftPixelMakesEveryMagentaPixelTransparent)
{
    // A blue 4x4 picture with a magenta frame and a magenta centre pixel.
    skintest::WriteBytes(folder / "framed.bmp", skintest::Bitmap24(6, 6, [](int x, int y) {
                             bool frame = x == 0 || y == 0 || x == 5 || y == 5;
                             return frame || (x == 3 && y == 3) ? kMagenta : 0x0000FFu;
                         }));
    RefPtr<skin::SkinImage> image = MakeRef<skin::SkinImage>(Wide(folder.Path()), u"framed.bmp");
    ASSERT_TRUE(image->Draw(dc, 10, 10));
    auto drawable = image->Get(dc);
    ASSERT_TRUE(drawable);
    EXPECT_EQ(drawable->keyColour, RGB(255, 0, 255));
    EXPECT_EQ(drawable->width, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool magenta = x == 0 || y == 0 || x == 5 || y == 5 || (x == 3 && y == 3);
            EXPECT_EQ(GetPixel(dc, 10 + x, 10 + y), magenta ? kGrey : RGB(0, 0, 255)) << x << "," << y;
        }
    }
}

TEST_F(SkinImageTest, BrokenOrMissingFileIsReadOnceAndNeverDrawn)
{
    std::vector<BYTE> lying = skintest::Bitmap24(4, 4, [](int, int) { return 0u; });
    skintest::Put32(lying, 22, 400);  // claims far more rows than it holds
    skintest::WriteBytes(folder / "lying.bmp", lying);
    skintest::WriteFile(folder / "empty.bmp", "");
    // An honest picture at the start of a file beyond the size limit.
    skintest::WriteBytes(folder / "huge.bmp", skintest::Bitmap24(4, 4, [](int, int) { return 0u; }));
    std::filesystem::resize_file(folder / "huge.bmp", skin::kMaxBitmapFileBytes + 1);
    const char16_t* names[] = {u"missing.bmp", u"lying.bmp", u"empty.bmp", u"huge.bmp", u"../framed.bmp", u"/etc/passwd",
                               u"sub\\..\\..\\x.bmp"};
    for (const char16_t* name : names) {
        RefPtr<skin::SkinImage> image = MakeRef<skin::SkinImage>(Wide(folder.Path()), name);
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(image->Draw(dc, 0, 0));
        EXPECT_TRUE(image->Failed());
        EXPECT_LE(image->FileReads(), 1) << platform::WideToUtf8(name);
    }
    EXPECT_EQ(GetPixel(dc, 0, 0), kGrey);
}

TEST_F(SkinImageTest, IconFileSlotsAndPresence)
{
    skintest::WriteFile(folder / "Set.Icons.xml",
                        "<icons><desc>Test set</desc><online></online><away>away.bmp</away>"
                        "<dnd><![CDATA[dnd.bmp]]></dnd><na>na.bmp<!-- x --></na><offline>off.bmp</offline></icons>");
    RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
    ASSERT_TRUE(icons->Load(Wide(folder.Path()), u"Set.Icons.xml"));
    EXPECT_EQ(icons->Description(), u"Test set");
    EXPECT_FALSE(icons->Icon(skin::IconSlot::Online)) << "an empty element leaves the slot empty";
    EXPECT_FALSE(icons->Icon(skin::IconSlot::Dnd)) << "CDATA is not a value";
    EXPECT_FALSE(icons->Icon(skin::IconSlot::NotAvailable)) << "a comment beside the text hides it";
    ASSERT_TRUE(icons->Icon(skin::IconSlot::Away));
    EXPECT_EQ(icons->Icon(skin::IconSlot::Away)->FileName(), u"away.bmp");

    struct Case {
        std::int32_t presence;
        skin::IconSlot slot;
    };
    const Case table[] = {{OnlineStatus::Offline, skin::IconSlot::Offline},
                          {OnlineStatus::Away, skin::IconSlot::Away},
                          {OnlineStatus::DoNotDisturb, skin::IconSlot::Dnd},
                          {OnlineStatus::NotAvailable, skin::IconSlot::NotAvailable},
                          {OnlineStatus::Occupied, skin::IconSlot::Occupied},
                          {OnlineStatus::FreeForChat, skin::IconSlot::FreeForChat},
                          {OnlineStatus::Invisible, skin::IconSlot::Invisible},
                          {OnlineStatus::Online, skin::IconSlot::Online},
                          {0x0013, skin::IconSlot::Online}};
    for (const Case& c : table)
        EXPECT_EQ(skin::SlotForPresence(c.presence), c.slot) << c.presence;
}

TEST_F(SkinImageTest, IconFilesThatDoNotLoadLeaveAnEmptySet)
{
    skintest::WriteFile(folder / "Broken.Icons.xml", "<icons><online>x.bmp</online>");
    skintest::WriteFile(folder / "Other.Icons.xml", "<skin><online>x.bmp</online></skin>");
    skintest::WriteFile(folder / "Desc.Icons.xml", "<icons><desc>Only words</desc></icons>");
    for (const char16_t* name : {u"Broken.Icons.xml", u"Other.Icons.xml", u"Missing.Icons.xml", u"Desc.Icons.xml"}) {
        RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
        EXPECT_TRUE(icons->Load(Wide(folder.Path()), name));
        for (std::size_t i = 0; i < skin::kIconSlotCount; ++i)
            EXPECT_FALSE(icons->Icon(static_cast<skin::IconSlot>(i)));
    }
    RefPtr<skin::IconSet> unjoined = MakeRef<skin::IconSet>();
    EXPECT_FALSE(unjoined->Load(u"", u"Desc.Icons.xml"));
    EXPECT_EQ(unjoined->Description(), u"Default Icons");
}

}  // namespace
