#include "platform/com/Com.h"

#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"

namespace {

struct LoadedLibrary {
    void* handle = nullptr;
    std::string path;
    DllGetClassObjectFunction getClassObject = nullptr;
    DllCanUnloadNowFunction canUnloadNow = nullptr;
    DllMainFunction main = nullptr;
};

std::mutex g_librariesMutex;
std::vector<LoadedLibrary> g_libraries;

HINSTANCE ModuleOf(void* handle) { return static_cast<HINSTANCE>(handle); }

// The library of that path, loaded (and started) on first use.
HRESULT LibraryFor(const std::string& path, DllGetClassObjectFunction* getClassObject)
{
    std::lock_guard lock(g_librariesMutex);
    for (const LoadedLibrary& library : g_libraries) {
        if (library.path == path) {
            *getClassObject = library.getClassObject;
            return S_OK;
        }
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "COM: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return CO_E_DLLNOTFOUND;
    }
    LoadedLibrary library;
    library.handle = handle;
    library.path = path;
    library.getClassObject = reinterpret_cast<DllGetClassObjectFunction>(::dlsym(handle, "DllGetClassObject"));
    library.canUnloadNow = reinterpret_cast<DllCanUnloadNowFunction>(::dlsym(handle, "DllCanUnloadNow"));
    library.main = reinterpret_cast<DllMainFunction>(::dlsym(handle, "DllMain"));
    if (library.getClassObject == nullptr) {
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    platform::SetModulePath(ModuleOf(handle), path);
    if (library.main != nullptr && !library.main(ModuleOf(handle), DLL_PROCESS_ATTACH, nullptr)) {
        platform::SetModulePath(ModuleOf(handle), {});
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    *getClassObject = library.getClassObject;
    g_libraries.push_back(library);
    return S_OK;
}

}  // namespace

WideString GuidToString(const GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return platform::Utf8ToWide(text);
}

std::optional<GUID> GuidFromString(std::u16string_view text)
{
    // Positions of the hexadecimal digits in "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}' || text[9] != u'-' || text[14] != u'-' ||
        text[19] != u'-' || text[24] != u'-')
        return std::nullopt;
    std::vector<BYTE> nibbles;
    for (std::size_t i = 1; i < 37; ++i) {
        if (i == 9 || i == 14 || i == 19 || i == 24)
            continue;
        WCHAR c = text[i];
        if (c >= u'0' && c <= u'9')
            nibbles.push_back(static_cast<BYTE>(c - u'0'));
        else if (c >= u'A' && c <= u'F')
            nibbles.push_back(static_cast<BYTE>(c - u'A' + 10));
        else if (c >= u'a' && c <= u'f')
            nibbles.push_back(static_cast<BYTE>(c - u'a' + 10));
        else
            return std::nullopt;
    }
    auto number = [&](std::size_t first, std::size_t count) {
        std::uint32_t value = 0;
        for (std::size_t i = first; i < first + count; ++i)
            value = value * 16 + nibbles[i];
        return value;
    };
    GUID guid;
    guid.Data1 = number(0, 8);
    guid.Data2 = static_cast<WORD>(number(8, 4));
    guid.Data3 = static_cast<WORD>(number(12, 4));
    for (std::size_t i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<BYTE>(number(16 + 2 * i, 2));
    return guid;
}

HRESULT CoInitializeEx(void*, DWORD) { return S_OK; }

HRESULT CoGetClassObject(REFCLSID classId, DWORD, void*, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    WideString path =
        platform::registry::ReadString(HKEY_CLASSES_ROOT, u"CLSID\\" + GuidToString(classId) + u"\\InprocServer32");
    if (path.empty())
        return REGDB_E_CLASSNOTREG;
    DllGetClassObjectFunction getClassObject = nullptr;
    HRESULT result = LibraryFor(platform::WideToUtf8(path), &getClassObject);
    if (FAILED(result))
        return result;
    return getClassObject(classId, iid, object);
}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT result = CoGetClassObject(classId, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result))
        return result;
    result = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return result;
}

void CoFreeUnusedLibraries()
{
    std::lock_guard lock(g_librariesMutex);
    for (auto library = g_libraries.begin(); library != g_libraries.end();) {
        if (library->canUnloadNow == nullptr || library->canUnloadNow() != S_OK) {
            ++library;
            continue;
        }
        if (library->main != nullptr)
            library->main(ModuleOf(library->handle), DLL_PROCESS_DETACH, nullptr);
        platform::SetModulePath(ModuleOf(library->handle), {});
        ::dlclose(library->handle);
        library = g_libraries.erase(library);
    }
}
