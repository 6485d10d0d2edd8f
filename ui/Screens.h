// The screens the main window opens by command. Each runs modally (or shows
// a window) and returns what the main window needs to react as its command
// table says: the dialog's end code, 1 for "OK".
#pragma once

#include "app/RefCounted.h"
#include "oscar/Contact.h"
#include "platform/base/Types.h"

class AppCore;

namespace screens {

// "Info" (41002): UserInfoWindow for the contact, titled display name + " info".
int OpenUserInfo(AppCore& core, HWND owner, const RefPtr<Contact>& contact);
// "Find ICQ User" (41011): SearchWindow titled "Search".
int OpenSearch(AppCore& core, HWND owner);
// "Account" (41101): AccountDialog titled "Account".
int OpenAccountDialog(AppCore& core, HWND owner);
// "Settings" (41103): UIConfigDialog titled "Settings".
int OpenSettingsDialog(AppCore& core, HWND owner);
// "Icons/Smilies/Skin" (41104): SkinConfigDialog titled "Smilies & Skin".
int OpenSkinDialog(AppCore& core, HWND owner);
// "About..." (41406): shows MsgAboutWnd titled "About...".
void ShowAbout(AppCore& core, HWND owner);
// Activating a contact row: the contact's chat window, made or brought up.
void OpenChat(AppCore& core, const RefPtr<Contact>& contact);

}  // namespace screens
