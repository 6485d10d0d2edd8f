// Locale collation: CompareStringW and CompareText over an ICU collator.
//
// The locale comes from the environment variable LANG ("de_DE.UTF-8" ->
// "de_DE"); "C", "POSIX" or no LANG mean "en". The collators are created once,
// on first use, and are safe to use from several threads at once.
#pragma once

#include <string_view>

#include "platform/base/Types.h"

using LCID = DWORD;

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

constexpr DWORD NORM_IGNORECASE = 0x00000001;

constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;

// Compares two strings in the collation order of the device's locale (the
// locale argument is ignored: the device has one). Lengths of -1 mean
// zero-terminated. NORM_IGNORECASE ignores case; other flags are ignored.
// Returns CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN; 0 with
// ERROR_INVALID_PARAMETER for a null string or a length below -1.
int CompareStringW(LCID locale, DWORD flags, LPCWSTR a, int aLength, LPCWSTR b, int bLength);

namespace platform {

enum class CaseSensitivity { Sensitive, Insensitive };

// <0, 0 or >0 as a sorts before, with or after b. Strings that differ only
// in case compare equal when case is ignored; with case respected, lower
// case sorts first among otherwise equal strings (ICU's default).
int CompareText(std::u16string_view a, std::u16string_view b,
                CaseSensitivity sensitivity = CaseSensitivity::Sensitive);

}  // namespace platform
