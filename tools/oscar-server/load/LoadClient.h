// LoadClient: one simulated ICQ client of the load tool. It signs on through
// the login and BOS ports with the same exchange a 2003-era client makes,
// then sends messages (with item 0x0006, so each is acknowledged) and counts
// what it receives. Sockets are non-blocking; the tool polls them all.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "tools/oscar-server/FrameIntake.h"

namespace oscarload {

using oscarserver::Bytes;
using oscarserver::ByteView;
using Clock = std::chrono::steady_clock;

class LoadClient {
public:
    enum class Phase { Login, Bos, Online, Failed };

    LoadClient(std::uint32_t uin, std::string password, std::string host, std::uint16_t loginPort);
    ~LoadClient();
    LoadClient(const LoadClient&) = delete;
    LoadClient& operator=(const LoadClient&) = delete;

    bool Start();
    int Fd() const { return m_fd; }
    bool WantsWrite() const { return !m_output.empty(); }
    // Reads and writes what the socket allows and reacts to complete frames.
    void OnReadable();
    void OnWritable();

    // Queues one channel-1 message to the recipient.
    void SendMessage(std::uint32_t recipient, const std::string& text);

    Phase CurrentPhase() const { return m_phase; }
    const std::string& Failure() const { return m_failure; }
    Clock::time_point OnlineAt() const { return m_onlineAt; }
    std::uint32_t Uin() const { return m_uin; }
    std::size_t Received() const { return m_received; }
    std::size_t Acknowledged() const { return m_acknowledged; }
    std::size_t Errors() const { return m_errors; }

private:
    bool Connect(const std::string& host, std::uint16_t port);
    void Fail(const std::string& why);
    void SendFlap(std::uint8_t channel, ByteView payload);
    void SendSnac(std::uint16_t family, std::uint16_t subtype, ByteView data);
    void OnFrame(const oscarserver::Frame& frame);
    void OnLoginReply(ByteView payload);
    void OnSnac(std::uint16_t family, std::uint16_t subtype, std::uint16_t flags);

    std::uint32_t m_uin;
    std::string m_password;
    std::string m_host;
    std::uint16_t m_loginPort;
    int m_fd = -1;
    Phase m_phase = Phase::Login;
    std::string m_failure;
    oscarserver::FrameIntake m_intake;
    Bytes m_output;
    Bytes m_cookie;
    std::uint16_t m_sequence = 1;
    std::uint32_t m_messageCount = 0;
    Clock::time_point m_onlineAt{};
    std::size_t m_received = 0;
    std::size_t m_acknowledged = 0;
    std::size_t m_errors = 0;
};

}  // namespace oscarload
