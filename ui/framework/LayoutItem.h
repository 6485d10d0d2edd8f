// The items of a dialog's layout list: controls with their size rules, and
// moves and pops of the layout cursor (see FlowLayout.h).
#pragma once

#include "app/RefCounted.h"
#include "platform/win/Window.h"

class WindowBase;

// A width (or x move): percent of the client width, pixels, average
// characters and caption widths (of the control itself, or for a move of
// the last control placed).
struct WidthRule {
    float percent = 0;
    short pixels = 0;
    short chars = 0;
    short captions = 0;
};

// A height (or y move): percent of the client height, pixels and lines.
struct HeightRule {
    float percent = 0;
    short pixels = 0;
    short lines = 0;
};

class LayoutItem : public virtual RefCounted {
public:
    enum Kind : std::int32_t { kControl = 0, kMoveX = 1, kMoveY = 2, kMoveXY = 3, kPop = 4 };

    Kind ItemKind() const { return m_kind; }

protected:
    explicit LayoutItem(Kind kind);
    ~LayoutItem() override;

private:
    Kind m_kind;
};

// A control of the dialog. A control wrapper is both its window object and
// this item (ControlObject); a bare item only takes part in the layout.
class ControlItem : public LayoutItem {
public:
    ControlItem(int id, WideString caption, DWORD style, WidthRule width, HeightRule height);

    HWND Handle() const { return m_window; }
    // Binds the control's window once the dialog exists.
    virtual void SetHandle(HWND window) { m_window = window; }
    // The window object of a wrapper, or null.
    virtual WindowBase* ControlObject() { return nullptr; }

    const WideString& Caption() const { return m_caption; }
    int Id() const { return m_id; }
    DWORD Style() const { return m_style; }
    const WidthRule& Width() const { return m_width; }
    const HeightRule& Height() const { return m_height; }
    // False: the layout leaves the control where it is.
    bool LaidOut() const { return m_layout; }
    void SetLaidOut(bool layout) { m_layout = layout; }

protected:
    ~ControlItem() override = default;

private:
    HWND m_window = nullptr;
    WideString m_caption;
    int m_id;
    DWORD m_style;
    WidthRule m_width;
    HeightRule m_height;
    bool m_layout = true;
};

// Moves the cursor right (kMoveX), down (kMoveY) or both (kMoveXY); the
// position before the move is kept for CursorPop.
class CursorMove : public LayoutItem {
public:
    explicit CursorMove(WidthRule x);
    explicit CursorMove(HeightRule y);
    CursorMove(WidthRule x, HeightRule y);

    const WidthRule& X() const { return m_x; }
    const HeightRule& Y() const { return m_y; }

private:
    WidthRule m_x;
    HeightRule m_y;
};

// Goes back `count` cursor moves (at most to where the layout started).
class CursorPop : public LayoutItem {
public:
    explicit CursorPop(std::int32_t count);

    std::int32_t Count() const { return m_count; }

private:
    std::int32_t m_count;
};
