// Skin: the look of the main program as read from a "*.Skin.xml" file and
// its override file "Override.<name>" beside it: colours (with their
// brushes and pen), background and marker images, fonts, row and bar
// heights, the tool bar images and the vertical order of contact list,
// status bar and tool bar.
//
// A Skin is built with the built-in look, loaded once and then only read,
// apart from the override setters the configuration screen applies before
// it saves the overrides. Windows take it from AppCore each time they draw.
// Interface thread only.
#pragma once

#include <array>
#include <string_view>

#include "app/RefCounted.h"
#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"
#include "platform/xml/XmlNode.h"
#include "skin/SkinFont.h"
#include "skin/SkinImage.h"
#include "skin/SkinValues.h"

namespace skin {

// The tool bar image slots in file order.
enum class ToolbarSlot {
    B0, B1, B2, B3, B4, B5, B6, B7, B8, B9,
    Quit, ShowOffline, HideOffline, SoundOn, SoundOff, VibroOn, VibroOff, ScrollingOn, ScrollingOff,
    Chat, Info, Find, Account, Settings,
};
constexpr std::size_t kToolbarSlotCount = 24;
std::u16string_view ToolbarSlotName(ToolbarSlot slot);

// The four marks at the right end of a contact row.
enum class RowMarker { Chat, Message, Typing, Authorisation };

// The stacking of contact list (L), status bar (S) and tool bar (T), top to
// bottom, as the main window reads it.
enum LayoutCode : int {
    kLayoutList = 1,
    kLayoutListStatus = 2,
    kLayoutListToolbar = 3,
    kLayoutListStatusToolbar = 4,
    kLayoutListToolbarStatus = 5,
    kLayoutStatusList = 6,
    kLayoutStatusListToolbar = 7,
    kLayoutStatusToolbarList = 8,
    kLayoutToolbarList = 9,
    kLayoutToolbarListStatus = 10,
    kLayoutToolbarStatusList = 11,
};

// The layout code of three bar positions (1 = top, 0 = not shown); 2 for a
// combination that has none.
int LayoutCodeFor(int contactListPosition, int statusPosition, int toolbarPosition);

class Skin : public virtual RefCounted {
public:
    // The built-in look; brushes and pen are made at once.
    Skin();

    // Reads folder + fileName and then its override file. False only when
    // folder and file name do not join to a path (the skin keeps the
    // built-in look); a file that does not load leaves the built-in values.
    bool Load(const WideString& folder, const WideString& fileName);

    // Writes the override file beside the skin file, replacing any earlier
    // one. False when there is no path or the file cannot be written.
    bool SaveOverrides() const;

    // Effective values: the override when it is set, else the skin's own.
    int ContactHeight() const { return contactHeightOverride != 0 ? contactHeightOverride : contactHeight; }
    int MessageAreaHeight() const { return messageAreaHeightOverride != 0 ? messageAreaHeightOverride : messageAreaHeight; }
    int ToolbarHeight() const { return toolbarHeightOverride != -1 ? toolbarHeightOverride : toolbarHeight; }

    void SetContactHeightOverride(int value) { contactHeightOverride = value; }
    void SetToolbarHeightOverride(int value) { toolbarHeightOverride = value; }
    void SetMessageAreaHeightOverride(int value) { messageAreaHeightOverride = value; }

    // Handles made from the colours; null for a transparent colour.
    HBRUSH BackgroundBrush() const { return m_backgroundBrush; }
    HBRUSH ListBackgroundBrush() const { return m_listBackgroundBrush; }
    HBRUSH SelectedRowBrush() const { return m_selectedRowBrush; }
    HPEN SelectedRowPen() const { return m_selectedRowPen; }
    HBRUSH ToolbarBrush() const { return m_toolbarBrush; }
    HBRUSH ToolbarSelectedBrush() const { return m_toolbarSelectedBrush; }
    HBRUSH ChatBackgroundBrush() const { return m_chatBackgroundBrush; }

