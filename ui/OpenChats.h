// The open chat windows of the session, by the contact's UIN text. The chat
// window records itself when it is made and forgets itself when it closes;
// activating a contact row brings a recorded window back instead of making
// a second one.
#pragma once

#include "platform/base/Types.h"
#include "platform/win/Window.h"

namespace openchats {

// The live window recorded for the UIN, or null (a destroyed window is
// forgotten on the way).
HWND Find(const WideString& uin);
void Record(const WideString& uin, HWND window);
void Forget(const WideString& uin);
// Drops every record (the account changed). Interface thread.
void Clear();

}  // namespace openchats
