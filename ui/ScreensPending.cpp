// Screens not built yet: each does nothing and reports "cancelled".
#include "ui/Screens.h"

namespace screens {

void OpenChat(AppCore&, const RefPtr<Contact>&) {}

}  // namespace screens
