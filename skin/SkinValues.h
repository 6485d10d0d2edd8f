// The value syntaxes of the skin and override files: colours, integers and
// the bold flag. Each parser answers none for text it cannot read, so that
// the reader keeps the field's current value.
#pragma once

#include <optional>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"

namespace skin {

// The stored colour "TRANSPARENT": no brush or pen is made for it and its
// area is not filled. No colour read from hexadecimal digits can take this
// value (they never set the top byte).
constexpr COLORREF kTransparentColour = 0xFFFFFFFFu;

// "#RRGGBB" or "RRGGBB": the run of hexadecimal digits after the optional
// "#" must be exactly 6 long; whatever follows it is ignored. Or exactly
// "TRANSPARENT" (upper case), which gives kTransparentColour.
std::optional<COLORREF> ParseColour(std::u16string_view text);

// Decimal with optional leading white space and sign, at least one digit;
// whatever follows the digits is ignored. A number outside the 32-bit range
// is refused.
std::optional<int> ParseInteger(std::u16string_view text);

// Exactly "1" (weight 700) or "0" (weight 400).
std::optional<LONG> ParseBoldFlag(std::u16string_view text);

}  // namespace skin
