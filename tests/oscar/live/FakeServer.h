// A scripted stand-in for a login or BOS server: accepts connections on a
// loopback port and treats each with a behaviour chosen by the test.
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
#include <vector>

#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/Tlv.h"

namespace live {

class FakeServer {
public:
    enum class Behaviour {
        CloseAtOnce,         // accept, then close
        Silent,              // accept, greet, then say nothing
        RedirectTo,          // greet, read the sign-on, answer with a BOS address
        GreetThenClose,      // greet, read one frame, close
    };

    explicit FakeServer(Behaviour behaviour, std::string redirect = {})
        : m_behaviour(behaviour), m_redirect(std::move(redirect))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~FakeServer()
    {
        m_stop = true;
        m_thread.join();
        for (int client : m_clients)
            ::close(client);
        ::close(m_listener);
    }

    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }
    int Connections() const { return m_connections.load(); }

private:
    void Serve()
    {
        while (!m_stop) {
            pollfd fd{m_listener, POLLIN, 0};
            if (::poll(&fd, 1, 20) != 1)
                continue;
            int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_connections;
            Treat(client);
        }
    }

    static void SendFrame(int client, const RefPtr<oscar::FlapFrame>& frame)
    {
        RefPtr<oscar::ByteBuffer> bytes = frame->Serialise();
        ::send(client, bytes->Data(), static_cast<std::size_t>(bytes->Size()), MSG_NOSIGNAL);
    }

    bool ReadSome(int client)
    {
        for (int i = 0; i < 250 && !m_stop; ++i) {
            pollfd fd{client, POLLIN, 0};
            if (::poll(&fd, 1, 20) == 1) {
                char buffer[4096];
                return ::recv(client, buffer, sizeof buffer, 0) > 0;
            }
        }
        return false;
    }

    void Treat(int client)
    {
        switch (m_behaviour) {
        case Behaviour::CloseAtOnce:
            ::close(client);
            return;
        case Behaviour::Silent:
            SendFrame(client, oscar::FlapFrame::SignOn());
            m_clients.push_back(client);
            return;
        case Behaviour::GreetThenClose:
            SendFrame(client, oscar::FlapFrame::SignOn());
            ReadSome(client);
            ::close(client);
            return;
        case Behaviour::RedirectTo: {
            SendFrame(client, oscar::FlapFrame::SignOn());
            ReadSome(client);
            auto reply = MakeRef<oscar::FlapFrame>(oscar::kChannelSignOff);
            reply->AddItem(oscar::Tlv::FromBuffer(
                0x0005, oscar::ByteBuffer::CopyOf(std::span(
                            reinterpret_cast<const std::uint8_t*>(m_redirect.data()), m_redirect.size()))));
            const std::uint8_t cookie[] = {1, 2, 3, 4, 5, 6, 7, 8};
            reply->AddItem(oscar::Tlv::FromBuffer(0x0006, oscar::ByteBuffer::CopyOf(cookie)));
            SendFrame(client, reply);
            ReadSome(client);
            ::close(client);
            return;
        }
        }
    }

    Behaviour m_behaviour;
    std::string m_redirect;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::vector<int> m_clients;
    std::thread m_thread;
};

}  // namespace live
