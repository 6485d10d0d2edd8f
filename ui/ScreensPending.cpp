// Screens not built yet: each command does nothing and reports "cancelled".
#include "ui/Screens.h"

namespace screens {

int OpenAccountDialog(AppCore&, HWND) { return 0; }
int OpenSettingsDialog(AppCore&, HWND) { return 0; }
int OpenSkinDialog(AppCore&, HWND) { return 0; }
void ShowAbout(AppCore&, HWND) {}
void OpenChat(AppCore&, const RefPtr<Contact>&) {}

}  // namespace screens
