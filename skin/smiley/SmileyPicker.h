// Choosing a smiley for a message: the picker that suits the set, run
// modally over the chat window, and typing the chosen code into the edit box.
#pragma once

#include "platform/win/Window.h"
#include "skin/Skin.h"
#include "skin/smiley/SmileySet.h"

namespace skin {

inline constexpr std::u16string_view kPickerTitle = u"Select smile";

// Reads the set when needed; with no smiley in it, nothing is shown and
// null is returned. Otherwise runs SmileWindow (pictures) or, for a
// text-only set, TextSmileWindow over `parent` and returns the chosen
// smiley, or null when the user cancelled. `look` null: the current skin.
RefPtr<Smiley> PickSmiley(const RefPtr<SmileySet>& set, HWND parent, RefPtr<Skin> look = nullptr);

// Types the smiley's code into `target` (an edit box) as one WM_CHAR per
// character, as if it had been keyed in.
void TypeSmileyCode(HWND target, const Smiley& smiley);

}  // namespace skin
