// Kept apart from the dialogs: the message-box and dialog headers both name
// the standard answers.
#include "ui/IcqErrorBox.h"

#include "platform/win/MessageBox.h"

void infolayout::ShowIcqError(HWND owner, const WideString& text)
{
    MessageBoxW(owner, text.c_str(), u"ICQ error", MB_OK | MB_ICONERROR);
}
