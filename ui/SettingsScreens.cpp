// The configuration screens and the About box, as the main window's
// commands open them.
#include "app/AppCore.h"
#include "ui/AccountDialog.h"
#include "ui/MsgAboutWnd.h"
#include "ui/Screens.h"
#include "ui/SkinConfigDialog.h"
#include "ui/UIConfigDialog.h"

namespace screens {

int OpenAccountDialog(AppCore& core, HWND owner)
{
    RefPtr<AccountDialog> dialog = MakeRef<AccountDialog>(core);
    return static_cast<int>(dialog->DoModal(u"Account", 113, 116, owner));
}

int OpenSettingsDialog(AppCore&, HWND owner)
{
    RefPtr<UIConfigDialog> dialog = MakeRef<UIConfigDialog>();
    return static_cast<int>(dialog->DoModal(u"Settings", 50, 50, owner));
}

int OpenSkinDialog(AppCore& core, HWND owner)
{
    RefPtr<SkinConfigDialog> dialog = MakeRef<SkinConfigDialog>(core);
    return static_cast<int>(dialog->DoModal(u"Smilies & Skin", 50, 50, owner));
}

void ShowAbout(AppCore&, HWND)
{
    // The window map keeps the box alive until it is closed.
    RefPtr<MsgAboutWnd> about = MakeRef<MsgAboutWnd>();
    about->Open();
}

}  // namespace screens
