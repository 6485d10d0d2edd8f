// Which scheme is current: the string value Scheme of
// HKEY_CURRENT_USER\ControlPanel\Home, read and set through the device's
// configuration manager with provisioning documents, as every program of
// the phone does.
#pragma once

#include <string>

#include "platform/base/Types.h"

namespace homescreen {

// Longer values are not taken as a path.
inline constexpr std::size_t kMaxSchemePathLength = 1024;

// The current scheme's path; empty when none is set, when the answer carries
// no value, or when the configuration manager fails.
WideString QueryCurrentScheme();

// Makes `path` the current scheme; false when the configuration manager
// refuses the document.
bool SetCurrentScheme(const WideString& path);

// Prepares a fresh device: writes the default scheme to
// DEVICE/Application Data/Home/default.xml when that file is missing, and
// makes it current when no scheme is set. Returns a line for the user
// ("scheme: PATH"), or an error text starting with "error".
std::string InitDevice();

}  // namespace homescreen