    RefPtr<SkinImage> ToolbarImage(ToolbarSlot slot) const { return toolbarImages[static_cast<std::size_t>(slot)]; }
    RefPtr<SkinImage> Marker(RowMarker marker) const;

    // Positions of the bars from the top (0 = not shown) and their code.
    int ContactListPosition() const { return m_contactListPosition; }
    int StatusPosition() const { return m_statusPosition; }
    int ToolbarPosition() const { return m_toolbarPosition; }
    int Layout() const { return m_layoutCode; }

    // The values, with their built-in defaults. Colours may hold
    // kTransparentColour.
    WideString folder;
    WideString fileName;
    WideString description = u"Default Skin";
    COLORREF backgroundColour = RGB(0xEB, 0xF5, 0xFF);
    RefPtr<SkinImage> backgroundImage;

    COLORREF listBackgroundColour = RGB(0xEB, 0xF5, 0xFF);
    RefPtr<SkinImage> listBackgroundImage;
    COLORREF onlineColour = RGB(0x00, 0x00, 0xFF);
    COLORREF offlineColour = RGB(0xDC, 0x00, 0x00);
    COLORREF selectedRowColour = RGB(0xCD, 0xEB, 0xFF);
    COLORREF selectedBorderColour = RGB(0x40, 0x60, 0xA0);
    int contactHeight = 17;
    int contactHeightOverride = 0;
    SkinFont listFont{u"Nina", 14, FW_NORMAL};
    RefPtr<SkinImage> chatMarker;
    RefPtr<SkinImage> messageMarker;
    RefPtr<SkinImage> typingMarker;
    RefPtr<SkinImage> authorisationMarker;

    COLORREF statusTextColour = RGB(0, 0, 0);
    int statusHeight = 10;
    int statusTextOffset = -2;
    SkinFont statusFont{u"Nina", 12, FW_NORMAL};

    COLORREF toolbarColour = RGB(0xEB, 0xF5, 0xFF);
    COLORREF toolbarSelectedColour = RGB(0xCD, 0xEB, 0xFF);
    int toolbarHeight = 0;
    int toolbarHeightOverride = -1;  // 0 is a real value: no tool bar
    // Width of each of the ten tool bar buttons. A skin without "size"
    // gets room for a 16-pixel image and a 1-pixel gap.
    int toolbarButtonWidth = 17;
    std::array<RefPtr<SkinImage>, kToolbarSlotCount> toolbarImages;

    COLORREF chatBackgroundColour = RGB(0xEB, 0xF5, 0xFF);
    RefPtr<SkinImage> chatBackgroundImage;
    COLORREF ownMessageColour = RGB(0x00, 0x00, 0xFF);
    COLORREF contactMessageColour = RGB(0xFF, 0x00, 0x00);
    SkinFont chatFont{u"Nina", 15, FW_NORMAL};
    int messageAreaHeight = 3;
    int messageAreaHeightOverride = 0;
    int smileySpacing = 0;

    SkinFont userInfoFont{u"Nina", 9, FW_NORMAL};

protected:
    ~Skin() override;

private:
    void ReadValues(const platform::xml::XmlNode& root);
    void ReadListSection(const platform::xml::XmlNode& section);
    void ReadBarOrder(const platform::xml::XmlNode& root);
    void ReadOverrides(const platform::xml::XmlNode& root);
    void HideBar(int& position);
    void ApplyHiddenBars();
    void MakeBrushes();
    void DropBrushes();

    int m_contactListPosition = 1;
    int m_statusPosition = 2;
    int m_toolbarPosition = 0;
    int m_layoutCode = kLayoutListStatus;

    HBRUSH m_backgroundBrush = nullptr;
    HBRUSH m_listBackgroundBrush = nullptr;
    HBRUSH m_selectedRowBrush = nullptr;
    HPEN m_selectedRowPen = nullptr;
    HBRUSH m_toolbarBrush = nullptr;
    HBRUSH m_toolbarSelectedBrush = nullptr;
    HBRUSH m_chatBackgroundBrush = nullptr;
};

}  // namespace skin
