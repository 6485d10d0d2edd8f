// The remote control's socket: served by a thread of the process that owns
// the screen, one request per connection.
#include "platform/display/RemoteControl.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "platform/win/LinkSocket.h"

namespace platform::display {
namespace {

using namespace platform::win::link;

// Largest request and reply.
constexpr std::uint32_t kMaxRequest = 64 * 1024;
constexpr std::uint32_t kMaxReply = 16 * 1024 * 1024;
// Real time a peer gets to send its request or read the reply.
constexpr DWORD kPeerTimeout = 5000;

bool SendFrame(int fd, std::string_view payload)
{
    BYTE length[4];
    auto size = static_cast<std::uint32_t>(payload.size());
    for (int i = 0; i < 4; ++i)
        length[i] = static_cast<BYTE>(size >> (8 * i));
    auto deadline = RealClock::now() + std::chrono::milliseconds(kPeerTimeout);
    return WriteAll(fd, length, deadline, false) &&
           WriteAll(fd, std::span(reinterpret_cast<const BYTE*>(payload.data()), payload.size()), deadline, false);
}

std::optional<std::string> ReceiveFrame(int fd, std::uint32_t limit, std::chrono::milliseconds timeout)
{
    auto deadline = RealClock::now() + timeout;
    BYTE length[4];
    if (!ReadAll(fd, length, deadline, false))
        return std::nullopt;
    std::uint32_t size =
        length[0] | (length[1] << 8) | (length[2] << 16) | (static_cast<std::uint32_t>(length[3]) << 24);
    if (size > limit)
        return std::nullopt;
    std::string payload(size, '\0');
    if (!ReadAll(fd, std::span(reinterpret_cast<BYTE*>(payload.data()), size), deadline, false))
        return std::nullopt;
    return payload;
}

void Serve(int listener)
{
    for (;;) {
        pollfd ready{listener, POLLIN, 0};
        if (::poll(&ready, 1, -1) < 0)
            continue;
        int peer = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0)
            continue;
        if (std::optional<std::string> request =
                ReceiveFrame(peer, kMaxRequest, std::chrono::milliseconds(kPeerTimeout)))
            SendFrame(peer, RunRemoteCommand(*request));
        ::close(peer);
    }
}

std::string& SocketFile()
{
    static std::string* path = new std::string;
    return *path;
}

}  // namespace

std::string ScreenSocketName(unsigned long pid) { return "screen-" + std::to_string(pid) + ".sock"; }

void StartRemoteControl()
{
    static RunDirectory* folder = new RunDirectory;
    std::string name = ScreenSocketName(static_cast<unsigned long>(::getpid()));
    int listener = ListenAt(*folder, name);
    if (listener < 0)
        return;
    SocketFile() = folder->Path() + "/" + name;
    // The socket file goes with the process.
    std::atexit([] { ::unlink(SocketFile().c_str()); });
    std::thread(Serve, listener).detach();
}

std::vector<std::string> ScreenSockets()
{
    RunDirectory folder;
    std::vector<std::string> names;
    DIR* dir = folder.Path().empty() ? nullptr : ::opendir(folder.Path().c_str());
    if (dir == nullptr)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.starts_with("screen-") && name.ends_with(".sock"))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::optional<std::string> RemoteCall(const std::string& socketName, std::string_view request)
{
    RunDirectory folder;
    int fd = ConnectTo(folder, socketName);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> reply;
    // A screenshot of a big screen may take a while on a loaded machine.
    if (SendFrame(fd, request))
        reply = ReceiveFrame(fd, kMaxReply, std::chrono::seconds(60));
    ::close(fd);
    return reply;
}

}  // namespace platform::display
