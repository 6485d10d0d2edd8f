// The bitmap file reader: uncompressed Windows bitmaps of 16 bits per pixel
// (plain or with bit-field masks), 24 or 32 bits per pixel, a 14-byte file
// header and an information header of at least 40 bytes.
//
// Every field is checked against the real size of the file and the limits
// of the device before anything is allocated or handed on: the pixel data
// must start after the headers and hold every scan line the header claims,
// and the picture may not be empty, wider or taller than kMaxBitmapSide.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "platform/base/Types.h"

namespace skin {

constexpr std::size_t kFileHeaderBytes = 14;
// The information header and the 12 bytes after it (the three colour masks
// of a bit-field bitmap), as the platform takes them.
constexpr std::size_t kDescriptionBytes = 52;
constexpr int kMaxBitmapSide = 2048;
constexpr std::size_t kMaxBitmapFileBytes = 17u << 20;

struct BitmapFileView {
    // The description for the DIB transfer; biSizeImage is set to the size
    // of `pixels`. Bytes past the end of a short file are zero.
    alignas(4) std::array<BYTE, kDescriptionBytes> description{};
    std::span<const BYTE> pixels;  // exactly the scan lines of the picture
    int width = 0;
    int height = 0;  // rows, positive for bottom-up and top-down alike
};

// Checks a whole file in memory; nothing when any field lies.
std::optional<BitmapFileView> ParseBitmapFile(std::span<const BYTE> file);

// Reads a file (shared read, existing files only) and checks it; nothing
// when it cannot be read, is larger than kMaxBitmapFileBytes or lies. The
// view points into `bytes`.
std::optional<BitmapFileView> ReadBitmapFile(const std::string& path, std::string& bytes);

}  // namespace skin
