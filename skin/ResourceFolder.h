// Finding the set files (skins, icon sets, smiley sets) and the files they
// name. Set files lie one level below a folder of the program folder:
// AppFolder + kind + "/" + any subfolder + "/" + file name; the subfolder is
// the set's own folder and every image of the set is named relative to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace skin {

// Largest set file (skin, override or icon file) that is parsed; a larger
// one counts as a file that did not load.
constexpr std::int64_t kMaxSetFileBytes = 1 << 20;

// Folder and file name joined with one separator (none is added when the
// folder already ends with one). Empty when either part is empty.
WideString JoinPath(const WideString& folder, const WideString& fileName);

// The first subfolder of programFolder + kind (in the order the file system
// lists them) that holds a file of exactly this name; empty when none does
// or when the name is not a bare file name.
WideString FindSetFolder(const WideString& programFolder, std::u16string_view kind, const WideString& fileName);

// The names of the subfolders (or of the regular files) of a folder, in the
// order the file system lists them; empty when the folder cannot be read.
enum class EntryKind { Folders, Files };
std::vector<WideString> EntriesOf(const WideString& folder, EntryKind kind);

// True when a set may name this file: a relative path that stays inside the
// set's folder (no "..", no leading separator, no drive, no NUL). Either
// separator is accepted between folder names.
bool IsNameInsideSet(std::u16string_view name);

// The host path of a file a set names, or empty when the name leaves the
// set's folder. Backslashes become the device's separator.
std::string SetFilePath(const WideString& folder, const WideString& name);

// The size of a file in bytes, or -1 when it is missing or not a file.
std::int64_t FileSizeOf(const WideString& path);

}  // namespace skin
