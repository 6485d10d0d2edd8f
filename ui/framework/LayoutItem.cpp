#include "ui/framework/LayoutItem.h"

#include <utility>

#include "ui/framework/WindowBase.h"

LayoutItem::LayoutItem(Kind kind) : m_kind(kind) { uifw::CountObject(1); }

LayoutItem::~LayoutItem() { uifw::CountObject(-1); }

ControlItem::ControlItem(int id, WideString caption, DWORD style, WidthRule width, HeightRule height)
    : LayoutItem(kControl), m_caption(std::move(caption)), m_id(id), m_style(style), m_width(width), m_height(height)
{
}

CursorMove::CursorMove(WidthRule x) : LayoutItem(kMoveX), m_x(x) {}

CursorMove::CursorMove(HeightRule y) : LayoutItem(kMoveY), m_y(y) {}

CursorMove::CursorMove(WidthRule x, HeightRule y) : LayoutItem(kMoveXY), m_x(x), m_y(y) {}

CursorPop::CursorPop(std::int32_t count) : LayoutItem(kPop), m_count(count) {}
