// The minimal COM of the simulated device: identifiers, result codes, the
// standard interfaces a home-screen plug-in and its host use, and the
// creation of objects from in-process servers registered in the device
// registry.
//
// Interfaces are C++ classes with pure virtual operations in the order the
// device defines them; objects count their references and free themselves
// on the last Release.
#pragma once

#include <cstring>
#include <optional>
#include <string_view>

#include "platform/base/Types.h"

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool IsEqualGUID(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }

constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_DLLNOTFOUND = static_cast<HRESULT>(0x800401F8u);
constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9u);
constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD COINIT_MULTITHREADED = 0x0;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hexadecimal.
WideString GuidToString(const GUID& guid);
// Accepts the braced form, either case; nullopt for anything else.
std::optional<GUID> GuidFromString(std::u16string_view text);

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

class IObjectWithSite : public IUnknown {
public:
    virtual HRESULT SetSite(IUnknown* site) = 0;
    virtual HRESULT GetSite(REFIID iid, void** site) = 0;

protected:
    ~IObjectWithSite() = default;
};

// A byte stream. Read reports the bytes read (fewer at the end, S_FALSE
// then); Write appends at the position.
class IStream : public IUnknown {
public:
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;

protected:
    ~IStream() = default;
};

class IPersist : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* classId) = 0;

protected:
    ~IPersist() = default;
};

struct ULARGE_INTEGER {
    std::uint64_t QuadPart = 0;
};

class IPersistStream : public IPersist {
public:
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT GetSizeMax(ULARGE_INTEGER* size) = 0;

protected:
    ~IPersistStream() = default;
};

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStream = {0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IObjectWithSite = {0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};

// The exports of an in-process server.
using DllGetClassObjectFunction = HRESULT (*)(REFCLSID classId, REFIID iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
// Called by the loader once after loading (reason 1) and before unloading
// (reason 0), when the library exports it.
using DllMainFunction = BOOL (*)(HINSTANCE module, DWORD reason, void* reserved);
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;

// Nothing to set up on this device; kept for the shape of the calling code.
HRESULT CoInitializeEx(void* reserved, DWORD flags);

// The class factory of a class registered under
// HKEY_CLASSES_ROOT\CLSID\{class}\InprocServer32 (default value: the
// library's path). The library is loaded once per process and kept until
// CoFreeUnusedLibraries finds it unused. REGDB_E_CLASSNOTREG when the class
// is not registered, CO_E_DLLNOTFOUND when the library does not load,
// CO_E_ERRORINDLL when it lacks DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID classId, DWORD context, void* reserved, REFIID iid, void** object);
// The factory's CreateInstance for that class.
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, void** object);
// Unloads the libraries whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();
