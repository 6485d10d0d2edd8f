// Whole bitmap files from the fuzzer, read the way a skin's image is: the
// bytes are written to a file, a SkinImage of it is drawn into a memory
// context. Every lying header is refused or drawn within its buffers; the
// pure reader sees the same bytes first.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "skin/BitmapFile.h"
#include "skin/SkinImage.h"

namespace {

struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 64, 64);
    std::string folder = "/tmp/fuzz-bitmap-" + std::to_string(::getpid());
    Target()
    {
        SelectObject(dc, bitmap);
        ::mkdir(folder.c_str(), 0700);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Target target;
    (void)skin::ParseBitmapFile(std::span<const BYTE>(data, size));
    {
        std::ofstream out(target.folder + "/f.bmp", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    RefPtr<skin::SkinImage> image = MakeRef<skin::SkinImage>(platform::Utf8ToWide(target.folder), u"f.bmp");
    image->Draw(target.dc, 3, 3);
    image->Draw(target.dc, -5, 40);
    return 0;
}
