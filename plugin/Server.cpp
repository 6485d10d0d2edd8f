#include "plugin/Server.h"

#include "plugin/ClassFactory.h"
#include "plugin/LibraryState.h"
#include "plugin/PluginIds.h"

namespace plugin {

HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!(classId == kHomePluginClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = ClassFactory::Create();
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return FAILED(result) ? E_NOINTERFACE : S_OK;
}

HRESULT CanUnloadNow()
{
    // The listener's window procedure lives in this library.
    return LibraryReferences() > 0 || ListenerRunning() ? S_FALSE : S_OK;
}

}  // namespace plugin
