// Starting programs of the device. The child inherits the device's
// environment (device folder, clock scale, screen) and is reaped by the
// platform when it ends.
#pragma once

#include "platform/base/Types.h"

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    HANDLE hThread = nullptr;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = 0;
};

// Starts the program file `application` (a command line of arguments is not
// supported and must be null or empty). The process handle is signalled when
// the program has ended; both handles are closed with CloseHandle. FALSE with
// ERROR_FILE_NOT_FOUND when the file cannot be started.
BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, void* processAttributes, void* threadAttributes,
                    BOOL inheritHandles, DWORD flags, void* environment, LPCWSTR currentDirectory, void* startupInfo,
                    PROCESS_INFORMATION* information);
