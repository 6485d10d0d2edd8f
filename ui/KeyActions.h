// The actions a number key or the left soft key can run: their display
// texts, the tool bar image each shows, and the left soft key's label.
#pragma once

#include <array>
#include <optional>

#include "app/Settings.h"
#include "platform/base/Types.h"
#include "skin/Skin.h"

namespace keyactions {

// "None", "Quit", "Show/Hide Off", ... by action index.
const std::array<const WCHAR*, KeyAction::Count>& DisplayTexts();

// True for an index of the vocabulary.
constexpr bool IsAction(std::int32_t action) { return action >= 0 && action < KeyAction::Count; }

// The tool bar image of an action with the current switches; nothing for
// NONE and for values outside the vocabulary.
std::optional<skin::ToolbarSlot> ToolbarSlotOf(std::int32_t action, const Settings& settings);

// The image slot drawn over button `key` ("b0" ... "b9").
skin::ToolbarSlot DigitSlot(int key);

// The main window's left soft-key label for the LSOFTKEY action: "QUIT"
// for a value outside the vocabulary, "Show Offline" / "Hide Offline" for
// SHOWOFFLINE, otherwise the display text.
WideString LeftSoftKeyLabel(std::int32_t action, bool showOffline);

}  // namespace keyactions
