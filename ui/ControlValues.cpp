#include "ui/ControlValues.h"

#include <string>

#include "platform/win/Controls.h"
#include "platform/win/Dialog.h"

namespace ui {

void SetChecked(HWND dialog, int id, bool checked)
{
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetEditText(HWND dialog, int id, const WideString& text)
{
    SendDlgItemMessageW(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    auto end = static_cast<LPARAM>(text.size());
    SendDlgItemMessageW(dialog, id, EM_SETSEL, static_cast<WPARAM>(end), end);
}

WideString EditText(HWND dialog, int id, std::size_t maxChars)
{
    std::vector<WCHAR> buffer(maxChars + 1, 0);
    LRESULT length = SendDlgItemMessageW(dialog, id, WM_GETTEXT, static_cast<WPARAM>(buffer.size()),
                                         reinterpret_cast<LPARAM>(buffer.data()));
    if (length <= 0)
        return {};
    return WideString(buffer.data(), std::min(static_cast<std::size_t>(length), maxChars));
}

void FillList(HWND dialog, int id, const std::vector<WideString>& texts, int selected)
{
    SendDlgItemMessageW(dialog, id, LB_RESETCONTENT, 0, 0);
    for (const WideString& text : texts)
        SendDlgItemMessageW(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (selected >= 0 && static_cast<std::size_t>(selected) < texts.size())
        SendDlgItemMessageW(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int ListSelection(HWND dialog, int id)
{
    LRESULT selected = SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0);
    return selected < 0 ? -1 : static_cast<int>(selected);
}

WideString DecimalText(int value)
{
    std::string text = std::to_string(value);
    return WideString(text.begin(), text.end());
}

int LeadingNumber(std::u16string_view text, int ceiling)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > ceiling)
            return ceiling;
    }
    return static_cast<int>(value);
}

}  // namespace ui
