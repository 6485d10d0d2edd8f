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
#include "tests/oscar/live/LoopbackListener.h"

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
    }
    ~FakeServer()
    {
        m_listener.Stop();
        for (int client : m_clients)
            ::close(client);
    }

    std::string Address() const { return m_listener.Address(); }
    int Connections() const { return m_listener.Connections(); }

private:
    static void SendFrame(int client, const RefPtr<oscar::FlapFrame>& frame)
    {
        RefPtr<oscar::ByteBuffer> bytes = frame->Serialise();
        ::send(client, bytes->Data(), static_cast<std::size_t>(bytes->Size()), MSG_NOSIGNAL);
    }

    bool ReadSome(int client)
    {
        for (int i = 0; i < 250 && !m_listener.Stopping(); ++i) {
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
    std::vector<int> m_clients;
    LoopbackListener m_listener{[this](int client) { Treat(client); }};  // last: its thread uses the rest
};

}  // namespace live
