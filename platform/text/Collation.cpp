#include "platform/text/Collation.h"

#include <unicode/ucol.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"

namespace platform {
namespace {

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

std::string LocaleFromEnvironment()
{
    const char* lang = std::getenv("LANG");
    std::string name = lang != nullptr ? lang : "";
    std::size_t cut = name.find_first_of(".@");
    if (cut != std::string::npos)
        name.resize(cut);
    if (name.empty() || name == "C" || name == "POSIX")
        return "en";
    return name;
}

// A collator of the device's locale; the root collator when that locale is
// unknown to ICU. Tertiary strength tells case apart, secondary ignores it.
CollatorPtr OpenCollator(UCollationStrength strength)
{
    std::string locale = LocaleFromEnvironment();
    UErrorCode error = U_ZERO_ERROR;
    CollatorPtr collator(ucol_open(locale.c_str(), &error));
    if (U_FAILURE(error) || collator == nullptr) {
        error = U_ZERO_ERROR;
        collator.reset(ucol_open("", &error));
    }
    if (collator != nullptr)
        ucol_setStrength(collator.get(), strength);
    return collator;
}

// Created once; ucol_strcoll on a collator whose attributes no longer change
// is thread-safe.
const UCollator* Collator(CaseSensitivity sensitivity)
{
    static const CollatorPtr sensitive = OpenCollator(UCOL_TERTIARY);
    static const CollatorPtr insensitive = OpenCollator(UCOL_SECONDARY);
    return sensitivity == CaseSensitivity::Sensitive ? sensitive.get() : insensitive.get();
}

int Compare(std::u16string_view a, std::u16string_view b, CaseSensitivity sensitivity)
{
    const UCollator* collator = Collator(sensitivity);
    if (collator == nullptr || a.size() > INT32_MAX || b.size() > INT32_MAX)
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    UCollationResult result = ucol_strcoll(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                           static_cast<int32_t>(b.size()));
    return result == UCOL_LESS ? -1 : (result == UCOL_EQUAL ? 0 : 1);
}

}  // namespace

int CompareText(std::u16string_view a, std::u16string_view b, CaseSensitivity sensitivity)
{
    return Compare(a, b, sensitivity);
}

}  // namespace platform

int CompareStringW(LCID locale, DWORD flags, LPCWSTR a, int aLength, LPCWSTR b, int bLength)
{
    (void)locale;
    if (a == nullptr || b == nullptr || aLength < -1 || bLength < -1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string_view first(a, aLength == -1 ? platform::WideLength(a) : static_cast<std::size_t>(aLength));
    std::u16string_view second(b, bLength == -1 ? platform::WideLength(b) : static_cast<std::size_t>(bLength));
    auto sensitivity = (flags & NORM_IGNORECASE) != 0 ? platform::CaseSensitivity::Insensitive
                                                      : platform::CaseSensitivity::Sensitive;
    return platform::CompareText(first, second, sensitivity) + CSTR_EQUAL;
}
