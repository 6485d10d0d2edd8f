// Dialogs from in-memory templates: the template layout, modal dialog boxes,
// the default dialog procedure with the phone's key handling, and the
// dialog-item helpers.
//
// A template is a DLGTEMPLATE header followed by the menu, class and title
// (each 0x0000, 0xFFFF and an ordinal, or a zero-terminated UTF-16 string),
// with DS_SETFONT the point size and face name, then one DLGITEMTEMPLATE per
// control, each on a 4-byte boundary, followed by its class (0xFFFF and a
// predefined atom 0x0080-0x0085, or a name), its title and its creation data
// (a 16-bit count of the bytes that follow it, then those bytes). A control
// receives a pointer to its creation data (the count word first) as
// CREATESTRUCTW::lpCreateParams, or null when the count is 0.
//
// Keys in a dialog: Up and Down move the focus between the visible, enabled
// WS_TABSTOP controls (wrapping at the ends) unless the focused control's
// WM_GETDLGCODE asks for arrows or all keys; Back (VK_ESCAPE) sends
// WM_COMMAND IDCANCEL unless the control asks for all keys, and IDCANCEL
// that the dialog procedure leaves unanswered ends the dialog with IDCANCEL.
#pragma once

#include "platform/base/Types.h"
#include "platform/win/Window.h"

using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_NEXTDLGCTL = 0x0028;

// Dialog styles.
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_CENTER = 0x0800;

#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};

struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(DLGTEMPLATE) == 18);
static_assert(sizeof(DLGITEMTEMPLATE) == 18);

// Creates the dialog (owned by `parent`, which is disabled meanwhile), runs
// its modal loop until EndDialog and returns the code given to it; -1 when
// the template is malformed (runs past its end, an unterminated string, an
// unknown class) or a window cannot be created.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam);
// Ends the modal loop of `dialog` with `result`; the dialog is destroyed
// when the loop returns.
BOOL EndDialog(HWND dialog, INT_PTR result);
// Default processing for dialog windows: calls the dialog's DLGPROC first,
// then answers WM_GETFONT/WM_SETFONT, the keys above, WM_CLOSE (as
// IDCANCEL), WM_ERASEBKGND (white) and the rest as DefWindowProcW.
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog's key handling for a message taken from the queue; TRUE when
// it was used up.
BOOL IsDialogMessageW(HWND dialog, MSG* message);

HWND GetDlgItem(HWND dialog, int id);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
// Reads a decimal number (optional sign when isSigned); *translated tells
// whether the whole text was a number in range.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);

namespace platform::dialog {

// The class of dialogs whose template names none.
inline constexpr const WCHAR* kDefaultDialogClass = u"#32770";

// Largest template DialogBoxIndirectParamW reads through its pointer; the
// structure itself ends the reading earlier.
constexpr std::size_t kMaxTemplateBytes = 256 * 1024;

// DialogBoxIndirectParamW on a buffer of known size.
INT_PTR DialogBoxFromBuffer(HINSTANCE instance, const BYTE* data, std::size_t size, HWND parent, DLGPROC dialogProc,
                            LPARAM initParam);

}  // namespace platform::dialog
