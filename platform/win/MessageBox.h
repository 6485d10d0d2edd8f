// Message boxes: a card over the dimmed work area with a title, an icon and
// the wrapped text; the answers are on the soft keys. Modal: MessageBoxW runs
// its own message loop until a soft key, Action or Back answers it.
#pragma once

#include "platform/base/Types.h"
#include "platform/win/Window.h"

// Buttons (low nibble) and icons.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONHAND = MB_ICONERROR;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;

// Answers.
constexpr int IDRETRY = 4;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The left soft key gives the first answer (OK, Yes, Retry), the right soft
// key the second (Cancel, No); Action gives the default one (the first, or
// the second with MB_DEFBUTTON2); Back gives Cancel, No, or OK for MB_OK.
// The owner may be null; when it is destroyed meanwhile the box closes with
// the Back answer. Returns 0 when the box cannot be shown.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
