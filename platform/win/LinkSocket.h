// Unix sockets in DEVICE/run for the cross-process window calls.
//
// Socket paths are limited to 108 bytes and device folders of test and build
// trees can be longer, so a path that does not fit is reached through the
// run folder's descriptor: /proc/self/fd/<dirfd>/<name>.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Types.h"

namespace platform::win::link {

// Device time-out of a cross-process call, with a real floor so that a fast
// device clock does not fail healthy round trips: max(5000 device ms, 1 s).
constexpr DWORD kTimeout = 5000;
RealClock::time_point Deadline(DWORD deviceTimeout = kTimeout);

// The run folder, held open for the lifetime of the object.
class RunDirectory {
public:
    RunDirectory();
    ~RunDirectory();
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    const std::string& Path() const { return m_path; }
    // Socket names "<pid>.sock" of the folder, with their pids.
    std::vector<std::pair<DWORD, std::string>> Sockets() const;

private:
    std::string m_path;
    int m_fd = -1;
};

std::string SocketName(DWORD pid);

// A listening socket bound to name in the folder (an old file of that name is
// replaced); -1 on failure.
int ListenAt(const RunDirectory& folder, const std::string& name);

// Connects to name in the folder. A socket file nobody listens on (its process
// crashed) is removed. -1 on failure.
int ConnectTo(const RunDirectory& folder, const std::string& name);

// Whole reads and writes on a non-blocking socket before the deadline. With
// pump set, messages sent to the calling thread run while it waits.
bool WriteAll(int fd, std::span<const BYTE> bytes, RealClock::time_point deadline, bool pump);
bool ReadAll(int fd, std::span<BYTE> bytes, RealClock::time_point deadline, bool pump);

}  // namespace platform::win::link
