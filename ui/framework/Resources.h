// The program's resources: the soft-key bars 1532-1545, the menus of the
// bars with a "Menu" key (1532, 1534, 1536, 1544) and the soft-key strings
// 4000-4011. The entry registers them for the program instance before the
// first window is made.
#pragma once

#include "platform/win/Menu.h"

namespace resources {

// Soft-key strings.
constexpr UINT kStringQuit = 4000;
constexpr UINT kStringMenu = 4001;
constexpr UINT kStringBack = 4002;
constexpr UINT kStringOk = 4003;
constexpr UINT kStringCancel = 4004;
constexpr UINT kStringSave = 4005;
constexpr UINT kStringHide = 4006;
constexpr UINT kStringInsert = 4007;
constexpr UINT kStringPrevious = 4008;
constexpr UINT kStringNext = 4009;
constexpr UINT kStringDone = 4010;
constexpr UINT kStringFind = 4011;

// Soft-key bars.
constexpr UINT kBarMain = 1532;
constexpr UINT kBarChat = 1534;
constexpr UINT kBarUserInfo = 1536;
constexpr UINT kBarOkCancel = 1538;
constexpr UINT kBarWarning = 1539;
constexpr UINT kBarInsertCancel = 1540;
constexpr UINT kBarSetupStep1 = 1541;
constexpr UINT kBarSetupStep2 = 1542;
constexpr UINT kBarSearch = 1543;
constexpr UINT kBarSettings = 1544;
constexpr UINT kBarDone = 1545;

// The tables, as the program file carries them.
const platform::resources::ResourceSet& ProgramResources();

// Registers the tables for `instance` (the program's own, or any instance a
// test uses). False for a null instance.
bool RegisterProgramResources(HINSTANCE instance);

}  // namespace resources
