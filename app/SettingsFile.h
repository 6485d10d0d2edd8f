// Reading and replacing the settings file on the device's file system.
#pragma once

#include <string>

namespace app {

// Largest settings file that is read; a real one is a few hundred bytes.
// Bytes past this limit are ignored.
constexpr std::size_t kMaxSettingsFileBytes = 16u << 20;

// Reads the whole file (up to kMaxSettingsFileBytes). False when it cannot be opened.
bool ReadSettingsFile(const std::string& path, std::string& text);

// Writes the text to "<path>.tmp", flushes it to disk, and renames it over
// the file. On any failure the temporary file is removed and the old file is
// left as it was. Returns true when the file now holds the text.
bool ReplaceSettingsFile(const std::string& path, const std::string& text);

}  // namespace app
