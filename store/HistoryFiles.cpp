#include "store/HistoryFiles.h"

#include "platform/base/Clock.h"
#include "platform/base/Device.h"

namespace store {

platform::File OpenForAppend(const std::string& path, platform::FileDisposition disposition,
                             const std::string& folder, MissingFolder missing)
{
    bool folderCreated = false;
    int sharingFailures = 0;
    for (;;) {
        DWORD error = ERROR_SUCCESS;
        platform::File file =
            platform::File::Open(path, platform::FileAccess::ReadWrite, platform::FileShare::None, disposition, &error);
        if (file.IsOpen())
            return file;
        if (error == ERROR_SHARING_VIOLATION) {
            if (++sharingFailures >= kSharingAttempts)
                return {};
            Sleep(kSharingRetryMilliseconds);
            continue;
        }
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
