// A BOS server stand-in that runs the sign-on exchange with the client and
// then hands the connection to the test's script, which decides what the
// server sends next and when it closes. One connection at a time.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/FrameParser.h"
#include "tests/oscar/live/LoopbackListener.h"

namespace live {

class PeerConnection {
public:
    explicit PeerConnection(int socket) : m_socket(socket) {}
    ~PeerConnection() { Close(); }

    // The next frame from the client; null after five real seconds without
    // one, or when the client closed.
    RefPtr<oscar::FlapFrame> Next()
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_frames.empty() && m_socket >= 0 && std::chrono::steady_clock::now() < end) {
            pollfd fd{m_socket, POLLIN, 0};
            if (::poll(&fd, 1, 20) != 1)
                continue;
            std::uint8_t buffer[8192];
            ssize_t got = ::recv(m_socket, buffer, sizeof buffer, 0);
            if (got <= 0)
                return nullptr;
            m_accumulator->Append(buffer, static_cast<std::int32_t>(got));
            std::int32_t position = 0;
            oscar::ParseFrames(*m_accumulator, position, [this](RefPtr<oscar::FlapFrame> f) { m_frames.push_back(f); });
            auto rest = m_accumulator->Bytes().subspan(static_cast<std::size_t>(position));
            m_accumulator = oscar::ByteBuffer::CopyOf(rest);
        }
        if (m_frames.empty())
            return nullptr;
        RefPtr<oscar::FlapFrame> frame = m_frames.front();
        m_frames.erase(m_frames.begin());
        return frame;
    }

    // The next SNAC frame with that command; null when none comes.
    RefPtr<oscar::FlapFrame> NextSnac(oscar::CommandNumber number)
    {
        while (RefPtr<oscar::FlapFrame> frame = Next()) {
            if (frame->Snac() && frame->Snac()->Number() == number)
                return frame;
        }
        return nullptr;
    }

    // All frames in one buffer and one send, so that they reach the client
    // in one read as far as the kernel allows.
    void Send(const std::vector<RefPtr<oscar::FlapFrame>>& frames)
    {
        auto all = MakeRef<oscar::ByteBuffer>();
        for (const RefPtr<oscar::FlapFrame>& frame : frames)
            all->Append(frame->Serialise()->Bytes());
        ::send(m_socket, all->Data(), static_cast<std::size_t>(all->Size()), MSG_NOSIGNAL);
    }
    void Send(const RefPtr<oscar::FlapFrame>& frame) { Send(std::vector{frame}); }

    static RefPtr<oscar::FlapFrame> Snac(oscar::CommandNumber number, std::vector<std::uint8_t> data = {})
    {
        auto snac = MakeRef<oscar::SnacCommand>(number);
        snac->SetData(oscar::ByteBuffer::CopyOf(data));
        return oscar::FlapFrame::ForSnac(snac);
    }

    // Server side of the sign-on: greeting, cookie, versions, rates, the
    // rights replies, "list up to date"; true once the client is ready.
    bool SignOn()
    {
        using oscar::CommandNumber;
        Send(oscar::FlapFrame::SignOn());
        RefPtr<oscar::FlapFrame> cookie = Next();
        if (!cookie || cookie->Channel() != oscar::kChannelSignOn)
            return false;
        Send(Snac(CommandNumber::ServerReady));
        while (RefPtr<oscar::FlapFrame> frame = Next()) {
            if (!frame->Snac())
                continue;
            switch (frame->Snac()->Number()) {
            case CommandNumber::ClientFamilyVersions: Send(Snac(CommandNumber::ServerFamilyVersions)); break;
            case CommandNumber::RateLimitRequest: Send(Snac(CommandNumber::RateLimitInfo, {0, 0})); break;
            case CommandNumber::LocationRightsRequest: Send(Snac(CommandNumber::LocationRights)); break;
            case CommandNumber::BuddyRightsRequest: Send(Snac(CommandNumber::BuddyRights)); break;
            case CommandNumber::MessagingParamsRequest: Send(Snac(CommandNumber::MessagingParams)); break;
            case CommandNumber::PrivacyRightsRequest: Send(Snac(CommandNumber::PrivacyRights)); break;
            case CommandNumber::ListRightsRequest: Send(Snac(CommandNumber::ListRights)); break;
            case CommandNumber::ListRequestWithCheck: Send(Snac(CommandNumber::ListUpToDate)); break;
            case CommandNumber::ClientReady: return true;
            default: break;
            }
        }
        return false;
    }

    void Close()
    {
        if (m_socket >= 0)
            ::close(m_socket);
        m_socket = -1;
    }

private:
    int m_socket;
    RefPtr<oscar::ByteBuffer> m_accumulator = MakeRef<oscar::ByteBuffer>();
    std::vector<RefPtr<oscar::FlapFrame>> m_frames;
};

class SignOnPeer {
public:
    // The script runs after each sign-on; the connection closes when it returns.
    using Script = std::function<void(PeerConnection&)>;

    explicit SignOnPeer(Script script) : m_script(std::move(script)) {}
    ~SignOnPeer() { m_listener.Stop(); }

    std::string Address() const { return m_listener.Address(); }
    int SignOns() const { return m_signOns.load(); }

private:
    void Treat(int client)
    {
        PeerConnection connection(client);
        if (!connection.SignOn())
            return;
        ++m_signOns;
        m_script(connection);
    }

    Script m_script;
    std::atomic<int> m_signOns{0};
    LoopbackListener m_listener{[this](int client) { Treat(client); }};  // last: its thread uses the rest
};

}  // namespace live
