#include "ui/framework/TextWrap.h"

namespace {

// How many characters of `text` (at least one) fit in maxWidth.
std::size_t FittingPrefix(std::u16string_view text, int maxWidth, const TextMeasure& measure)
{
    std::size_t low = 1;
    std::size_t high = text.size();
    while (low < high) {
        std::size_t middle = (low + high + 1) / 2;
        if (measure(text.substr(0, middle)) <= maxWidth)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

void WrapParagraph(std::u16string_view text, int maxWidth, const TextMeasure& measure, std::vector<WideString>& lines)
{
    if (text.empty()) {
        lines.emplace_back();
        return;
    }
    while (!text.empty()) {
        std::size_t fit = FittingPrefix(text, maxWidth, measure);
        if (fit < text.size()) {
            // Break after the last space inside what fits, when there is one.
            std::size_t space = text.substr(0, fit + 1).find_last_of(u' ');
            if (space != std::u16string_view::npos && space > 0)
                fit = space;
        }
        std::u16string_view line = text.substr(0, fit);
        while (!line.empty() && line.back() == u' ')
            line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(fit);
        while (!text.empty() && text.front() == u' ')
            text.remove_prefix(1);
    }
}

}  // namespace

std::vector<WideString> WrapText(std::u16string_view text, int maxWidth, const TextMeasure& measure)
{
    std::vector<WideString> lines;
    while (true) {
        std::size_t end = text.find(u'\n');
        std::u16string_view paragraph = text.substr(0, end);
        if (!paragraph.empty() && paragraph.back() == u'\r')
            paragraph.remove_suffix(1);
        WrapParagraph(paragraph, maxWidth, measure, lines);
        if (end == std::u16string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}
