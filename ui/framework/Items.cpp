#include "ui/framework/Items.h"

#include <utility>

namespace {

constexpr DWORD kCheckBoxStyle = 0x50010003;  // child, visible, tab stop, auto check box
constexpr DWORD kLabelStyle = 0x5000000C;     // child, visible, left-aligned, no word wrap
constexpr DWORD kEditStyle = 0x50010000;      // child, visible, tab stop

}  // namespace

RefPtr<CheckBoxWindow> CheckBoxItem(int id, WideString caption, WidthRule width)
{
    return MakeRef<CheckBoxWindow>(id, std::move(caption), kCheckBoxStyle, width, HeightRule{0, 3, 1});
}

RefPtr<StaticWindow> LabelItem(int id, WideString caption, WidthRule width, short heightPixels)
{
    return MakeRef<StaticWindow>(id, std::move(caption), kLabelStyle, width, HeightRule{0, heightPixels, 1});
}

RefPtr<TextBoxWindow> EditItem(int id, DWORD editStyles, WidthRule width, HeightRule height)
{
    return MakeRef<TextBoxWindow>(id, WideString(), kEditStyle | editStyles, width, height);
}

RefPtr<UpDownWindow> SpinItem(int id, DWORD style, RefPtr<ControlItem> buddy)
{
    return MakeRef<UpDownWindow>(id, style, std::move(buddy));
}

RefPtr<CursorMove> MoveRight(WidthRule x) { return MakeRef<CursorMove>(x); }
RefPtr<CursorMove> MoveDown(HeightRule y) { return MakeRef<CursorMove>(y); }
RefPtr<CursorMove> MoveRightDown(WidthRule x, HeightRule y) { return MakeRef<CursorMove>(x, y); }
RefPtr<CursorPop> MoveBack(std::int32_t count) { return MakeRef<CursorPop>(count); }
