#include "ui/RowPainter.h"

#include <algorithm>
#include <vector>

#include "oscar/ContactOrder.h"
#include "oscar/OnlineStatus.h"

namespace ui {
namespace {

constexpr char16_t kProgramName[] = u"Corvane";
constexpr UINT kTextFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

void PaintSelection(HDC dc, const RECT& row, const skin::Skin& skin)
{
    if (HBRUSH brush = skin.SelectedRowBrush())
        FillRect(dc, &row, brush);
    if (HPEN pen = skin.SelectedRowPen()) {
        const POINT corners[] = {{row.left, row.top},
                                 {row.right - 1, row.top},
                                 {row.right - 1, row.bottom - 1},
                                 {row.left, row.bottom - 1},
                                 {row.left, row.top}};
        HGDIOBJ old = SelectObject(dc, pen);
        Polyline(dc, corners, 5);
        SelectObject(dc, old);
    }
}

// Draws the image with its top-left at (x, y), cut off at the bottom limit.
void DrawImage(HDC dc, const skin::SkinImage::Drawable& image, int x, int y, const RowLook& look)
{
    int shown = std::min(image.height, look.bottomLimit - y);
    if (shown > 0)
        TransparentImage(dc, x, y, image.width, shown, image.dc, 0, 0, image.width, shown, image.keyColour);
}

// The markers from the right edge leftwards; returns the x where the text
// has to end (the row's right edge when there is no marker).
int PaintMarkers(HDC dc, const RECT& row, const Contact* contact, const RowLook& look)
{
    std::vector<skin::RowMarker> shown;
    if (contact == nullptr) {
        shown.push_back(skin::RowMarker::Message);
    } else {
        if (contact->mark)
            shown.push_back(skin::RowMarker::Chat);
        if (contact->unread)
            shown.push_back(skin::RowMarker::Message);
        if (contact->typing)
            shown.push_back(skin::RowMarker::Typing);
        if (contact->authorisationRequested)
            shown.push_back(skin::RowMarker::Authorisation);
    }
    if (shown.empty())
        return row.right;
    int x = row.right - 2;
    int height = row.bottom - row.top;
    for (skin::RowMarker marker : shown) {
        RefPtr<skin::SkinImage> image = look.skin.Marker(marker);
        auto drawable = image ? image->Get(dc) : std::nullopt;
        x -= drawable ? drawable->width : kMissingMarkerWidth;
        if (drawable) {
            int top = row.top + (height - drawable->height) / 2;
            DrawImage(dc, *drawable, x, top, look);
        }
        x -= 2;
    }
    return x;
}

// The icon at the row's left; returns its width.
int PaintIcon(HDC dc, const RECT& row, const Contact* contact, const RowLook& look)
{
    int height = row.bottom - row.top;
    if (contact == nullptr) {
        int top = row.top + (height - kDefaultIconSize + 1) / 2;
        if (look.programIcon != nullptr && top + kDefaultIconSize <= look.bottomLimit)
            DrawIconEx(dc, row.left + 1, top, look.programIcon, kDefaultIconSize, kDefaultIconSize, 0, nullptr,
                       DI_NORMAL);
        return kDefaultIconSize;
    }
    RefPtr<skin::SkinImage> image =
        look.icons != nullptr ? look.icons->IconForPresence(OnlineStatus::Principal(contact->status)) : nullptr;
    auto drawable = image ? image->Get(dc) : std::nullopt;
    if (!drawable)
        return kDefaultIconSize;
    DrawImage(dc, *drawable, row.left + 1, row.top + (height - drawable->height + 1) / 2, look);
    return drawable->width;
}

}  // namespace

void PaintRow(HDC dc, const RECT& row, const Contact* contact, bool selected, const RowLook& look)
{
    RECT visible = row;
    visible.bottom = std::min(row.bottom, look.bottomLimit);
    if (selected)
        PaintSelection(dc, visible, look.skin);
    int iconWidth = PaintIcon(dc, row, contact, look);
    int textRight = PaintMarkers(dc, row, contact, look);

    const WideString& text = contact != nullptr ? oscar::DisplayName(*contact) : WideString(kProgramName);
    bool offline = contact != nullptr && contact->status == OnlineStatus::Offline;
    SetTextColor(dc, offline ? look.skin.offlineColour : look.skin.onlineColour);
    SetBkMode(dc, TRANSPARENT);
    RECT box{row.left + iconWidth + 2, row.top + (row.bottom - row.top - look.lineHeight) / 2, textRight,
             visible.bottom};
    if (box.right > box.left && !text.empty())
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kTextFormat);
}

}  // namespace ui
