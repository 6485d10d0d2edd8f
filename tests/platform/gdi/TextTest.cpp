// Text: line layout with fixed advances (exact), and fonts, extents and
// anti-aliased drawing with the real fonts (bounds and colour counts).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextLayout.h"

namespace {

using platform::gdi::LayoutLines;
using platform::gdi::StripPrefix;

struct LayoutCase {
    const char* name;
    std::u16string text;
    int width;
    UINT format;
    std::vector<std::u16string> lines;
};

// Every unit is 1 pixel wide, "..." is 3.
std::vector<std::u16string> Lay(const std::u16string& text, int width, UINT format)
{
    std::vector<int> advances(text.size(), 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xDC00 && text[i] <= 0xDFFF)
            advances[i] = 0;
    }
    std::vector<std::u16string> lines;
    for (const auto& line : LayoutLines(text, advances, width, format, 3))
        lines.push_back(line.text);
    return lines;
}

TEST(TextLayoutTest, LinesBreakAtWordsNewlinesAndWidth)
{
    const LayoutCase cases[] = {
        {"empty text is one empty line", u"", 10, DT_WORDBREAK, {u""}},
        {"fits", u"one two", 10, DT_WORDBREAK, {u"one two"}},
        {"breaks after the last fitting space", u"one two three", 8, DT_WORDBREAK, {u"one two", u"three"}},
        {"spaces at the break are dropped", u"one    two", 5, DT_WORDBREAK, {u"one", u"two"}},
        {"a word longer than the width is cut", u"abcdefgh ij", 3, DT_WORDBREAK, {u"abc", u"def", u"gh", u"ij"}},
        {"surrogate pair is never split", u"ab\U0001F600cd", 2, DT_WORDBREAK, {u"ab", u"\U0001F600c", u"d"}},
        {"newlines and CR-LF break", u"a\r\nb\nc", 10, 0, {u"a", u"b", u"c"}},
        {"empty paragraph kept", u"a\n\nb", 10, DT_WORDBREAK, {u"a", u"", u"b"}},
        {"single line ignores newlines", u"a\nb", 10, DT_SINGLELINE, {u"a\nb"}},
        {"without word break a long line stays", u"one two three", 5, 0, {u"one two three"}},
        {"end ellipsis", u"abcdefghij", 6, DT_SINGLELINE | DT_END_ELLIPSIS, {u"abc..."}},
        {"end ellipsis only when too wide", u"abcdef", 6, DT_SINGLELINE | DT_END_ELLIPSIS, {u"abcdef"}},
        {"ellipsis wider than the rectangle", u"abcdef", 2, DT_SINGLELINE | DT_END_ELLIPSIS, {u"..."}},
        {"zero width still advances", u"ab", 0, DT_WORDBREAK, {u"a", u"b"}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Lay(c.text, c.width, c.format), c.lines);
    }
}

TEST(TextLayoutTest, PrefixUnderlinesOneCharacter)
{
    struct Case {
        std::u16string in, out;
        int underline;
    } cases[] = {{u"&File", u"File", 0}, {u"Save &as", u"Save as", 5}, {u"R&&D", u"R&D", -1}, {u"end&", u"end&", -1}};
    for (const Case& c : cases) {
        int underline = -2;
        EXPECT_EQ(StripPrefix(c.in, &underline), c.out);
        EXPECT_EQ(underline, c.underline);
    }
}

// --- Fonts and drawing with the real fonts ---------------------------------

HFONT MakeFont(const std::u16string& face, LONG height, LONG weight = FW_NORMAL)
{
    LOGFONTW font;
    font.lfHeight = height;
    font.lfWeight = weight;
    face.copy(font.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    return CreateFontIndirectW(&font);
}

class TextTest : public testing::Test {
protected:
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 60;

    void SetUp() override
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        SelectObject(dc, bitmap);
        font = MakeFont(u"Nina", 14);
        SelectObject(dc, font);
        Clear();
    }
    void TearDown() override
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
        DeleteObject(font);
    }
    void Clear()
    {
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    // Bounding box of the pixels that are not white, and the distinct colours.
    RECT Ink(std::set<COLORREF>* colours = nullptr)
    {
        RECT box{kWidth, kHeight, 0, 0};
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                if (c == RGB(255, 255, 255))
                    continue;
                if (colours != nullptr)
                    colours->insert(c);
                box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                           std::max<LONG>(box.bottom, y + 1)};
            }
        }
        return box;
    }
    SIZE Extent(const std::u16string& text)
    {
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size));
        return size;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
};

