// EventLoop: the sockets around a Server. One thread, poll() over two
// listening sockets, the clients and a wake-up pipe; all sockets are
// non-blocking. Reads go to Server::Receive in chunks of at most 64 KiB;
// queued output is written as the socket accepts it; connections the server
// marks are closed (after their output is written, for Flushing ones).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "tools/oscar-server/Server.h"

namespace oscarserver {

class EventLoop {
public:
    explicit EventLoop(Server& server);
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Binds both ports on the address (port 0 picks a free one); false with a
    // message when either cannot be bound.
    bool Listen(const std::string& address, std::uint16_t loginPort, std::uint16_t bosPort, std::string& error);
    std::uint16_t LoginPort() const { return m_loginPort; }
    std::uint16_t BosPort() const { return m_bosPort; }

    // Serves until Stop(); closes every client before returning.
    void Run();
    // Safe from any thread and from a signal handler.
    void Stop();

private:
    void Accept(int listener, PortKind kind);
    // False when the client must be closed.
    bool ReadFrom(int fd, ConnectionId id);
    bool WriteTo(int fd, Connection& connection);
    void CloseClient(int fd);

    Server& m_server;
    int m_loginListener = -1;
    int m_bosListener = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::uint16_t m_loginPort = 0;
    std::uint16_t m_bosPort = 0;
    std::unordered_map<int, ConnectionId> m_clients;
};

// Most clients served at once; further connections are closed on accept.
constexpr std::size_t kMaxClients = 4096;

}  // namespace oscarserver
