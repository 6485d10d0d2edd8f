// Arbitrary bytes as the current home-screen scheme file. Reading never
// fails hard, stays within its bounds, and every row the home screen draws
// itself is drawn once.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "tools/homescreen/RowLook.h"
#include "tools/homescreen/Scheme.h"

namespace {

struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 240, 64);
    std::string file = "/tmp/fuzz-scheme-" + std::to_string(::getpid()) + ".xml";
    Target() { SelectObject(dc, bitmap); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Target target;
    {
        std::ofstream out(target.file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    homescreen::Scheme scheme = homescreen::ReadScheme(platform::Utf8ToWide(target.file));
    if (scheme.rows.size() > homescreen::kMaxRows || scheme.title.empty())
        std::abort();
    homescreen::RowLook look = homescreen::LookOf(scheme.defaultFormat);
    SYSTEMTIME now{};
    now.wYear = 2026;
    now.wMonth = 12;
    now.wDay = 31;
    for (const homescreen::SchemeRow& row : scheme.rows) {
        if (row.height < 0 || row.height > homescreen::kMaxRowHeight)
            std::abort();
        RECT rect{0, 0, 240, row.height};
        homescreen::PaintOwnRow(target.dc, row, rect, row.kind == homescreen::RowKind::Operator, look, now);
    }
    return 0;
}
