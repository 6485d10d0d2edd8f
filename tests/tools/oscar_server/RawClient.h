// RawClient: a protocol client for the tests, written from plain sockets and
// hand-built frames so that it shares nothing with the server but the byte
// helpers. ServerHarness runs a server with its event loop on a thread, on
// free ports of 127.0.0.1.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <thread>

#include "tools/oscar-server/EventLoop.h"

namespace oscartest {

using oscarserver::Bytes;
using oscarserver::ByteView;

// Accounts every test can use: demo (no authorisation), friend, and shy who
// requires authorisation.
extern const char* const kTestAccounts;

class ServerHarness {
public:
    // An empty data folder keeps everything in memory.
    explicit ServerHarness(const std::string& dataFolder = std::string(), std::size_t listPartBytes = 8000);
    ~ServerHarness();

    std::uint16_t LoginPort() const { return m_loginPort; }
    std::uint16_t BosPort() const { return m_bosPort; }

private:
    std::unique_ptr<oscarserver::Server> m_server;
    std::unique_ptr<oscarserver::EventLoop> m_loop;
    std::thread m_thread;
    std::uint16_t m_loginPort = 0;
    std::uint16_t m_bosPort = 0;
};

struct ReceivedSnac {
    std::uint16_t family = 0;
    std::uint16_t subtype = 0;
    std::uint16_t flags = 0;
    std::uint32_t requestId = 0;
    Bytes data;
};

class RawClient {
public:
    RawClient() = default;
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connect(std::uint16_t port);
    void Disconnect();
    void SendRaw(ByteView bytes);
    void SendFlap(std::uint8_t channel, ByteView payload);
    void SendSnac(std::uint16_t family, std::uint16_t subtype, std::uint32_t requestId, ByteView data);
    // The next frame, or false after the time-out or when the server closed.
    bool ReadFrame(oscarserver::Frame& out, int timeoutMs = 3000);
    // Reads until the SNAC arrives, skipping others.
    bool WaitSnac(std::uint16_t family, std::uint16_t subtype, ReceivedSnac& out, int timeoutMs = 3000);
    // True when the server closes the connection within the time-out
    // (frames arriving before are skipped; ch4 frames are kept in lastClose).
    bool WaitClosed(int timeoutMs = 3000);
    // True when nothing but the given SNAC arrives... false when it arrives
    // within the time-out.
    bool NoSnac(std::uint16_t family, std::uint16_t subtype, int timeoutMs = 300);

    // Login on the login port: the items of the channel-4 reply by type.
    std::map<std::uint16_t, Bytes> Login(std::uint16_t loginPort, const std::string& uin,
                                         const std::string& password);
    // Key-based login: 0x17/0x06, then 0x17/0x02 with the hash of the key
    // and the password (with item 0x004C: of the key and the password's
    // MD5); the items of the 0x17/0x03 reply by type.
    std::map<std::uint16_t, Bytes> KeyLogin(std::uint16_t loginPort, const std::string& uin,
                                            const std::string& password, bool hashedPassword);
    // Connects to the BOS port and presents the cookie; true once the
    // server answers with 0x01/0x03.
    bool OpenBos(const ServerHarness& server, const Bytes& cookie);
    // Login, BOS sign-on, list, status and client ready. False on any failure.
    bool SignOn(const ServerHarness& server, std::uint32_t uin, const std::string& password,
                std::uint16_t status = 0);

    Bytes lastClose;  // payload of the last channel-4 frame read

private:
    int m_fd = -1;
    std::uint16_t m_sequence = 100;
    oscarserver::FrameIntake m_intake;
};

// Builders for the requests the tests send.
// What a message asks of the server: item 0x0006 (store when offline) and
// item 0x0003 (acknowledge).
enum MessageAsks : unsigned { kAskNothing = 0, kAskStore = 1, kAskAck = 2, kAskBoth = 3 };
// text holds the bytes of fragment 1 in the given character set.
Bytes Channel1Message(const std::string& cookie8, std::uint32_t to, const std::string& text, unsigned asks,
                      std::uint16_t charset = 0);
Bytes MetaRequest(std::uint32_t owner, std::uint16_t type, std::uint16_t sequence, ByteView body);
Bytes ListItemBytes(const std::string& name, std::uint16_t group, std::uint16_t item, std::uint16_t type,
                    ByteView data);
// The text of item 0x0002 fragment 1 in a 0x04/0x07, or "" when absent.
std::string IncomingText(const ReceivedSnac& snac, std::string* sender = nullptr);

}  // namespace oscartest
