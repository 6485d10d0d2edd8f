// Full-screen dialog initialisation: the dialog takes the whole work area
// between the title strip and the soft-key strip.
#include "platform/display/Display.h"
#include "platform/shell/Shell.h"

BOOL SHInitDialog(SHINITDLGINFO* info)
{
    if (info == nullptr || !IsWindow(info->hDlg))
        return FALSE;
    constexpr DWORD kSizing = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;
    if ((info->dwMask & SHIDIM_FLAGS) == 0 || (info->dwFlags & kSizing) == 0)
        return TRUE;
    RECT area = platform::display::Layout().WorkArea();
    if ((info->dwFlags & SHIDIF_FULLSCREENNOMENUBAR) != 0)
        area.bottom = platform::display::Layout().height;
    return SetWindowPos(info->hDlg, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                        SWP_NOZORDER);
}
