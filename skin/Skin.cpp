#include "skin/Skin.h"

namespace skin {
namespace {

HBRUSH BrushFor(COLORREF colour) { return colour == kTransparentColour ? nullptr : CreateSolidBrush(colour); }

template <typename Handle>
void Drop(Handle& handle)
{
    if (handle != nullptr)
        DeleteObject(handle);
    handle = nullptr;
}

}  // namespace

std::u16string_view ToolbarSlotName(ToolbarSlot slot)
{
    static constexpr std::u16string_view kNames[kToolbarSlotCount] = {
        u"b0",          u"b1",           u"b2",      u"b3",       u"b4",      u"b5",
        u"b6",          u"b7",           u"b8",      u"b9",       u"quit",    u"showoffline",
        u"hideoffline", u"soundon",      u"soundoff", u"vibroon", u"vibrooff", u"scrollingon",
        u"scrollingoff", u"chat",        u"info",    u"find",     u"account", u"settings"};
    return kNames[static_cast<std::size_t>(slot)];
}

int LayoutCodeFor(int list, int status, int toolbar)
{
    if (list == 1) {
        if (status == 2)
            return toolbar == 3 ? kLayoutListStatusToolbar : kLayoutListStatus;
        if (toolbar == 2)
            return status == 3 ? kLayoutListToolbarStatus : kLayoutListToolbar;
        return kLayoutList;
    }
    if (status == 1) {
        if (list == 2)
            return toolbar == 3 ? kLayoutStatusListToolbar : kLayoutStatusList;
        return toolbar == 2 ? kLayoutStatusToolbarList : kLayoutListStatus;
    }
    if (toolbar == 1) {
        if (list == 2)
            return status == 3 ? kLayoutToolbarListStatus : kLayoutToolbarList;
        return status == 2 ? kLayoutToolbarStatusList : kLayoutListStatus;
    }
    return kLayoutListStatus;
}

Skin::Skin() { MakeBrushes(); }

Skin::~Skin() { DropBrushes(); }

RefPtr<SkinImage> Skin::Marker(RowMarker marker) const
{
    switch (marker) {
    case RowMarker::Chat:
        return chatMarker;
    case RowMarker::Message:
        return messageMarker;
    case RowMarker::Typing:
        return typingMarker;
    case RowMarker::Authorisation:
        return authorisationMarker;
    }
    return nullptr;
}

// A hidden bar gives up its place: the bars below it move up by one.
void Skin::HideBar(int& position)
{
    if (position == 0)
        return;
    for (int* other : {&m_contactListPosition, &m_statusPosition, &m_toolbarPosition}) {
        if (other != &position && *other > position)
            --*other;
    }
    position = 0;
}

void Skin::ApplyHiddenBars()
{
    if (statusHeight == 0)
        HideBar(m_statusPosition);
    if (ToolbarHeight() == 0)
        HideBar(m_toolbarPosition);
    m_layoutCode = LayoutCodeFor(m_contactListPosition, m_statusPosition, m_toolbarPosition);
}

void Skin::MakeBrushes()
{
    DropBrushes();
    m_backgroundBrush = BrushFor(backgroundColour);
    m_listBackgroundBrush = BrushFor(listBackgroundColour);
    m_selectedRowBrush = BrushFor(selectedRowColour);
    if (selectedBorderColour != kTransparentColour)
        m_selectedRowPen = CreatePen(PS_SOLID, 0, selectedBorderColour);
    m_toolbarBrush = BrushFor(toolbarColour);
    m_toolbarSelectedBrush = BrushFor(toolbarSelectedColour);
    m_chatBackgroundBrush = BrushFor(chatBackgroundColour);
}

void Skin::DropBrushes()
{
    Drop(m_backgroundBrush);
    Drop(m_listBackgroundBrush);
    Drop(m_selectedRowBrush);
    Drop(m_selectedRowPen);
    Drop(m_toolbarBrush);
    Drop(m_toolbarSelectedBrush);
    Drop(m_chatBackgroundBrush);
}

}  // namespace skin
