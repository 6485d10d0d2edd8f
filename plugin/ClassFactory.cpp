#include "plugin/ClassFactory.h"

#include <new>

#include "plugin/HomePlugin.h"
#include "plugin/LibraryState.h"
#include "plugin/Listener.h"

namespace plugin {

ClassFactory* ClassFactory::Create() { return new (std::nothrow) ClassFactory(); }

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() { return ++m_references; }

ULONG ClassFactory::Release()
{
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    HomePlugin* plugin = HomePlugin::Create();
    if (plugin == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = plugin->QueryInterface(iid, object);
    static_cast<IHomePlugin*>(plugin)->Release();
    return FAILED(result) ? E_NOINTERFACE : S_OK;
}

HRESULT ClassFactory::LockServer(BOOL lock)
{
    if (lock) {
        AddLibraryReference();
    } else if (ReleaseLibraryReference() == 0) {
        StopListener();
    }
    return S_OK;
}

}  // namespace plugin
