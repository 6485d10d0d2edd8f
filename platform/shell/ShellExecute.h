// Opening a document with the device's handler for it. The device hands web
// addresses (http:// and https://, in any case) to the desktop's opener,
// `xdg-open`, started detached so that the browser outlives nothing of the
// caller; nothing else is opened, and no shell ever sees the address.
//
// CORVANE_URL_OPENER names another opener program (a path, or a name looked
// up on PATH); tests use it to record the address instead of opening it.
#pragma once

#include "platform/base/Types.h"

constexpr ULONG SEE_MASK_FLAG_NO_UI = 0x00000400;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;

struct SHELLEXECUTEINFO {
    DWORD cbSize = sizeof(SHELLEXECUTEINFO);
    ULONG fMask = 0;
    HWND hwnd = nullptr;
    LPCWSTR lpVerb = nullptr;  // null or "open"
    LPCWSTR lpFile = nullptr;  // the address to open
    LPCWSTR lpParameters = nullptr;
    LPCWSTR lpDirectory = nullptr;
    int nShow = 0;
    HINSTANCE hInstApp = nullptr;  // out: greater than 32 when started
};

// Starts the opener for info->lpFile and returns without waiting for it.
// FALSE with ERROR_INVALID_PARAMETER for anything but an http or https
// address without control characters (or a verb other than "open", or
// parameters), with ERROR_NO_ASSOCIATION when no opener is installed.
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

namespace platform::shell {

// Whether ShellExecuteEx would hand this address to the opener.
bool IsOpenableAddress(std::u16string_view address);

}  // namespace platform::shell
