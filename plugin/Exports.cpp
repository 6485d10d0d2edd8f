// The library's exports, as the device's loader and home screen call them.
#include "platform/com/Com.h"
#include "plugin/ClassFactory.h"
#include "plugin/LibraryState.h"
#include "plugin/Listener.h"
#include "plugin/PluginIds.h"
#include "plugin/Registration.h"

extern "C" {

__attribute__((visibility("default"))) BOOL DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        plugin::SetModule(module);
    return TRUE;
}

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!(classId == plugin::kHomePluginClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    plugin::ClassFactory* factory = plugin::ClassFactory::Create();
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return FAILED(result) ? E_NOINTERFACE : S_OK;
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return plugin::LibraryReferences() > 0 || plugin::ListenerRunning() ? S_FALSE : S_OK;
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer() { return plugin::RegisterServer(); }

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() { return plugin::UnregisterServer(); }

}  // extern "C"
