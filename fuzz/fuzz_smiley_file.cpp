// Smiley files from the fuzzer: the bytes are read as a set file, every
// smiley's picture is drawn once, the grid of the picture picker is laid out,
// and the same bytes, taken as UTF-16 text, are matched at every position.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "skin/smiley/SmileGrid.h"
#include "skin/smiley/SmileySet.h"

namespace {

struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 32, 32);
    std::string program = "/tmp/fuzz-smiley-" + std::to_string(::getpid());
    Target()
    {
        SelectObject(dc, bitmap);
        ::mkdir(program.c_str(), 0700);
        ::mkdir((program + "/Smilies").c_str(), 0700);
        ::mkdir((program + "/Smilies/F").c_str(), 0700);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Target target;
    {
        std::ofstream out(target.program + "/Smilies/F/F.Smilies.xml", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    RefPtr<skin::SmileySet> set = MakeRef<skin::SmileySet>(u"F.Smilies.xml", platform::Utf8ToWide(target.program));
    std::vector<skin::PictureSize> pictures;
    for (std::size_t i = 0; i < set->Count(); ++i) {
        RefPtr<skin::Smiley> smiley = set->At(i);
        auto picture = smiley->Image() ? smiley->Image()->Get(target.dc) : std::nullopt;
        pictures.push_back(picture ? skin::PictureSize{picture->width, picture->height} : skin::PictureSize{});
    }
    (void)skin::LayOutSmileGrid(pictures, static_cast<int>(size % 7), 176);
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    for (std::size_t i = 0; i <= text.size(); ++i)
        (void)set->Match(text, i);
    return 0;
}
