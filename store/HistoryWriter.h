// The three writes of an append, each opening and closing its file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "store/HistoryFormat.h"

namespace store {

// Creates or truncates the parties file and writes FF FE and every party
// from index 1 on, each followed by CR LF. A missing folder is created.
bool WritePartiesFile(const std::string& path, const std::string& folder, const std::vector<WideString>& parties);

// Appends the text and CR LF to the text file (creating it and the folder
// when missing; a new file first gets FF FE). Returns the text's byte offset,
// or nothing when the file cannot be opened or written, or when the offset
// or the length would not fit the record's 32-bit fields (then nothing is
// written).
std::optional<std::uint32_t> AppendText(const std::string& path, const std::string& folder, const WideString& text);

// Appends the record to the index file. A partial record left by an earlier
// failure is cut away first, and a file without a header gets one. The
// folder must exist. Returns whether the record was written.
bool AppendRecord(const std::string& path, const std::string& folder, const HistoryRecord& record);

}  // namespace store
