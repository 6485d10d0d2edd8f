// Upper-casing of wide strings: CharUpperW / CharUpperBuffW and ToUpper.
//
// Uses Unicode simple (one-to-one) case mapping, independent of any locale:
// a string never changes length ("ß" stays "ß"), and a character whose
// upper case lies in another plane is left alone.
#pragma once

#include <string_view>

#include "platform/base/Types.h"

// Upper-cases a zero-terminated string in place and returns it. As on
// Windows, a "pointer" whose high bits are zero is a single character in
// the low word; the upper-cased character is returned the same way.
LPWSTR CharUpperW(LPWSTR text);

// Upper-cases length characters in place; returns length (0 for null).
DWORD CharUpperBuffW(LPWSTR text, DWORD length);

namespace platform {

WideString ToUpper(std::u16string_view text);

}  // namespace platform
