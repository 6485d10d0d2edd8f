#include "platform/process/Process.h"

#include <spawn.h>
#include <cerrno>
#include <sys/wait.h>

#include <string>
#include <thread>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/sync/Sync.h"

extern char** environ;

BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, void*, void*, BOOL, DWORD, void*, LPCWSTR, void*,
                    PROCESS_INFORMATION* information)
{
    if (application == nullptr || (commandLine != nullptr && commandLine[0] != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = platform::WideToUtf8(application);
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    // The process handle: an event set when the child has ended. A handle
    // the caller has closed by then is stale, and setting it fails quietly.
    HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread([pid, ended] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        SetEvent(ended);
    }).detach();
    if (information != nullptr) {
        information->hProcess = ended;
        information->hThread = thread;
        information->dwProcessId = static_cast<DWORD>(pid);
        information->dwThreadId = static_cast<DWORD>(pid);
    } else {
        CloseHandle(thread);
    }
    return TRUE;
}
