#include "store/Utf16Le.h"

namespace store {

void AppendUtf16Le(std::string& bytes, std::u16string_view text)
{
    bytes.reserve(bytes.size() + 2 * text.size());
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
}

WideString DecodeUtf16Le(const std::uint8_t* bytes, std::size_t byteCount)
{
    WideString text;
    text.reserve(byteCount / 2);
    for (std::size_t i = 0; i + 1 < byteCount; i += 2) {
        auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0)
            break;
        text.push_back(c);
    }
    return text;
}

}  // namespace store
