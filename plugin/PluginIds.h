// The names the plug-in shares with the home screen and with the program.
#pragma once

#include "platform/com/Com.h"

namespace plugin {

// The class of the home-screen object.
inline constexpr CLSID kHomePluginClass = {
    0xFCCE0008, 0xC09E, 0x4FE2, {0x8B, 0x57, 0x6D, 0x75, 0x3D, 0x21, 0x27, 0xAD}};
inline constexpr const WCHAR* kClassKey = u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}";
inline constexpr const WCHAR* kServerKey = u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}\\InprocServer32";
inline constexpr const WCHAR* kClassDescription = u"CorvaneICQ Plugin";

// The hidden window that receives the program's state, and the program's
// main window.
inline constexpr const WCHAR* kListenerClass = u"C393EBFC-31A9-449A-9CC6-5CD2EE03F174";
inline constexpr const WCHAR* kListenerTitle = u"ICQPlugin";
inline constexpr const WCHAR* kProgramWindowClass = u"B46A692A-BC3B-40E7-A3E8-5058053677A5";

// The program file, started from the plug-in's own folder.
inline constexpr const WCHAR* kProgramFile = u"Corvane";

}  // namespace plugin
