#include "ui/ProgramIcon.h"

#include <array>
#include <cstdint>

namespace ui {
namespace {

constexpr int kSize = kProgramIconSize;

// One row per line of the picture: '#' outline, 'o' fill, '.' dot, ' ' clear.
constexpr std::array<const char*, kSize> kPicture = {
    "                ",
    "   ##########   ",
    "  #oooooooooo#  ",
    " #oooooooooooo# ",
    " #oooooooooooo# ",
    " #oooooooooooo# ",
    " #oo..oo..oo..# ",
    " #oo..oo..oo..# ",
    " #oooooooooooo# ",
    " #oooooooooooo# ",
    "  #oooooooooo#  ",
    "   #oo#######   ",
    "   #o#          ",
    "   ##           ",
    "                ",
    "                ",
};

std::uint32_t Opaque(COLORREF colour)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

}  // namespace

HICON CreateProgramIcon()
{
    std::array<std::uint32_t, kSize * kSize> pixels{};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            std::uint32_t& p = pixels[static_cast<std::size_t>(y * kSize + x)];
            switch (kPicture[static_cast<std::size_t>(y)][x]) {
            case '#':
                p = Opaque(RGB(0x12, 0x3A, 0x80));
                break;
            case 'o':
                p = Opaque(kProgramIconColour);
                break;
            case '.':
                p = Opaque(RGB(0xFF, 0xFF, 0xFF));
                break;
            default:
                p = 0;
            }
        }
    }
    HBITMAP colour = CreateBitmap(kSize, kSize, 1, 32, pixels.data());
    if (colour == nullptr)
        return nullptr;
    ICONINFO info;
    info.hbmColor = colour;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    return icon;
}

}  // namespace ui
