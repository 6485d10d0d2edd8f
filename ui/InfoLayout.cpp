#include "ui/InfoLayout.h"

#include <vector>

namespace infolayout {

void Start(DialogBase& dialog) { dialog.AddItem(MoveRightDown({0, 2, 0, 0}, {0, 1, 0})); }

void Row(DialogBase& dialog, int labelId, const WideString& caption, const RefPtr<ControlItem>& value)
{
    dialog.AddItem(LabelItem(labelId, caption, WidthRule{0, 3, 0, 1}, 1));
    dialog.AddItem(MoveRight({0, 0, kLabelChars, 0}));
    dialog.AddItem(value);
    dialog.AddItem(MoveBack(1));
    dialog.AddItem(MoveDown({0, 2, 1}));
}

RefPtr<TextBoxWindow> EditRow(DialogBase& dialog, int labelId, const WideString& caption, DWORD editStyles)
{
    RefPtr<TextBoxWindow> edit = EditItem(labelId + 1, editStyles, kValueWidth, kLineHeight);
    Row(dialog, labelId, caption, RefPtr<ControlItem>(edit.Get()));
    return edit;
}

RefPtr<StaticWindow> StatusLine(DialogBase& dialog, int id)
{
    return dialog.AddItem(LabelItem(id, u"", WidthRule{100, -4, 0, 0}, 1));
}

std::uint32_t UinNumber(const WideString& text)
{
    if (text.empty() || text.size() > 10)
        return 0;
    std::uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    return value <= 0xFFFFFFFFu ? static_cast<std::uint32_t>(value) : 0;
}

WideString ControlText(HWND control, int limit)
{
    std::vector<WCHAR> buffer(static_cast<std::size_t>(limit) + 1, 0);
    int length = GetWindowTextW(control, buffer.data(), limit + 1);
    return WideString(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

}  // namespace infolayout
