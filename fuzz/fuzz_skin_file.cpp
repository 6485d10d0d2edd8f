// Skin, override and icon files from the fuzzer: the same bytes serve as a
// skin file, its override file and an icon file. Loading never fails hard;
// every value that is read is drawn or made into a font once.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "skin/IconSet.h"
#include "skin/Skin.h"

namespace {

struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 32, 32);
    std::string folder = "/tmp/fuzz-skin-" + std::to_string(::getpid());
    Target()
    {
        SelectObject(dc, bitmap);
        ::mkdir(folder.c_str(), 0700);
    }
};

void Write(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Target target;
    for (const char* name : {"/F.Skin.xml", "/Override.F.Skin.xml", "/F.Icons.xml"})
        Write(target.folder + name, data, size);
    WideString folder = platform::Utf8ToWide(target.folder);
    RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
    look->Load(folder, u"F.Skin.xml");
    for (skin::SkinFont* font : {&look->listFont, &look->statusFont, &look->chatFont, &look->userInfoFont})
        (void)font->Handle();
    for (std::size_t i = 0; i < skin::kToolbarSlotCount; ++i) {
        if (RefPtr<skin::SkinImage> image = look->ToolbarImage(static_cast<skin::ToolbarSlot>(i)))
            image->Draw(target.dc, 0, 0);
    }
    RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
    icons->Load(folder, u"F.Icons.xml");
    for (std::size_t i = 0; i < skin::kIconSlotCount; ++i) {
        if (RefPtr<skin::SkinImage> icon = icons->Icon(static_cast<skin::IconSlot>(i)))
            icon->Draw(target.dc, 0, 0);
    }
    return 0;
}
