// Word wrapping of a text to a pixel width, for windows that draw their own
// text.
#pragma once

#include <functional>
#include <vector>

#include "platform/base/Types.h"

// Pixels of a piece of text.
using TextMeasure = std::function<int(std::u16string_view text)>;

// Lines of at most maxWidth pixels, broken after spaces where possible and
// inside a word only when the word alone is wider; a line break in the text
// always starts a new line. Spaces at a break are dropped.
std::vector<WideString> WrapText(std::u16string_view text, int maxWidth, const TextMeasure& measure);
