// Text the user typed into a chat while an earlier message to the contact
// was still on its way. The contact's unsent text holds the message being
// sent until it is confirmed, so a closing window leaves this text here and
// the contact's next chat window takes it back. Interface thread only.
#pragma once

#include "platform/base/Types.h"

namespace chat {

void KeepDraft(const WideString& uin, WideString text);
// The kept text (removed from the keeping), or empty.
WideString TakeDraft(const WideString& uin);

}  // namespace chat
