// Arbitrary bytes as a settings file: parsing must never crash, and what it
// yields must format and parse back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto settings = MakeRef<Settings>();
    settings->Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string text = settings->Format();
    auto again = MakeRef<Settings>();
    again->Parse(text);
    if (again->Format() != text)
        std::abort();
    return 0;
}
