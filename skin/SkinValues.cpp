#include "skin/SkinValues.h"

#include <cstdint>

namespace skin {
namespace {

int HexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

std::optional<COLORREF> ParseColour(std::u16string_view text)
{
    if (text == u"TRANSPARENT")
        return kTransparentColour;
    if (!text.empty() && text.front() == u'#')
        text.remove_prefix(1);
    std::uint32_t rgb = 0;
    std::size_t digits = 0;
    while (digits < text.size() && HexValue(text[digits]) >= 0) {
        if (digits == 6)
            return std::nullopt;  // a seventh digit: too long
        rgb = (rgb << 4) | static_cast<std::uint32_t>(HexValue(text[digits]));
        ++digits;
    }
    if (digits != 6)
        return std::nullopt;
    return RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

std::optional<int> ParseInteger(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::int64_t value = 0;
    std::size_t first = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT32_MAX + std::int64_t{1})
            return std::nullopt;
    }
    if (i == first)
        return std::nullopt;
    value = negative ? -value : value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<LONG> ParseBoldFlag(std::u16string_view text)
{
    if (text == u"1")
        return FW_BOLD;
    if (text == u"0")
        return FW_NORMAL;
    return std::nullopt;
}

}  // namespace skin
