// The program's side of the link to the home-screen plug-in: the plug-in
// class's registry entries, and the state message that keeps the plug-in's
// row in step with the program.
#pragma once

#include <cstdint>
#include <vector>

#include "app/AppCore.h"

class ContactStore;

namespace home {

// HKEY_CLASSES_ROOT\CLSID\{plug-in class} = "CorvaneICQ Plugin", with
// InprocServer32 = the plug-in library in `programFolder` (which ends with a
// separator). Failures are ignored.
void RegisterPluginClass(const WideString& programFolder);

// What the program reports. Without a session the row shows "Disabled".
struct PluginReport {
    bool hasSession = false;
    std::int32_t onlineCount = -1;  // -1 while the session is not online
    std::int32_t unreadCount = 0;
    WideString text;
};

// The report for the current account of `core`.
PluginReport ReportFor(AppCore& core, const WideString& statusText);
// The report of a session (online or not) over its contacts: those online,
// free for chat or invisible count as online, and only while the session
// itself is online. Flags the server sends in the status's upper half
// (web-aware, direct-connection) do not change what a status counts as.
PluginReport ReportFrom(bool online, ContactStore& store, const WideString& statusText);

// The state message's payload: the ICQ block (or its absent flag) and an
// absent MSN block.
std::vector<BYTE> EncodePluginState(const PluginReport& report);

// Sends the status text to the plug-in's listener window, when there is one.
// While `enabled` the state goes out; a call with `enabled` false sends the
// message without state, after which nothing more is sent (the program is
// quitting).
void TellPlugin(const WideString& statusText, bool enabled);

// The last status text told (the text a new plug-in is given).
WideString LastToldText();

}  // namespace home
