// Lines of an edit control: hard breaks at CR/LF, word wrap at spaces (a word
// longer than the line is cut), from per-unit advances.
#pragma once

#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace platform::controls {

struct EditLine {
    std::size_t start = 0;  // first unit
    std::size_t end = 0;    // one past the last shown unit (break characters excluded)
};

// `advances[i]` is the width of unit i. With `wrap` false the text is one
// line per hard break only. Always at least one line.
std::vector<EditLine> WrapLines(std::u16string_view text, const std::vector<int>& advances, int width, bool wrap);

// The line a caret position belongs to (the later line where a wrapped line
// ends and the next begins).
std::size_t LineOf(const std::vector<EditLine>& lines, std::size_t position);

// Width of units [from, to).
int SpanWidth(const std::vector<int>& advances, std::size_t from, std::size_t to);

// The position in `line` nearest to `x` pixels from its start.
std::size_t PositionAt(const EditLine& line, const std::vector<int>& advances, int x);

}  // namespace platform::controls
