// The one rule for what a UIN is: 1 to 12 decimal digits. The network carries
// UINs in that form, and UINs name the history files and folders, so text
// that breaks the rule is neither sent, stored in the contact list, nor used
// as a file name.
#pragma once

#include <cstddef>
#include <string_view>

namespace app {

inline constexpr std::size_t kMaxUinDigits = 12;

bool IsUinText(std::u16string_view text);

}  // namespace app
