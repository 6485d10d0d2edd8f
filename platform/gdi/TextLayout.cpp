#include "platform/gdi/TextLayout.h"

#include <numeric>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {
namespace {

int Width(const std::vector<int>& advances, std::size_t from, std::size_t to)
{
    return std::accumulate(advances.begin() + static_cast<std::ptrdiff_t>(from),
                           advances.begin() + static_cast<std::ptrdiff_t>(to), 0);
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

TextLine MakeLine(std::u16string_view text, const std::vector<int>& advances, std::size_t from, std::size_t to)
{
    return TextLine{WideString(text.substr(from, to - from)), from, Width(advances, from, to)};
}

// Cuts the line so that it and "..." fit.
void AddEllipsis(TextLine& line, const std::vector<int>& advances, int width, int ellipsisWidth)
{
    std::size_t count = line.text.size();
    int used = line.width;
    while (count > 0 && used + ellipsisWidth > width) {
        --count;
        used -= advances[line.start + count];
    }
    // Never split a surrogate pair.
    if (count > 0 && line.text[count - 1] >= 0xD800 && line.text[count - 1] <= 0xDBFF) {
        --count;
        used -= advances[line.start + count];
    }
    line.text = line.text.substr(0, count) + u"...";
    line.width = used + ellipsisWidth;
}

// Breaks one paragraph [from, to) into lines at most `width` wide: after the
// last space that fits, or inside a word longer than the whole width.
void WrapParagraph(std::u16string_view text, const std::vector<int>& advances, std::size_t from, std::size_t to,
                   int width, std::vector<TextLine>& lines)
{
    std::size_t start = from;
    while (true) {
        int used = 0;
        std::size_t end = start;
        while (end < to && used + advances[end] <= width)
            used += advances[end++];
        // Keep a surrogate pair together.
        while (end > start && end < to && advances[end] == 0)
            --end;
        if (end >= to) {
            lines.push_back(MakeLine(text, advances, start, to));
            return;
        }
        std::size_t cut = end;
        while (cut > start && !IsSpace(text[cut]))
            --cut;
        if (cut > start || IsSpace(text[start])) {
            std::size_t lineEnd = cut;
            while (lineEnd > start && IsSpace(text[lineEnd - 1]))
                --lineEnd;
            lines.push_back(MakeLine(text, advances, start, lineEnd));
            start = cut;
        } else {
            std::size_t lineEnd =
                end > start ? end : start + (advances.size() > start + 1 && advances[start + 1] == 0 ? 2 : 1);
            lineEnd = std::min(lineEnd, to);
            lines.push_back(MakeLine(text, advances, start, lineEnd));
            start = lineEnd;
        }
        while (start < to && IsSpace(text[start]))
            ++start;
        if (start >= to)
            return;
    }
}

}  // namespace

WideString StripPrefix(std::u16string_view text, int* underline)
{
    WideString out;
    *underline = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&')
                *underline = static_cast<int>(out.size());
        }
        out.push_back(text[i]);
    }
    return out;
}

std::vector<TextLine> LayoutLines(std::u16string_view text, const std::vector<int>& advances, int width, UINT format,
                                  int ellipsisWidth)
{
    std::vector<TextLine> lines;
    bool single = (format & DT_SINGLELINE) != 0;
    bool wrap = !single && (format & DT_WORDBREAK) != 0;
    std::size_t from = 0;
    while (true) {
        std::size_t to = single ? text.size() : text.find(u'\n', from);
        if (to == std::u16string_view::npos)
            to = text.size();
        std::size_t paragraphEnd = to;
        if (!single && paragraphEnd > from && text[paragraphEnd - 1] == u'\r')
            --paragraphEnd;
        if (wrap && paragraphEnd > from)
            WrapParagraph(text, advances, from, paragraphEnd, width, lines);
        else
            lines.push_back(MakeLine(text, advances, from, paragraphEnd));
        if (to >= text.size())
            break;
        from = to + 1;
    }
    if ((format & DT_END_ELLIPSIS) != 0) {
        for (TextLine& line : lines) {
            if (line.width > width)
                AddEllipsis(line, advances, width, ellipsisWidth);
        }
    }
    return lines;
}

}  // namespace platform::gdi
