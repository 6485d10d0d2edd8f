// The device's configuration manager: programs change the phone's settings
// by handing it a provisioning document, and read them by handing it one
// with queries. The settings it knows are registry values: a document
//
//   <wap-provisioningdoc>
//     <characteristic type="Home">
//       <characteristic type="HKCU\ControlPanel\Home">
//         <parm-query name="Scheme" />          (or <parm name="Scheme" value="..." />)
//       </characteristic>
//     </characteristic>
//   </wap-provisioningdoc>
//
// reads (or writes) the string value "Scheme" of the key
// HKEY_CURRENT_USER\ControlPanel\Home. Any nesting of characteristics is allowed; the innermost
// one whose type starts with "HKCU\" or "HKLM\" names the key (HKLM is kept
// under HKEY_CURRENT_USER too: the device has one user). The answer is the
// same document with every parm-query replaced by a parm carrying the value;
// a query of a missing value answers a parm without "value".
//
// Both the program (the scheme installer) and the home screen use it.
#pragma once

#include "platform/base/Types.h"

constexpr DWORD CFGFLAG_PROCESS = 0x0001;
constexpr DWORD CFGFLAG_METADATA = 0x0002;
constexpr HRESULT CONFIG_E_BAD_XML = static_cast<HRESULT>(0x86000004u);
constexpr HRESULT CONFIG_E_OBJECTBUSY = static_cast<HRESULT>(0x86000001u);

// Processes `xmlIn` with `flags` (CFGFLAG_PROCESS). On success *xmlOut
// receives the answer, allocated with new[]; the caller frees it with
// delete[]. Bad XML gives CONFIG_E_BAD_XML and no answer; a document that
// could not be applied (a registry write failed) gives E_FAIL.
HRESULT DMProcessConfigXML(LPCWSTR xmlIn, DWORD flags, LPWSTR* xmlOut);

constexpr int MAX_PATH = 260;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_PROGRAM_FILES = 0x0026;

// Fills `path` (MAX_PATH characters) with a special folder of the device,
// without a trailing separator: CSIDL_APPDATA is DEVICE/Application Data.
// `create` makes the folder when it is missing. FALSE for other folders or
// when the folder does not exist (and could not be made).
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create);
