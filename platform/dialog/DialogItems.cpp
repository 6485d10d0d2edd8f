// The dialog-item helpers: controls found by identifier, their text as
// strings or numbers, messages and check marks.
#include <charconv>
#include <string>

#include "platform/win/Controls.h"
#include "platform/win/Dialog.h"

HWND GetDlgItem(HWND dialog, int id)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == id)
            return child;
    }
    return nullptr;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size)
{
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr) {
        if (buffer != nullptr && size > 0)
            buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(item, buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    WideString text(digits.begin(), digits.end());
    return SetDlgItemTextW(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated != nullptr)
        *translated = FALSE;
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr)
        return 0;
    int length = GetWindowTextLengthW(item);
    if (length <= 0 || length > 32)
        return 0;
    WideString text(static_cast<std::size_t>(length) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), length + 1)));
    std::string narrow;
    for (char16_t unit : text) {
        if (unit > 0x7F)
            return 0;
        narrow.push_back(static_cast<char>(unit));
    }
    std::size_t start = narrow.find_first_not_of(' ');
    if (start == std::string::npos)
        return 0;
    const char* first = narrow.data() + start;
    const char* last = narrow.data() + narrow.size();
    UINT result = 0;
    std::from_chars_result parsed{};
    if (isSigned) {
        int value = 0;
        parsed = std::from_chars(first, last, value);
        result = static_cast<UINT>(value);
    } else {
        parsed = std::from_chars(first, last, result);
    }
    if (parsed.ec != std::errc() || parsed.ptr != last)
        return 0;
    if (translated != nullptr)
        *translated = TRUE;
    return result;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SendMessageW(item, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr)
        return FALSE;
    SendMessageW(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    return static_cast<UINT>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}
