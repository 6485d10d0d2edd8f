// Reading a page of a conversation's history from its text and index files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/MessageHistory.h"

namespace store {

// Up to count messages, newest first, leaving out the skip newest records.
// Both files are opened for reading and shared with other readers only;
// when either cannot be opened the page is empty, and marked busy when an
// append holds one of them. The reader seeks straight to the wanted records
// from the end of the index and reads only their texts, so a page costs the
// same however long the history is.
// Records that cannot be read whole or point outside the text file are
// passed over and counted in recordsPassed. A negative skip counts as 0.
HistoryPage ReadHistoryPage(const std::string& textPath, const std::string& indexPath, std::int32_t skip,
                            std::int32_t count);

}  // namespace store
