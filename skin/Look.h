// The look of the program as AppCore holds it: the current Skin and
// IconSet, loaded at start-up from the settings "SKIN_SOURCE" and
// "ICONS_SOURCE". A missing or broken set leaves the built-in look, so the
// program always starts with something it can draw.
#pragma once

#include "app/AppCore.h"
#include "skin/IconSet.h"
#include "skin/Skin.h"

namespace skin {

// Builds the built-in Skin and IconSet, finds the set files below the
// program folder's "Skin" and "Icons" folders, loads them and hands both to
// the core. Interface thread, during start-up.
void LoadLook(AppCore& core);

// The current skin and icon set; null before LoadLook.
RefPtr<Skin> CurrentSkin(AppCore& core);
RefPtr<IconSet> CurrentIconSet(AppCore& core);

// Makes `skin` the current skin; windows use it from their next paint. The
// old one goes when the last window lets it go.
void ReplaceSkin(AppCore& core, const RefPtr<Skin>& skin);

}  // namespace skin
