// Opening a file without sharing while another handle may hold it for a
// moment: the cache and the history files are held only while their bytes
// are copied, so a sharing violation is waited out a bounded number of times.
#pragma once

#include <string>

#include "platform/file/File.h"

namespace store {

struct SharingRetry {
    int attempts;               // opens tried in all, at least 1
    DWORD waitMilliseconds;     // device time between two of them
};

// Opens path without sharing. A sharing violation is retried as retry says;
// any other failure returns at once. error (when given) receives the last
// open's error. The result is closed on failure.
platform::File OpenExclusive(const std::string& path, platform::FileAccess access,
                             platform::FileDisposition disposition, SharingRetry retry, DWORD* error = nullptr);

}  // namespace store
