#include "store/HistoryFiles.h"

#include "platform/base/Device.h"
#include "store/ExclusiveOpen.h"

namespace store {

platform::File OpenForAppend(const std::string& path, platform::FileDisposition disposition,
                             const std::string& folder, MissingFolder missing)
{
    bool folderCreated = false;
    for (;;) {
        DWORD error = ERROR_SUCCESS;
        platform::File file = OpenExclusive(path, platform::FileAccess::ReadWrite, disposition,
                                            SharingRetry{kSharingAttempts, kSharingRetryMilliseconds}, &error);
        if (file.IsOpen())
            return file;
        // The folder is created once; a second "not found" is another fault.
        if (error == ERROR_FILE_NOT_FOUND && missing == MissingFolder::Create && !folderCreated) {
            if (!platform::MakeFolders(folder))
                return {};
            folderCreated = true;
            continue;
        }
        return {};
    }
}

}  // namespace store
