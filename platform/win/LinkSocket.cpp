#include "platform/win/LinkSocket.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/base/Device.h"
#include "platform/win/WindowState.h"

namespace platform::win::link {
namespace {

constexpr auto kRealFloor = std::chrono::seconds(1);
// Longest single poll while pumping sent messages.
constexpr int kPumpSliceMs = 5;

bool Address(const RunDirectory& folder, const std::string& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::string path = folder.Path() + "/" + name;
    if (path.size() >= sizeof address.sun_path)
        path = "/proc/self/fd/" + std::to_string(folder.Descriptor()) + "/" + name;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int PollMs(RealClock::time_point deadline, bool pump)
{
    if (deadline == RealClock::time_point::max())
        return pump ? kPumpSliceMs : -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - RealClock::now()).count();
    left = std::max<std::int64_t>(left, 0);
    return static_cast<int>(pump ? std::min<std::int64_t>(left, kPumpSliceMs) : std::min<std::int64_t>(left, 60000));
}

// Waits until fd is ready for events; false at the deadline or on a hang-up
// without data.
bool WaitReady(int fd, short events, RealClock::time_point deadline, bool pump)
{
    for (;;) {
        if (pump)
            PumpSentMessages();
        pollfd entry{fd, events, 0};
        int n = ::poll(&entry, 1, PollMs(deadline, pump));
        if (n > 0)
            return (entry.revents & (events | POLLHUP | POLLERR)) != 0;
        if (n < 0 && errno != EINTR)
            return false;
        if (RealClock::now() >= deadline)
            return false;
    }
}

}  // namespace

RealClock::time_point Deadline(DWORD deviceTimeout)
{
    auto now = RealClock::now();
    return std::max(DeadlineAfter(deviceTimeout), now + kRealFloor);
}

RunDirectory::RunDirectory() : m_path(RunFolder())
{
    if (!m_path.empty())
        m_fd = ::open(m_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

RunDirectory::~RunDirectory()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::vector<std::pair<DWORD, std::string>> RunDirectory::Sockets() const
{
    std::vector<std::pair<DWORD, std::string>> sockets;
    DIR* dir = m_path.empty() ? nullptr : ::opendir(m_path.c_str());
    if (dir == nullptr)
        return sockets;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        std::size_t digits = name.find_first_not_of("0123456789");
        if (digits == 0 || digits > 10 || name.substr(digits) != ".sock")
            continue;
        unsigned long pid = std::stoul(name.substr(0, digits));
        if (pid == 0 || pid > 0xFFFFFFFFul)
            continue;
        sockets.emplace_back(static_cast<DWORD>(pid), name);
    }
    ::closedir(dir);
    return sockets;
}

std::string SocketName(DWORD pid) { return std::to_string(pid) + ".sock"; }

int ListenAt(const RunDirectory& folder, const std::string& name)
{
    sockaddr_un address{};
    if (!folder.IsOpen() || !Address(folder, name, address))
        return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    ::unlinkat(folder.Descriptor(), name.c_str(), 0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int ConnectTo(const RunDirectory& folder, const std::string& name)
{
    sockaddr_un address{};
    if (!folder.IsOpen() || !Address(folder, name, address))
        return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    // ECONNREFUSED: the file outlived its process. EAGAIN: the backlog is
    // full (a hung process); give up without removing anything.
    if (errno == ECONNREFUSED)
        ::unlinkat(folder.Descriptor(), name.c_str(), 0);
    ::close(fd);
    return -1;
}

bool WriteAll(int fd, std::span<const BYTE> bytes, RealClock::time_point deadline, bool pump)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitReady(fd, POLLOUT, deadline, pump))
            continue;
        return false;
    }
    return true;
}

bool ReadAll(int fd, std::span<BYTE> bytes, RealClock::time_point deadline, bool pump)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::recv(fd, bytes.data() + done, bytes.size() - done, 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitReady(fd, POLLIN, deadline, pump))
            continue;
        return false;
    }
    return true;
}

}  // namespace platform::win::link
