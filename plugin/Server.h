// The in-process server's entry points, behind the library's exports.
#pragma once

#include "platform/com/Com.h"

namespace plugin {

// The class factory of HomePlugin; CLASS_E_CLASSNOTAVAILABLE for any other
// class, E_NOINTERFACE when the factory does not offer `iid`.
HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object);
// S_FALSE while objects, locks or the listener thread remain.
HRESULT CanUnloadNow();

}  // namespace plugin
