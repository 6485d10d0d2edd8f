// The library's exports, as the device's loader and home screen call them.
#include "platform/com/Com.h"
#include "plugin/LibraryState.h"
#include "plugin/Registration.h"
#include "plugin/Server.h"

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

PLUGIN_EXPORT BOOL DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        plugin::SetModule(module);
    return TRUE;
}

PLUGIN_EXPORT HRESULT DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    return plugin::GetClassObject(classId, iid, object);
}

PLUGIN_EXPORT HRESULT DllCanUnloadNow() { return plugin::CanUnloadNow(); }

PLUGIN_EXPORT HRESULT DllRegisterServer() { return plugin::RegisterServer(); }

PLUGIN_EXPORT HRESULT DllUnregisterServer() { return plugin::UnregisterServer(); }
