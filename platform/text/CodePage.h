// Code-page conversions of the device: WideCharToMultiByte and
// MultiByteToWideChar with Win32 semantics over ICU's tables, and the
// device's default ANSI code page.
//
// Supported code pages: 0 (CP_ACP, the default ANSI code page), the Windows
// code pages 1250..1258 and 874 (all single-byte), and 65001 (UTF-8). Any
// other code page fails with ERROR_INVALID_PARAMETER and result 0.
//
// Unlike Windows, single-byte conversions never use "best fit" mappings: a
// character without an exact round-trip mapping is always replaced by the
// default character and reported through usedDefaultChar. Callers use that
// report to ask "did every character convert unchanged?".
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

// Flags. MB_ERR_INVALID_CHARS makes MultiByteToWideChar fail with
// ERROR_NO_UNICODE_TRANSLATION on bytes without a mapping (invalid UTF-8,
// undefined bytes of a code page). Other flags are accepted and ignored.
constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

// Converts srcLen wide characters (-1: up to and including the terminating
// zero) into dst. dstSize 0 asks for the needed size in bytes. Returns the
// bytes written (or needed), 0 on failure with the reason in GetLastError:
// ERROR_INVALID_PARAMETER (unknown code page, null source, srcLen 0 or below
// -1, negative dstSize, or for UTF-8 a non-null defaultChar/usedDefaultChar,
// as on Windows), ERROR_INSUFFICIENT_BUFFER (dst too small; dst may hold a
// partial result). For single-byte code pages, defaultChar (first byte only;
// null means '?') replaces characters without a mapping and *usedDefaultChar
// tells whether that happened. For UTF-8, unpaired surrogates become U+FFFD.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcLen, char* dst, int dstSize,
                        const char* defaultChar, BOOL* usedDefaultChar);

// Converts srcLen bytes (-1: up to and including the terminating zero) into
// dst. dstSize 0 asks for the needed size in characters. Errors as above;
// bytes without a mapping become U+FFFD unless MB_ERR_INVALID_CHARS is given.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen, WCHAR* dst, int dstSize);

namespace platform {

// The device's default ANSI code page, used for code page 0. Starts as the
// value of the environment variable CORVANE_CODE_PAGE when that names a
// supported code page, 1252 otherwise.
UINT DefaultCodePage();

// Sets the default code page; false (and no change) for an unsupported code
// page or for 0.
bool SetDefaultCodePage(UINT codePage);

// True for 0 and every code page listed above.
bool IsSupportedCodePage(UINT codePage);

// Whole-string conversions. WideToBytes reports in *replaced whether any
// character had no mapping; for an unknown code page it returns an empty
// string and sets *replaced when the input was not empty. BytesToWide of an
// unknown code page gives an empty string.
std::string WideToBytes(std::u16string_view text, UINT codePage, bool* replaced = nullptr);
WideString BytesToWide(std::string_view bytes, UINT codePage);

}  // namespace platform
