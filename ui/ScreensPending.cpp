// Screens not built yet: each command does nothing and reports "cancelled".
#include "ui/Screens.h"

namespace screens {

int OpenUserInfo(AppCore&, HWND, const RefPtr<Contact>&) { return 0; }
int OpenSearch(AppCore&, HWND) { return 0; }
void OpenChat(AppCore&, const RefPtr<Contact>&) {}

}  // namespace screens
