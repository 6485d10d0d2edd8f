// The class's registry entries, written and removed by the library itself.
#pragma once

#include "platform/base/Types.h"

namespace plugin {

// HKEY_CLASSES_ROOT\CLSID\{class} = "CorvaneICQ Plugin", and its
// InprocServer32 = the library's file. E_FAIL when any step fails.
HRESULT RegisterServer();
// Removes InprocServer32, then the class key.
HRESULT UnregisterServer();

}  // namespace plugin
