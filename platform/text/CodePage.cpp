#include "platform/text/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/base/Device.h"
#include "platform/base/LastError.h"
#include "platform/base/WideString.h"

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr UINT kFallbackCodePage = 1252;

// One single-byte code page as two lookup tables, built from ICU's round-trip
// mappings only (no fallbacks, no best fit).
struct SingleByteTable {
    UINT codePage = 0;
    bool available = false;
    std::array<char16_t, 256> toWide{};
    std::array<bool, 256> mapped{};
    std::vector<std::pair<char16_t, char>> fromWide;  // sorted by character
};

constexpr std::array<UINT, 10> kSingleByteCodePages = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874};

SingleByteTable BuildTable(UINT codePage)
{
    SingleByteTable table;
    table.codePage = codePage;
    std::string name = "windows-" + std::to_string(codePage);
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &error);
    if (U_FAILURE(error) || converter == nullptr)
        return table;
    for (int byte = 0; byte < 256; ++byte) {
        error = U_ZERO_ERROR;
        ucnv_reset(converter);
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
        char in = static_cast<char>(byte);
        UChar out[4];
        int32_t length = ucnv_toUChars(converter, out, 4, &in, 1, &error);
        if (U_SUCCESS(error) && length == 1 && out[0] != kReplacement) {
            table.toWide[static_cast<std::size_t>(byte)] = out[0];
            table.mapped[static_cast<std::size_t>(byte)] = true;
            table.fromWide.emplace_back(out[0], in);
        } else {
            table.toWide[static_cast<std::size_t>(byte)] = kReplacement;
        }
    }
    ucnv_close(converter);
    // Stable sort keeps the lowest byte first when two bytes share a character.
    std::stable_sort(table.fromWide.begin(), table.fromWide.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    table.available = true;
    return table;
}

// All tables, built once on first use (thread-safe static initialisation).
const SingleByteTable* FindTable(UINT codePage)
{
    static const std::vector<SingleByteTable> tables = [] {
        std::vector<SingleByteTable> all;
        for (UINT cp : kSingleByteCodePages)
            all.push_back(BuildTable(cp));
        return all;
    }();
    for (const SingleByteTable& table : tables) {
        if (table.codePage == codePage)
            return table.available ? &table : nullptr;
    }
    return nullptr;
}

bool IsListed(UINT codePage)
{
    return codePage == CP_UTF8 ||
           std::find(kSingleByteCodePages.begin(), kSingleByteCodePages.end(), codePage) != kSingleByteCodePages.end();
}

UINT InitialDefaultCodePage()
{
    const char* text = std::getenv("CORVANE_CODE_PAGE");
    if (text != nullptr) {
        char* end = nullptr;
        unsigned long value = std::strtoul(text, &end, 10);
        if (end != text && *end == '\0' && value <= UINT_MAX && IsListed(static_cast<UINT>(value)))
            return static_cast<UINT>(value);
    }
    return kFallbackCodePage;
}

std::atomic<UINT>& DefaultCodePageCell()
{
    static std::atomic<UINT> cell{InitialDefaultCodePage()};
    return cell;
}

UINT Resolve(UINT codePage)
{
    return codePage == CP_ACP ? DefaultCodePage() : codePage;
}

bool EncodeSingleByte(const SingleByteTable& table, std::u16string_view text, char defaultChar, std::string& out,
                      bool& replaced)
{
    out.clear();
    out.reserve(text.size());
    replaced = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        // A surrogate pair is one character and gets one default character.
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
        auto it = std::lower_bound(table.fromWide.begin(), table.fromWide.end(), unit,
                                   [](const auto& entry, char16_t key) { return entry.first < key; });
        if (it != table.fromWide.end() && it->first == unit) {
            out += it->second;
        } else {
            out += defaultChar;
            replaced = true;
        }
    }
    return true;
}

bool EncodeUtf8(std::u16string_view text, std::string& out, bool& replaced)
{
    out.clear();
    replaced = false;
    if (text.empty())
        return true;
    if (text.size() > static_cast<std::size_t>(INT32_MAX))
        return false;
    int32_t needed = 0;
    int32_t substitutions = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(nullptr, 0, &needed, text.data(), static_cast<int32_t>(text.size()), kReplacement, nullptr,
                       &error);
    if (error != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(error))
        return false;
    out.resize(static_cast<std::size_t>(needed));
    error = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), needed, &needed, text.data(), static_cast<int32_t>(text.size()), kReplacement,
                       &substitutions, &error);
    if (U_FAILURE(error))
        return false;
    replaced = substitutions > 0;
    return true;
}

// Returns false for an unknown code page (or an impossible size).
bool Encode(UINT codePage, std::u16string_view text, char defaultChar, std::string& out, bool& replaced)
{
    if (codePage == CP_UTF8)
        return EncodeUtf8(text, out, replaced);
    const SingleByteTable* table = FindTable(codePage);
    return table != nullptr && EncodeSingleByte(*table, text, defaultChar, out, replaced);
}

enum class DecodeResult { Ok, UnknownCodePage, InvalidChars };

