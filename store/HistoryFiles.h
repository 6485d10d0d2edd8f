// Opening the history files for an append: exclusive access, with the
// device's rules for a file that another handle holds and for a folder that
// does not exist yet.
#pragma once

#include <string>

#include "platform/file/File.h"

namespace store {

// Wait between two attempts while another handle holds the file, in device
// milliseconds.
constexpr DWORD kSharingRetryMilliseconds = 500;

// Attempts made while another handle holds the file before the append gives
// up (about 10 s of device time). A reader holds the files only while it
// copies one page, so a longer wait means the holder is stuck.
constexpr int kSharingAttempts = 20;

enum class MissingFolder {
    Create,  // create the folder (one level below the program folder) and retry
    Fail,    // the append fails
};

// Opens path for reading and writing without sharing (OpenAlways: create
// when missing; CreateAlways: create or truncate). A sharing violation is
// retried every 500 ms up to kSharingAttempts; a missing path is handled as
// missing says; any other error fails. The result is closed on failure.
platform::File OpenForAppend(const std::string& path, platform::FileDisposition disposition,
                             const std::string& folder, MissingFolder missing);

}  // namespace store
