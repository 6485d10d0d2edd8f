#include "ui/framework/SoftKeyBar.h"

#include "app/AppGlobals.h"
#include "platform/shell/Shell.h"

bool uifw::MakeSoftKeyBar(HWND owner, UINT barId, SoftKeyBar& result)
{
    SHMENUBARINFO info;
    info.hwndParent = owner;
    info.nToolBarId = barId;
    info.hInstRes = app::Instance();
    if (!SHCreateMenuBar(&info))
        return false;
    result.bar = info.hwndMB;
    result.menu = reinterpret_cast<HMENU>(SendMessageW(result.bar, SHCMBM_GETMENU, 0, 0));
    return true;
}
