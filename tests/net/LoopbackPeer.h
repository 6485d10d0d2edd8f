// A scripted TCP peer on 127.0.0.1 for transport tests: accepts one
// connection and lets the test send bytes, read bytes and close.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class LoopbackPeer {
public:
    LoopbackPeer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 4);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackPeer()
    {
        CloseClient();
        ::close(m_listener);
    }

    std::string Port() const { return std::to_string(m_port); }

    bool Accept(int timeoutMs = 10000)
    {
        pollfd fd{m_listener, POLLIN, 0};
        if (::poll(&fd, 1, timeoutMs) != 1)
            return false;
        m_client = ::accept(m_listener, nullptr, nullptr);
        return m_client >= 0;
    }

    void Send(const std::vector<std::uint8_t>& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::send(m_client, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            done += static_cast<std::size_t>(n);
        }
    }

    // Reads until `count` bytes arrived or the time-out passed.
    std::vector<std::uint8_t> Receive(std::size_t count, int timeoutMs = 10000)
    {
        std::vector<std::uint8_t> bytes;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd fd{m_client, POLLIN, 0};
            if (::poll(&fd, 1, 50) != 1)
                continue;
            std::uint8_t chunk[65536];
            ssize_t n = ::recv(m_client, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    // True when the other side closed (a read returns 0) within the time-out.
    bool SeesClose(int timeoutMs = 10000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd fd{m_client, POLLIN, 0};
            if (::poll(&fd, 1, 50) != 1)
                continue;
            std::uint8_t chunk[4096];
            ssize_t n = ::recv(m_client, chunk, sizeof chunk, 0);
            if (n <= 0)
                return true;
        }
        return false;
    }

    void CloseClient()
    {
        if (m_client >= 0)
            ::close(m_client);
        m_client = -1;
    }

private:
    int m_listener = -1;
    int m_client = -1;
    std::uint16_t m_port = 0;
};
