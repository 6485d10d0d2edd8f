#include "platform/display/Png.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace platform::display {
namespace {

struct File {
    std::FILE* handle;
    ~File()
    {
        if (handle != nullptr)
            std::fclose(handle);
    }
};

}  // namespace

bool WritePng(const std::string& path, const gdi::Surface& surface)
{
    File file{std::fopen(path.c_str(), "wb")};
    if (file.handle == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
    // libpng reports errors by longjmp; nothing here needs unwinding.
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.handle);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < surface.Height(); ++y) {
        const gdi::Pixel* in = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            row[3 * x] = static_cast<png_byte>(in[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(in[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(in[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::shared_ptr<gdi::Surface> ReadPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return nullptr;
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB
    std::shared_ptr<gdi::Surface> surface =
        gdi::Surface::Create(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!surface) {
        png_image_free(&image);
        return nullptr;
    }
    if (png_image_finish_read(&image, nullptr, surface->Storage(), 0, nullptr) == 0)
        return nullptr;
    return surface;
}

}  // namespace platform::display
