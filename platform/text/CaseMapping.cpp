#include "platform/text/CaseMapping.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <cstdint>

#include "platform/base/WideString.h"

namespace platform {
namespace {

// Upper-cases text[0..length) in place, one code point at a time.
void UpperInPlace(WCHAR* text, std::size_t length)
{
    std::size_t i = 0;
    while (i < length) {
        std::size_t start = i;
        UChar32 cp = text[i++];
        if (U16_IS_LEAD(cp) && i < length && U16_IS_TRAIL(text[i]))
            cp = U16_GET_SUPPLEMENTARY(cp, text[i++]);
        UChar32 upper = u_toupper(cp);
        if (upper == cp || U16_LENGTH(upper) != U16_LENGTH(cp))
            continue;
        if (U16_LENGTH(upper) == 1) {
            text[start] = static_cast<WCHAR>(upper);
        } else {
            text[start] = U16_LEAD(upper);
            text[start + 1] = U16_TRAIL(upper);
        }
    }
}

}  // namespace

WideString ToUpper(std::u16string_view text)
{
    WideString out(text);
    UpperInPlace(out.data(), out.size());
    return out;
}

}  // namespace platform

LPWSTR CharUpperW(LPWSTR text)
{
    auto value = reinterpret_cast<std::uintptr_t>(text);
    if ((value >> 16) == 0) {
        auto upper = static_cast<std::uintptr_t>(u_toupper(static_cast<UChar32>(value & 0xFFFF)));
        return upper > 0xFFFF ? text : reinterpret_cast<LPWSTR>(upper);
    }
    platform::UpperInPlace(text, platform::WideLength(text));
    return text;
}

DWORD CharUpperBuffW(LPWSTR text, DWORD length)
{
    if (text == nullptr)
        return 0;
    platform::UpperInPlace(text, length);
    return length;
}
