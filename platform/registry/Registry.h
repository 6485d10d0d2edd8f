// The device registry: keys below HKEY_CLASSES_ROOT and HKEY_CURRENT_USER,
// each with named values (the default value has the empty name), kept in
// DEVICE/registry.xml.
//
// Every call reads the file afresh and every change rewrites it whole
// (a temporary file renamed over the old one) under a lock on
// DEVICE/registry.lock, so processes of one device see each other's changes
// and two writers never lose one another's keys. Names of keys and values
// compare case-insensitively. Results are Win32 error codes (ERROR_SUCCESS).
#pragma once

#include "platform/base/Types.h"

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_BADDB = 1009;

// Opens a key below `key`, creating it and its missing parents.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options, REGSAM access,
                     void* security, HKEY* result, DWORD* disposition);
// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCloseKey(HKEY key);
// REG_SZ data is UTF-16 with or without its terminator; REG_DWORD is 4
// bytes; other types are kept as bytes.
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
// A null data pointer asks for the size only; a buffer that is too small
// gives ERROR_MORE_DATA and the size needed. REG_SZ comes back terminated.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
// Deletes a key that has no subkeys.
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

namespace platform::registry {

// The string default (or named) value of a key, or empty when it is missing
// or not a string.
WideString ReadString(HKEY root, const WideString& subKey, const WideString& name = {});

}  // namespace platform::registry
