// The value syntaxes of skin files: colours, integers and the bold flag,
// with the odd forms a hand-written skin holds.
#include <gtest/gtest.h>

#include <optional>

#include "skin/SkinValues.h"

namespace {

template <typename T>
struct ValueCase {
    const char* name;
    std::u16string_view text;
    std::optional<T> expected;
};

TEST(SkinValues, Colours)
{
    const ValueCase<COLORREF> cases[] = {
        {"with hash", u"#EBF5FF", RGB(0xEB, 0xF5, 0xFF)},
        {"without hash", u"4060a0", RGB(0x40, 0x60, 0xA0)},
        {"followed by a blank", u"#0000FF ", RGB(0, 0, 0xFF)},
        {"followed by words", u"#DC0000 red", RGB(0xDC, 0, 0)},
        {"three digits", u"#FFF", std::nullopt},
        {"seven digits", u"#1234567", std::nullopt},
        {"five digits then a letter", u"#12345G", std::nullopt},
        {"leading blank", u" #123456", std::nullopt},
        {"hash only", u"#", std::nullopt},
        {"empty", u"", std::nullopt},
        {"transparent", u"TRANSPARENT", skin::kTransparentColour},
        {"transparent in lower case", u"transparent", std::nullopt},
        {"transparent with a blank", u"TRANSPARENT ", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(skin::ParseColour(c.text), c.expected) << c.name;
}

TEST(SkinValues, Integers)
{
    const ValueCase<int> cases[] = {
        {"plain", u"17", 17},
        {"followed by letters", u"20px", 20},
        {"letters first", u"px20", std::nullopt},
        {"negative", u"-5", -5},
        {"plus sign", u"+7", 7},
        {"leading blanks and line end", u" \n\t 12", 12},
        {"sign only", u"-", std::nullopt},
        {"blank between sign and digits", u"- 5", std::nullopt},
        {"largest", u"2147483647", 2147483647},
        {"smallest", u"-2147483648", -2147483647 - 1},
        {"too large", u"2147483648", std::nullopt},
        {"far too large", u"99999999999999999999999", std::nullopt},
        {"empty", u"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(skin::ParseInteger(c.text), c.expected) << c.name;
}

TEST(SkinValues, BoldFlag)
{
    const ValueCase<LONG> cases[] = {
        {"one", u"1", FW_BOLD},      {"zero", u"0", FW_NORMAL},     {"true", u"true", std::nullopt},
        {"700", u"700", std::nullopt}, {"one and a blank", u"1 ", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(skin::ParseBoldFlag(c.text), c.expected) << c.name;
}

}  // namespace
