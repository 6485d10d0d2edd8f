// Accepts connections on a free loopback port and hands each, one at a time,
// to the owner's treatment on a thread of its own: the base of the scripted
// server stand-ins.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace live {

class LoopbackListener {
public:
    using Treatment = std::function<void(int client)>;

    explicit LoopbackListener(Treatment treat) : m_treat(std::move(treat))
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~LoopbackListener()
    {
        Stop();
        ::close(m_socket);
    }

    // Ends the accept loop after the connection being treated; the owner
    // calls it before it lets go of what the treatment uses.
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    bool Stopping() const { return m_stop.load(); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }
    int Connections() const { return m_connections.load(); }

private:
    void Serve()
    {
        while (!m_stop) {
            pollfd fd{m_socket, POLLIN, 0};
            if (::poll(&fd, 1, 20) != 1)
                continue;
            int client = ::accept(m_socket, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_connections;
            m_treat(client);
        }
    }

    Treatment m_treat;
    int m_socket = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

}  // namespace live
