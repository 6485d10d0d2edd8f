// The simulated device's file system.
//
// The device folder (CORVANE_DEVICE, default ~/.corvane-device) plays the
// phone's storage:
//   Program Files/Corvane/   the program folder (the executable's folder)
//   Application Data/Home/   home-screen scheme files
//   registry.xml             the device registry
//   run/                     sockets of live top-level windows
// The path separator is '/'.
#pragma once

#include <string>

#include "platform/base/Types.h"

constexpr WCHAR kPathSeparator = u'/';

namespace platform {

// The device folder without a trailing separator. Read from the environment
// on every call, so a test may point it elsewhere before it starts windows.
std::string DeviceFolder();

// DEVICE/run, created when missing. Empty when it cannot be created.
std::string RunFolder();

// Files and folders the program creates on the device hold the user's
// account (settings, caches, histories, the registry): only the user may read
// them.
constexpr unsigned kPrivateFileMode = 0600;
constexpr unsigned kPrivateFolderMode = 0700;

// Creates a folder and its parents (readable by the user only); true when it
// exists afterwards. Folders that exist already keep their modes.
bool MakeFolders(const std::string& path);

// Takes the group's and others' rights from an open file, so a file made
// with wider modes before is tightened when it is written again. Failures
// (a file of another owner) are ignored: the write itself decides.
void RestrictToOwner(int fd);

// Records the file of a library the loader has loaded, so that
// GetModuleFileNameW answers for its handle (an empty path forgets it).
void SetModulePath(HMODULE module, const std::string& path);

}  // namespace platform

// Full path of the running executable (module null, or any module the loader
// did not load) or of a loaded library, as a wide string.
// Returns the characters copied without the terminator; 0 on failure. A
// buffer that is too small receives a truncated, terminated path and the
// error ERROR_INSUFFICIENT_BUFFER, as on the device.
DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size);

constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
