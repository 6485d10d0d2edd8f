#include "skin/BitmapFile.h"

#include <algorithm>
#include <cstring>

#include "platform/file/File.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/Gdi.h"

namespace skin {
namespace {

std::uint32_t Read32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::optional<BitmapFileView> ParseBitmapFile(std::span<const BYTE> file)
{
    if (file.size() < kFileHeaderBytes + sizeof(BITMAPINFOHEADER) || file.size() > kMaxBitmapFileBytes)
        return std::nullopt;
    BitmapFileView view;
    std::size_t available = std::min(kDescriptionBytes, file.size() - kFileHeaderBytes);
    std::memcpy(view.description.data(), file.data() + kFileHeaderBytes, available);

    std::optional<platform::gdi::DibFormat> format = platform::gdi::ParseDibHeader(view.description);
    if (!format || format->width > kMaxBitmapSide || format->height > kMaxBitmapSide)
        return std::nullopt;
    std::optional<std::size_t> needed = platform::gdi::DibBytes(*format, static_cast<std::size_t>(format->height));
    std::uint32_t headerSize = Read32(view.description.data());
    std::uint32_t pixelOffset = Read32(file.data() + 10);
    // The pixels start after both headers and lie wholly inside the file; the
    // total size the header states is not trusted.
    if (!needed || pixelOffset < kFileHeaderBytes + static_cast<std::size_t>(headerSize) ||
        pixelOffset > file.size() || file.size() - pixelOffset < *needed)
        return std::nullopt;
    view.pixels = file.subspan(pixelOffset, *needed);
    view.width = format->width;
    view.height = format->height;
    BITMAPINFOHEADER header;
    std::memcpy(&header, view.description.data(), sizeof header);
    header.biSizeImage = static_cast<DWORD>(*needed);
    std::memcpy(view.description.data(), &header, sizeof header);
    return view;
}

std::optional<BitmapFileView> ReadBitmapFile(const std::string& path, std::string& bytes)
{
    // One byte more than allowed tells a file that is too large.
    if (path.empty() || !platform::ReadWholeFile(path, platform::FileShare::Read, bytes, kMaxBitmapFileBytes + 1) ||
        bytes.size() > kMaxBitmapFileBytes)
        return std::nullopt;
    return ParseBitmapFile(std::span<const BYTE>(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()));
}

}  // namespace skin
