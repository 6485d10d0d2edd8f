// Files for the skin tests: set files written into a private folder and
// bitmap files built in memory.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "platform/base/WideString.h"

namespace skintest {

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void Put32(std::vector<BYTE>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<BYTE>(value >> (8 * i));
}

// A 24-bit bottom-up bitmap file; pixel(x, y) gives 0xRRGGBB, y from the top.
template <typename PixelOf>
std::vector<BYTE> Bitmap24(int width, int height, PixelOf pixel)
{
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<BYTE> bytes(54 + stride * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    Put32(bytes, 10, 54);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<std::uint32_t>(width));
    Put32(bytes, 22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y) {
        BYTE* row = bytes.data() + 54 + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t rgb = pixel(x, y);
            row[3 * x] = static_cast<BYTE>(rgb);
            row[3 * x + 1] = static_cast<BYTE>(rgb >> 8);
            row[3 * x + 2] = static_cast<BYTE>(rgb >> 16);
        }
    }
    return bytes;
}

inline WideString Wide(const std::string& text) { return platform::Utf8ToWide(text); }

}  // namespace skintest
