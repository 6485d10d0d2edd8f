#include "store/ExclusiveOpen.h"

#include "platform/base/Clock.h"

namespace store {

platform::File OpenExclusive(const std::string& path, platform::FileAccess access,
                             platform::FileDisposition disposition, SharingRetry retry, DWORD* error)
{
    for (int attempt = 1;; ++attempt) {
        DWORD lastError = ERROR_SUCCESS;
        platform::File file = platform::File::Open(path, access, platform::FileShare::None, disposition, &lastError);
        if (error != nullptr)
            *error = lastError;
        if (file.IsOpen() || lastError != ERROR_SHARING_VIOLATION || attempt >= retry.attempts)
            return file;
        Sleep(retry.waitMilliseconds);
    }
}

}  // namespace store