TEST_F(TextTest, FacesFallBackAndHeightsAreCellsOrCharacters)
{
    TEXTMETRICW metrics;
    ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 14);  // positive height: the whole cell
    EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, 14);
    SIZE nina = Extent(u"Hello");
    for (const std::u16string face : {u"DejaVu Sans", u"No Such Face", u""}) {
        HFONT other = MakeFont(face, 14);
        HGDIOBJ old = SelectObject(dc, other);
        EXPECT_EQ(Extent(u"Hello").cx, nina.cx);
        SelectObject(dc, old);
        DeleteObject(other);
    }
    HFONT bold = MakeFont(u"Nina", 14, FW_BOLD);
    HFONT character = MakeFont(u"Nina", -14);
    SelectObject(dc, bold);
    EXPECT_GT(Extent(u"Hello").cx, nina.cx);
    SelectObject(dc, character);
    ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
    EXPECT_GT(metrics.tmHeight, 14);  // negative height: the characters, leading on top
    SelectObject(dc, font);
    DeleteObject(bold);
    DeleteObject(character);
}

TEST_F(TextTest, ExtentsAddUpAndCoverEveryScript)
{
    EXPECT_EQ(Extent(u"").cx, 0);
    EXPECT_LT(Extent(u"i").cx, Extent(u"W").cx);
    EXPECT_EQ(Extent(u"ab").cx, Extent(u"a").cx + Extent(u"b").cx);
    // Cyrillic and Greek come from the font; a private-use character gets
    // the box, which is the same for every missing character.
    SIZE box = Extent(u"\uE000");
    EXPECT_GT(box.cx, 0);
    EXPECT_EQ(Extent(u"\uE001").cx, box.cx);
    for (const std::u16string text : {u"Ж", u"Ω", u"é"})
        EXPECT_NE(Extent(text).cx, 0);
    EXPECT_NE(Extent(u"Ж").cx, box.cx);
    // An unpaired surrogate is one replacement character, not a crash.
    EXPECT_GT(Extent(std::u16string(1, u'\xD800')).cx, 0);
}

TEST_F(TextTest, DrawnTextIsAntiAliasedInsideItsCell)
{
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    std::u16string text = u"Wg Жω\uE000";
    ASSERT_TRUE(ExtTextOutW(dc, 5, 10, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr));
    SIZE size = Extent(text);
    std::set<COLORREF> colours;
    RECT ink = Ink(&colours);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 5 + size.cx);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 10 + size.cy);
    EXPECT_GT(ink.right - ink.left, size.cx / 2);
    EXPECT_GT(colours.size(), 4u);  // greys between black and white
    EXPECT_TRUE(colours.contains(RGB(0, 0, 0)) || colours.size() > 8);

    // Opaque mode fills the cell with the background colour first.
    Clear();
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    ExtTextOutW(dc, 0, 0, 0, nullptr, u"a", 1, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, Extent(u"a").cx - 1, Extent(u"a").cy - 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, Extent(u"a").cx, 0), RGB(255, 255, 255));
}

TEST_F(TextTest, DrawTextPlacesAndClipsItsLines)
{
    SetBkMode(dc, TRANSPARENT);
    SIZE one = Extent(u"Hi");
    RECT area{10, 10, 110, 50};
    struct Case {
        const char* name;
        UINT format;
        int expectLeft, expectTop;  // where the cell starts; -1: not checked
    } cases[] = {
        {"left top", DT_SINGLELINE, 10, 10},
        {"right", DT_SINGLELINE | DT_RIGHT, 110 - one.cx, 10},
        {"centre", DT_SINGLELINE | DT_CENTER, 10 + (100 - one.cx) / 2, 10},
        {"vertical centre", DT_SINGLELINE | DT_VCENTER, 10, 10 + (40 - one.cy) / 2},
        {"bottom", DT_SINGLELINE | DT_BOTTOM, 10, 50 - one.cy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        RECT r = area;
        EXPECT_GT(DrawTextW(dc, u"Hi", -1, &r, c.format), 0);
        RECT ink = Ink();
        EXPECT_GE(ink.left, c.expectLeft);
        EXPECT_LE(ink.right, c.expectLeft + one.cx);
        EXPECT_GE(ink.top, c.expectTop);
        EXPECT_LE(ink.bottom, c.expectTop + one.cy);
    }
    // Calc-rect measures without drawing: two lines, as wide as the wider.
    Clear();
    RECT calc{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextW(dc, u"Hi\nHiHi", -1, &calc, DT_CALCRECT), 2 * one.cy);
    EXPECT_EQ(calc.right, Extent(u"HiHi").cx);
    EXPECT_EQ(calc.bottom, 2 * one.cy);
    EXPECT_EQ(Ink().right, 0);
    // Clipped to the rectangle unless DT_NOCLIP.
    RECT narrow{0, 0, 6, 40};
    DrawTextW(dc, u"WWW", -1, &narrow, DT_SINGLELINE);
    EXPECT_LE(Ink().right, 6);
    Clear();
    DrawTextW(dc, u"WWW", -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Ink().right, 6);
}

}  // namespace
