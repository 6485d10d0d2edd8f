// Line layout for DrawTextW: prefix characters, line breaks, word wrap and
// end ellipsis, on text whose per-unit advances are already measured.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace platform::gdi {

// "&x" underlines x and "&&" is one "&". Returns the text without the prefix
// characters; *underline is the index of the underlined unit or -1.
WideString StripPrefix(std::u16string_view text, int* underline);

struct TextLine {
    WideString text;        // as drawn (an ellipsis included)
    std::size_t start = 0;  // first unit in the laid-out text
    int width = 0;
};

// Lays out `text` (advances[i] is the advance of unit i, 0 for the second
// half of a surrogate pair) for a rectangle `width` wide. `format` is a
// DrawTextW format; `ellipsisWidth` the width of "...".
std::vector<TextLine> LayoutLines(std::u16string_view text, const std::vector<int>& advances, int width, UINT format,
                                  int ellipsisWidth);

}  // namespace platform::gdi
