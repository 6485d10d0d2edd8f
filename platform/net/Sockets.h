// The device's TCP sockets, as the transport uses them: resolving an IPv4
// address, opening a non-blocking stream, connecting, waiting, moving bytes,
// shutting down. The POSIX calls are the default; a test installs its own
// layer to make any of them fail or stall on demand.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/types.h>

#include <string>

namespace platform::net {

class SocketLayer {
public:
    virtual ~SocketLayer() = default;

    // The first IPv4 stream address of host and port; false when nothing
    // resolves.
    virtual bool Resolve(const std::string& host, const std::string& port, sockaddr_in& address) = 0;
    // A non-blocking, close-on-exec TCP socket that asks the kernel to notice
    // a vanished peer; -1 with errno set on failure.
    virtual int Open() = 0;
    // connect(2): 0, or -1 with errno (EINPROGRESS while it goes on).
    virtual int Connect(int socket, const sockaddr_in& address) = 0;
    // The outcome of a connect that went on: 0 or the error number.
    virtual int ConnectError(int socket) = 0;
    virtual int Poll(pollfd* descriptors, nfds_t count, int timeoutMilliseconds) = 0;
    virtual ssize_t Receive(int socket, void* buffer, size_t size) = 0;
    // send(2) without SIGPIPE.
    virtual ssize_t Send(int socket, const void* data, size_t size) = 0;
    virtual void Shutdown(int socket) = 0;
    virtual void Close(int socket) = 0;
};

// The layer in use: the installed one, else the POSIX one.
SocketLayer& Sockets();

// Installs a layer (tests); null restores the POSIX one. The layer must
// outlive every connection that uses it.
void SetSockets(SocketLayer* layer);

}  // namespace platform::net
