// RowPainter: one row of the contact list. The selected row gets the skin's
// selection fill and outline; every row shows its presence icon (the
// program's icon for the program row), the name in the online or offline
// colour, and the markers of the contact's state from the right edge.
#pragma once

#include "oscar/Contact.h"
#include "platform/gdi/Gdi.h"
#include "skin/IconSet.h"
#include "skin/Skin.h"

namespace ui {

// Shared by every row of one paint; the list font is already selected.
struct RowLook {
    skin::Skin& skin;
    const skin::IconSet* icons = nullptr;  // null: no presence icons
    HICON programIcon = nullptr;
    int lineHeight = 0;
    // Nothing is drawn below this line (the end of the list area).
    int bottomLimit = 0;
};

// Icons without a size of their own take this much room.
inline constexpr int kDefaultIconSize = 16;
// A marker whose image the skin lacks still takes this much room.
inline constexpr int kMissingMarkerWidth = 18;

// `contact` null: the program row. Call under the store's lock.
void PaintRow(HDC dc, const RECT& row, const Contact* contact, bool selected, const RowLook& look);

}  // namespace ui
