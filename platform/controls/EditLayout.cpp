#include "platform/controls/EditLayout.h"

#include <algorithm>

namespace platform::controls {
namespace {

bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// Length of the hard break at `i` (CR LF counts as one).
std::size_t BreakLength(std::u16string_view text, std::size_t i)
{
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
}

}  // namespace

std::vector<EditLine> WrapLines(std::u16string_view text, const std::vector<int>& advances, int width, bool wrap)
{
    std::vector<EditLine> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    int lineWidth = 0;
    std::size_t afterSpace = std::u16string_view::npos;  // position after the last space of the line
    while (i < text.size()) {
        if (IsBreak(text[i])) {
            lines.push_back({start, i});
            i += BreakLength(text, i);
            start = i;
            lineWidth = 0;
            afterSpace = std::u16string_view::npos;
            continue;
        }
        int advance = i < advances.size() ? advances[i] : 0;
        if (wrap && i > start && lineWidth + advance > width && text[i] != u' ') {
            std::size_t cut = afterSpace != std::u16string_view::npos && afterSpace > start ? afterSpace : i;
            // Never cut a surrogate pair.
            if (cut == i && cut > start && text[cut] >= 0xDC00 && text[cut] <= 0xDFFF)
                --cut;
            lines.push_back({start, cut});
            start = cut;
            lineWidth = SpanWidth(advances, start, i);
            afterSpace = std::u16string_view::npos;
        }
        lineWidth += advance;
        if (text[i] == u' ')
            afterSpace = i + 1;
        ++i;
    }
    lines.push_back({start, text.size()});
    return lines;
}

std::size_t LineOf(const std::vector<EditLine>& lines, std::size_t position)
{
    auto after = std::upper_bound(lines.begin(), lines.end(), position,
                                  [](std::size_t p, const EditLine& line) { return p < line.start; });
    return after == lines.begin() ? 0 : static_cast<std::size_t>(after - lines.begin()) - 1;
}

int SpanWidth(const std::vector<int>& advances, std::size_t from, std::size_t to)
{
    int width = 0;
    for (std::size_t i = from; i < to && i < advances.size(); ++i)
        width += advances[i];
    return width;
}

std::size_t PositionAt(const EditLine& line, const std::vector<int>& advances, int x)
{
    int left = 0;
    for (std::size_t i = line.start; i < line.end && i < advances.size(); ++i) {
        if (advances[i] == 0)
            continue;  // second half of a pair
        if (x < left + advances[i] / 2)
            return i;
        left += advances[i];
    }
    return line.end;
}

}  // namespace platform::controls