DecodeResult DecodeUtf8(std::string_view bytes, bool strict, WideString& out)
{
    out.clear();
    if (bytes.empty())
        return DecodeResult::Ok;
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX))
        return DecodeResult::UnknownCodePage;
    auto convert = [&](UChar* dst, int32_t capacity, int32_t& length, UErrorCode& error) {
        if (strict)
            u_strFromUTF8(dst, capacity, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &error);
        else
            u_strFromUTF8WithSub(dst, capacity, &length, bytes.data(), static_cast<int32_t>(bytes.size()), kReplacement,
                                 nullptr, &error);
    };
    int32_t needed = 0;
    UErrorCode error = U_ZERO_ERROR;
    convert(nullptr, 0, needed, error);
    if (error == U_INVALID_CHAR_FOUND)
        return DecodeResult::InvalidChars;
    if (error != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(error))
        return DecodeResult::UnknownCodePage;
    out.resize(static_cast<std::size_t>(needed));
    error = U_ZERO_ERROR;
    convert(out.data(), needed, needed, error);
    if (error == U_INVALID_CHAR_FOUND)
        return DecodeResult::InvalidChars;
    return U_FAILURE(error) ? DecodeResult::UnknownCodePage : DecodeResult::Ok;
}

DecodeResult Decode(UINT codePage, std::string_view bytes, bool strict, WideString& out)
{
    if (codePage == CP_UTF8)
        return DecodeUtf8(bytes, strict, out);
    const SingleByteTable* table = FindTable(codePage);
    if (table == nullptr)
        return DecodeResult::UnknownCodePage;
    out.clear();
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (strict && !table->mapped[byte])
            return DecodeResult::InvalidChars;
        out += table->toWide[byte];
    }
    return DecodeResult::Ok;
}

// Copies a finished conversion into the caller's buffer with the Win32 size
// rules: dstSize 0 asks for the size; a short buffer gets what fits and the
// call fails with ERROR_INSUFFICIENT_BUFFER.
template <typename Char, typename String>
int CopyOut(const String& result, Char* dst, int dstSize)
{
    if (result.size() > static_cast<std::size_t>(INT_MAX)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    int size = static_cast<int>(result.size());
    if (dstSize == 0)
        return size;
    if (size > dstSize) {
        std::memcpy(dst, result.data(), static_cast<std::size_t>(dstSize) * sizeof(Char));
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, result.data(), static_cast<std::size_t>(size) * sizeof(Char));
    return size;
}

template <typename Char>
bool ValidArguments(const void* src, int srcLen, const Char* dst, int dstSize)
{
    if (src == nullptr || srcLen == 0 || srcLen < -1 || dstSize < 0 || (dstSize > 0 && dst == nullptr) ||
        static_cast<const void*>(dst) == src) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

std::size_t ByteLength(const char* text)
{
    return std::strlen(text);
}

}  // namespace

UINT DefaultCodePage()
{
    return DefaultCodePageCell().load(std::memory_order_relaxed);
}

bool SetDefaultCodePage(UINT codePage)
{
    if (!IsListed(codePage))
        return false;
    DefaultCodePageCell().store(codePage, std::memory_order_relaxed);
    return true;
}

bool IsSupportedCodePage(UINT codePage)
{
    return codePage == CP_ACP || IsListed(codePage);
}

std::string WideToBytes(std::u16string_view text, UINT codePage, bool* replaced)
{
    std::string out;
    bool anyReplaced = false;
    if (!Encode(Resolve(codePage), text, '?', out, anyReplaced)) {
        out.clear();
        anyReplaced = !text.empty();
    }
    if (replaced != nullptr)
        *replaced = anyReplaced;
    return out;
}

WideString BytesToWide(std::string_view bytes, UINT codePage)
{
    WideString out;
    if (Decode(Resolve(codePage), bytes, false, out) != DecodeResult::Ok)
        out.clear();
    return out;
}

}  // namespace platform

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcLen, char* dst, int dstSize,
                        const char* defaultChar, BOOL* usedDefaultChar)
{
    (void)flags;
    if (!platform::ValidArguments(src, srcLen, dst, dstSize))
        return 0;
    UINT resolved = platform::Resolve(codePage);
    if (resolved == CP_UTF8 && (defaultChar != nullptr || usedDefaultChar != nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length = srcLen == -1 ? platform::WideLength(src) + 1 : static_cast<std::size_t>(srcLen);
    std::string out;
    bool replaced = false;
    char fill = defaultChar != nullptr ? defaultChar[0] : '?';
    if (!platform::Encode(resolved, std::u16string_view(src, length), fill, out, replaced)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (usedDefaultChar != nullptr)
        *usedDefaultChar = replaced ? TRUE : FALSE;
    return platform::CopyOut(out, dst, dstSize);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen, WCHAR* dst, int dstSize)
{
    if (!platform::ValidArguments(src, srcLen, dst, dstSize))
        return 0;
    std::size_t length = srcLen == -1 ? platform::ByteLength(src) + 1 : static_cast<std::size_t>(srcLen);
    WideString out;
    bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    switch (platform::Decode(platform::Resolve(codePage), std::string_view(src, length), strict, out)) {
    case platform::DecodeResult::Ok:
        return platform::CopyOut(out, dst, dstSize);
    case platform::DecodeResult::InvalidChars:
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    case platform::DecodeResult::UnknownCodePage:
        break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}
