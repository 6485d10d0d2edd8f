#include "platform/net/Sockets.h"

#include <netdb.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace platform::net {

namespace {

// A peer that vanished without a word (a NAT box that forgot the mapping, a
// network gone) would otherwise hold the connection open for hours: the
// kernel probes an idle connection after a minute and gives up after three
// unanswered probes, and data that stays unacknowledged for 90 seconds ends
// the connection too. These are real-time limits; a server that is alive but
// frozen still acknowledges, which the session's own watch notices.
void WatchForVanishedPeer(int socket)
{
    int on = 1;
    int idleSeconds = 60;
    int intervalSeconds = 10;
    int probes = 3;
    unsigned int unacknowledgedMilliseconds = 90000;
    ::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    ::setsockopt(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledgedMilliseconds, sizeof unacknowledgedMilliseconds);
}

class PosixSockets : public SocketLayer {
public:
    bool Resolve(const std::string& host, const std::string& port, sockaddr_in& address) override
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        addrinfo* found = nullptr;
        bool ok = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) == 0 && found != nullptr &&
                  found->ai_addrlen == sizeof address;
        if (ok)
            std::memcpy(&address, found->ai_addr, sizeof address);
        if (found != nullptr)
            ::freeaddrinfo(found);
        return ok;
    }
    int Open() override
    {
        int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (socket >= 0)
            WatchForVanishedPeer(socket);
        return socket;
    }
    int Connect(int socket, const sockaddr_in& address) override
    {
        return ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    int ConnectError(int socket) override
    {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return errno;
        return error;
    }
    int Poll(pollfd* descriptors, nfds_t count, int timeoutMilliseconds) override
    {
        return ::poll(descriptors, count, timeoutMilliseconds);
    }
    ssize_t Receive(int socket, void* buffer, size_t size) override { return ::recv(socket, buffer, size, 0); }
    ssize_t Send(int socket, const void* data, size_t size) override
    {
        return ::send(socket, data, size, MSG_NOSIGNAL);
    }
    void Shutdown(int socket) override { ::shutdown(socket, SHUT_RDWR); }
    void Close(int socket) override { ::close(socket); }
};

std::atomic<SocketLayer*> g_installed{nullptr};

}  // namespace

SocketLayer& Sockets()
{
    // Never destroyed: receive threads may still use it while the process ends.
    static PosixSockets* posix = new PosixSockets;
    SocketLayer* installed = g_installed.load();
    return installed != nullptr ? *installed : *posix;
}

void SetSockets(SocketLayer* layer) { g_installed = layer; }

}  // namespace platform::net
