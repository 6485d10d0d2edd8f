// The device shell's services for programs: the soft-key bar (menu bar) made
// from a program's resources, full-screen dialog initialisation and the Back
// key's hand-back to the focused control.
#pragma once

#include "platform/base/Types.h"
#include "platform/win/Window.h"

constexpr UINT WM_HOTKEY = 0x0312;

// Menu-bar messages (sent to the bar's window).
constexpr UINT SHCMBM_SETSUBMENU = WM_USER + 400;
constexpr UINT SHCMBM_GETSUBMENU = WM_USER + 401;
constexpr UINT SHCMBM_GETMENU = WM_USER + 402;     // 0x592
constexpr UINT SHCMBM_OVERRIDEKEY = WM_USER + 403;  // 0x593
constexpr UINT SHMBOF_NODEFAULT = 0x0001;
constexpr UINT SHMBOF_NOTIFY = 0x0002;

// Relabelling a soft key: TB_SETBUTTONINFO to the bar, wParam = command.
constexpr UINT TB_GETBUTTONINFO = WM_USER + 63;
constexpr UINT TB_SETBUTTONINFO = WM_USER + 64;  // 0x440
constexpr DWORD TBIF_IMAGE = 0x0001;
constexpr DWORD TBIF_TEXT = 0x0002;
constexpr DWORD TBIF_STATE = 0x0004;
constexpr DWORD TBIF_STYLE = 0x0008;
constexpr DWORD TBIF_LPARAM = 0x0010;
constexpr DWORD TBIF_COMMAND = 0x0020;
constexpr BYTE TBSTATE_ENABLED = 0x04;

struct TBBUTTONINFOW {
    UINT cbSize = sizeof(TBBUTTONINFOW);
    DWORD dwMask = 0;
    int idCommand = 0;
    int iImage = 0;
    BYTE fsState = 0;
    BYTE fsStyle = 0;
    WORD cx = 0;
    DWORD_PTR lParam = 0;
    LPWSTR pszText = nullptr;
    int cchText = 0;
};

struct SHMENUBARINFO {
    DWORD cbSize = sizeof(SHMENUBARINFO);
    HWND hwndParent = nullptr;
    DWORD dwFlags = 0;
    UINT nToolBarId = 0;
    HINSTANCE hInstRes = nullptr;
    int nBmpId = 0;
    int cBmpImages = 0;
    HWND hwndMB = nullptr;  // out: the bar's window
    COLORREF clrBk = 0;
};

// Makes the soft-key bar resource nToolBarId of hInstRes for hwndParent.
// FALSE when the resource does not exist or the parent is not a window.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
// The bar of a window, or null.
HWND SHFindMenuBar(HWND window);

// Full-screen dialog initialisation.
constexpr DWORD SHIDIM_FLAGS = 0x0001;
constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;

struct SHINITDLGINFO {
    DWORD dwMask = 0;
    HWND hDlg = nullptr;
    DWORD dwFlags = 0;
};

BOOL SHInitDialog(SHINITDLGINFO* info);

// Hands a key message (the WM_HOTKEY of an overridden Back key) to the window
// that has the focus, as WM_KEYDOWN/WM_KEYUP of the Back key (0x1B; WM_KEYUP
// when the hot key's lParam carries MOD_KEYUP, 0x1000, in its low word).
void SHSendBackToFocusWindow(UINT message, WPARAM wParam, LPARAM lParam);
