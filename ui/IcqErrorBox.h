// The message box of an ICQ error reply to a directory request.
#pragma once

#include "platform/base/Types.h"

namespace infolayout {

// Shows the error text titled "ICQ error" over the owner; returns when the
// user closed it.
void ShowIcqError(HWND owner, const WideString& text);

}  // namespace infolayout
