// The bitmap file reader against honest files of each depth and against
// headers that lie about what the file holds.
#include <gtest/gtest.h>

#include <functional>

#include "skin/BitmapFile.h"
#include "tests/skin/SkinTestFiles.h"

namespace {

using skintest::Put32;

std::vector<BYTE> Honest() { return skintest::Bitmap24(5, 3, [](int x, int y) { return x * 16 + y; }); }

// A 16-bit 5-6-5 bit-field bitmap of 3x2 pixels.
std::vector<BYTE> BitFields16()
{
    std::vector<BYTE> bytes(66 + 8 * 2, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 10, 66);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, 3);
    Put32(bytes, 22, 2);
    bytes[26] = 1;
    bytes[28] = 16;
    Put32(bytes, 30, 3);  // BI_BITFIELDS
    Put32(bytes, 54, 0xF800);
    Put32(bytes, 58, 0x07E0);
    Put32(bytes, 62, 0x001F);
    return bytes;
}

TEST(BitmapFile, HonestFilesOfEachDepth)
{
    auto view = skin::ParseBitmapFile(Honest());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->width, 5);
    EXPECT_EQ(view->height, 3);
    EXPECT_EQ(view->pixels.size(), 16u * 3);  // 15 bytes padded to 16 per line

    std::vector<BYTE> sixteen = BitFields16();
    view = skin::ParseBitmapFile(sixteen);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->pixels.size(), 16u);
    EXPECT_EQ(view->description[40], 0x00);  // the red mask follows the header
    EXPECT_EQ(view->description[41], 0xF8);
}

TEST(BitmapFile, LyingHeadersAreRefused)
{
    struct Case {
        const char* name;
        std::function<void(std::vector<BYTE>&)> spoil;
    };
    const Case cases[] = {
        {"pixel offset past the end", [](auto& b) { Put32(b, 10, static_cast<std::uint32_t>(b.size()) + 1); }},
        {"pixel offset inside the headers", [](auto& b) { Put32(b, 10, 20); }},
        {"more rows than the file holds", [](auto& b) { Put32(b, 22, 4); }},
        {"wider than the file holds", [](auto& b) { Put32(b, 18, 6); }},
        {"zero width", [](auto& b) { Put32(b, 18, 0); }},
        {"negative width", [](auto& b) { Put32(b, 18, 0xFFFFFFFB); }},
        {"zero height", [](auto& b) { Put32(b, 22, 0); }},
        {"huge height", [](auto& b) { Put32(b, 22, 0x7FFFFFFF); }},
        {"smallest height", [](auto& b) { Put32(b, 22, 0x80000000); }},
        {"beyond the side limit", [](auto& b) { Put32(b, 18, skin::kMaxBitmapSide + 1); }},
        {"huge header size", [](auto& b) { Put32(b, 14, 0xFFFFFFF0); }},
        {"8 bits per pixel", [](auto& b) { b[28] = 8; }},
        {"run-length compressed", [](auto& b) { Put32(b, 30, 1); }},
        {"cut in the header", [](auto& b) { b.resize(40); }},
        {"cut in the pixels", [](auto& b) { b.resize(b.size() - 1); }},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = Honest();
        c.spoil(bytes);
        EXPECT_FALSE(skin::ParseBitmapFile(bytes)) << c.name;
    }
}

TEST(BitmapFile, TopDownAndOverstatedTotalsAreRead)
{
    std::vector<BYTE> bytes = Honest();
    Put32(bytes, 22, static_cast<std::uint32_t>(-3));  // top-down rows
    Put32(bytes, 2, 0xFFFFFFFF);                       // the stated total is not trusted
    auto view = skin::ParseBitmapFile(bytes);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->height, 3);
}

}  // namespace
