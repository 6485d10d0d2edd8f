// look-sheet PROGRAM_FOLDER SKIN_FILE ICONS_FILE WIDTHxHEIGHT OUTPUT.png
//
// Draws a sheet of a skin and an icon set at the size of the phone's work
// area: a caption in the status bar's look, one contact row per presence
// (the first one selected, the four row markers at the right ends), then
// the tool bar with the default key actions and their key numbers, and a
// second bar with the remaining tool bar images. Used to make the pictures
// in docs/screens and to look at a set by eye.
#include <cstdio>
#include <string>

#include "platform/base/WideString.h"
#include "platform/display/Png.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiState.h"
#include "skin/IconSet.h"
#include "skin/ResourceFolder.h"
#include "skin/Skin.h"

namespace {

using skin::IconSlot;
using skin::RowMarker;
using skin::ToolbarSlot;

struct Sheet {
    HDC dc;
    int width;
    int height;
    skin::Skin& look;
    skin::IconSet& icons;
};

void Fill(HDC dc, RECT rect, HBRUSH brush)
{
    if (brush != nullptr)
        FillRect(dc, &rect, brush);
}

void Text(HDC dc, const WideString& text, RECT rect, skin::SkinFont& font, COLORREF colour, UINT format)
{
    HGDIOBJ old = SelectObject(dc, font.Handle());
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
    SelectObject(dc, old);
}

int DrawRows(Sheet& s, int top)
{
    struct Row {
        IconSlot slot;
        const char16_t* name;
    };
    const Row rows[] = {{IconSlot::Online, u"Online"},        {IconSlot::FreeForChat, u"Free for chat"},
                        {IconSlot::Away, u"Away"},            {IconSlot::NotAvailable, u"Not available"},
                        {IconSlot::Occupied, u"Occupied"},    {IconSlot::Dnd, u"Do not disturb"},
                        {IconSlot::Invisible, u"Invisible"},  {IconSlot::Offline, u"Offline"}};
    const RowMarker markers[] = {RowMarker::Chat, RowMarker::Message, RowMarker::Typing, RowMarker::Authorisation};
    int h = s.look.ContactHeight();
    Fill(s.dc, RECT{0, top, s.width, top + h * 8}, s.look.ListBackgroundBrush());
    for (int i = 0; i < 8; ++i) {
        RECT r{0, top + i * h, s.width, top + (i + 1) * h};
        if (i == 0) {
            Fill(s.dc, r, s.look.SelectedRowBrush());
            if (HPEN pen = s.look.SelectedRowPen()) {
                HGDIOBJ old = SelectObject(s.dc, pen);
                POINT corners[] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                                   {r.left, r.bottom - 1}, {r.left, r.top}};
                Polyline(s.dc, corners, 5);
                SelectObject(s.dc, old);
            }
        }
        int iconWidth = 16;
        if (RefPtr<skin::SkinImage> icon = s.icons.Icon(rows[i].slot)) {
            if (auto drawable = icon->Get(s.dc)) {
                icon->Draw(s.dc, r.left + 1, r.top + (h - drawable->height + 1) / 2);
                iconWidth = drawable->width;
            }
        }
        COLORREF colour = rows[i].slot == IconSlot::Offline ? s.look.offlineColour : s.look.onlineColour;
        RECT text{r.left + iconWidth + 4, r.top, r.right, r.bottom};
        Text(s.dc, rows[i].name, text, s.look.listFont, colour, DT_VCENTER | DT_SINGLELINE);
        if (i < 4) {
            if (RefPtr<skin::SkinImage> marker = s.look.Marker(markers[i])) {
                if (auto drawable = marker->Get(s.dc))
                    marker->Draw(s.dc, r.right - 2 - drawable->width, r.top + (h - drawable->height + 1) / 2);
            }
        }
    }
    return top + 8 * h;
}

// A tool bar: ten buttons from x = 2, each image drawn, then the key digit
// over it when `digits` is set.
int DrawToolbar(Sheet& s, int top, const ToolbarSlot (&slots)[10], bool digits)
{
    int height = s.look.ToolbarHeight();
    Fill(s.dc, RECT{0, top, s.width, top + height}, s.look.ToolbarBrush());
    for (int i = 0; i < 10; ++i) {
        int x = 2 + i * s.look.toolbarButtonWidth;
        if (RefPtr<skin::SkinImage> image = s.look.ToolbarImage(slots[i]))
            image->Draw(s.dc, x, top + 1);
        if (digits) {
            int key = (i + 1) % 10;
            if (RefPtr<skin::SkinImage> digit = s.look.ToolbarImage(static_cast<ToolbarSlot>(key)))
                digit->Draw(s.dc, x, top + 1);
        }
    }
    return top + height;
}

void DrawSheet(Sheet& s)
{
    RECT all{0, 0, s.width, s.height};
    Fill(s.dc, all, s.look.BackgroundBrush());
    if (s.look.backgroundImage) {
        if (auto bg = s.look.backgroundImage->Get(s.dc))
            BitBlt(s.dc, 0, 0, bg->width, bg->height, bg->dc, 0, 0, SRCCOPY);
    }
    int top = 0;
    RECT caption{0, top + s.look.statusTextOffset, s.width, top + s.look.statusHeight};
    Text(s.dc, s.look.description, caption, s.look.statusFont, s.look.statusTextColour, DT_CENTER | DT_SINGLELINE);
    top = DrawRows(s, top + s.look.statusHeight) + 4;
    // Keys 1..9 and 0 with their default actions; key 9 has none.
    const ToolbarSlot defaults[10] = {ToolbarSlot::ShowOffline, ToolbarSlot::SoundOn,  ToolbarSlot::VibroOn,
                                      ToolbarSlot::Chat,        ToolbarSlot::Info,     ToolbarSlot::Find,
                                      ToolbarSlot::Settings,    ToolbarSlot::ScrollingOn, ToolbarSlot::Account,
                                      ToolbarSlot::Quit};
    const ToolbarSlot others[10] = {ToolbarSlot::HideOffline, ToolbarSlot::SoundOff,     ToolbarSlot::VibroOff,
                                    ToolbarSlot::ScrollingOff, ToolbarSlot::Quit,        ToolbarSlot::Chat,
                                    ToolbarSlot::Info,         ToolbarSlot::Find,        ToolbarSlot::Account,
                                    ToolbarSlot::Settings};
    top = DrawToolbar(s, top, others, false) + 4;
    DrawToolbar(s, top, defaults, true);
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0;
    int height = 0;
    if (argc != 6 || std::sscanf(argv[4], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 ||
        width > 2048 || height > 2048) {
        std::fprintf(stderr, "usage: look-sheet PROGRAM_FOLDER SKIN_FILE ICONS_FILE WIDTHxHEIGHT OUTPUT.png\n");
        return 2;
    }
    WideString program = platform::Utf8ToWide(argv[1]);
    WideString skinFile = platform::Utf8ToWide(argv[2]);
    WideString iconsFile = platform::Utf8ToWide(argv[3]);
    RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
    RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
    look->Load(skin::FindSetFolder(program, u"Skin", skinFile), skinFile);
    icons->Load(skin::FindSetFolder(program, u"Icons", iconsFile), iconsFile);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    Sheet sheet{dc, width, height, *look, *icons};
    DrawSheet(sheet);
    bool saved = platform::display::WritePng(argv[5], *platform::gdi::SurfaceOf(bitmap));
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    if (!saved) {
        std::fprintf(stderr, "look-sheet: cannot write %s\n", argv[5]);
        return 1;
    }
    return 0;
}
