// Multi-tap letters of the number keys: pressing a key again within the
// commit time moves to the next character of its cycle.
#pragma once

#include <string_view>

#include "platform/base/Types.h"

namespace platform::controls {

// Device milliseconds after which a pending letter is committed.
constexpr UINT kMultiTapCommitMs = 1000;

// The cycle of a number key ('0'..'9'), empty for any other key.
std::u16string_view MultiTapCycle(WPARAM key);

}  // namespace platform::controls
