#include "plugin/Registration.h"

#include "platform/base/Device.h"
#include "platform/registry/Registry.h"
#include "plugin/LibraryState.h"
#include "plugin/PluginIds.h"

namespace plugin {

namespace {

LONG SetDefaultString(HKEY key, const WideString& text)
{
    // The terminator is part of the value.
    return RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

}  // namespace

HRESULT RegisterServer()
{
    WCHAR file[513] = {};
    DWORD length = GetModuleFileNameW(Module(), file, 513);
    if (Module() == nullptr || length == 0)
        return E_FAIL;
    HKEY classKey = nullptr;
    HKEY serverKey = nullptr;
    bool ok = RegCreateKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classKey,
                              nullptr) == ERROR_SUCCESS &&
              SetDefaultString(classKey, kClassDescription) == ERROR_SUCCESS &&
              RegCreateKeyExW(classKey, u"InprocServer32", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &serverKey,
                              nullptr) == ERROR_SUCCESS &&
              SetDefaultString(serverKey, WideString(file, length)) == ERROR_SUCCESS;
    if (serverKey != nullptr)
        RegCloseKey(serverKey);
    if (classKey != nullptr)
        RegCloseKey(classKey);
    return ok ? S_OK : E_FAIL;
}

HRESULT UnregisterServer()
{
    bool ok = RegDeleteKeyW(HKEY_CLASSES_ROOT, kServerKey) == ERROR_SUCCESS;
    ok = RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey) == ERROR_SUCCESS && ok;
    return ok ? S_OK : E_FAIL;
}

}  // namespace plugin
