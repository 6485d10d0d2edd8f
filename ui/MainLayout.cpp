#include "ui/MainLayout.h"

#include <algorithm>
#include <array>

namespace mainlayout {
namespace {

enum Part : char { L = 'L', S = 'S', T = 'T' };

// Top to bottom, by layout code 1 to 11.
constexpr std::array<const char*, 12> kStacks = {
    "LS", "L", "LS", "LT", "LST", "LTS", "SL", "SLT", "STL", "TL", "TLS", "TSL",
};

}  // namespace

Areas Compute(int layoutCode, const RECT& client, int statusHeight, int toolbarHeight)
{
    const char* stack = kStacks[layoutCode >= 1 && layoutCode <= 11 ? static_cast<std::size_t>(layoutCode) : 0];
    int height = client.bottom - client.top;
    int status = 0;
    int toolbar = 0;
    for (const char* part = stack; *part != 0; ++part) {
        if (*part == S)
            status = std::max(statusHeight, 0);
        if (*part == T)
            toolbar = std::max(toolbarHeight, 0);
    }
    int listHeight = std::max(height - status - toolbar, 0);

    Areas areas;
    int y = client.top;
    for (const char* part = stack; *part != 0; ++part) {
        int partHeight = *part == L ? listHeight : (*part == S ? status : toolbar);
        RECT rect{client.left, y, client.right, std::min(y + partHeight, client.bottom)};
        (*part == L ? areas.list : (*part == S ? areas.status : areas.toolbar)) = rect;
        y = rect.bottom;
    }
    return areas;
}

}  // namespace mainlayout
