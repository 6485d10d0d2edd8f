// Conversions between the device's wide strings (UTF-16) and the host's
// UTF-8 file names and console text. Code-page conversions live in
// platform/text; these two are plain and never fail: invalid input becomes
// U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace platform {

WideString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);

// Length of a zero-terminated wide string (0 for null).
std::size_t WideLength(const WCHAR* text);

}  // namespace platform
