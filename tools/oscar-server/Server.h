// Server: the OSCAR server without sockets.
//
// The event loop (or a test, or a fuzzer) opens connections, feeds received
// bytes, writes out what each connection has queued and closes connections
// the server marks. Everything runs on one thread; handlers of the SNAC
// families (one file each) reach the shared state through this class.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "tools/oscar-server/Accounts.h"
#include "tools/oscar-server/Connection.h"
#include "tools/oscar-server/Storage.h"

namespace oscarserver {

class Server;
using SnacHandler = void (*)(Server&, Connection&, const Snac&);
using HandlerTable = std::map<std::uint32_t, SnacHandler>;

struct ServerConfig {
    std::string bosAddress = "127.0.0.1:5191";  // sent in login replies (item 0x0005)
    bool log = false;
    std::function<void(const std::string&)> logSink;  // default: standard error
    // Server clock in seconds since 1970; default: the system clock.
    std::function<std::uint32_t()> clock;
    // Largest 0x13/0x06 part (item bytes) before the list is split.
    std::size_t listPartBytes = 8000;
};

// A connection whose queued output grows past this is dropped (a client that
// does not read).
constexpr std::size_t kMaxQueuedOutput = 8u << 20;
// Login connections and unused cookies expire after this many seconds.
constexpr std::uint32_t kLoginTimeout = 60;

class Server {
public:
    Server(ServerConfig config, AccountBook accounts, DataStore store);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Connection life cycle. Open queues the greeting frame.
    ConnectionId Open(PortKind kind);
    // Hands received bytes to the connection; bad framing marks it Dead.
    void Receive(ConnectionId id, ByteView bytes);
    // The connection is gone (socket closed or dropped); ends its session.
    void Close(ConnectionId id);
    // Null for unknown ids.
    Connection* Find(ConnectionId id);
    // Expires old cookies, idle login connections and BOS connections that
    // sent no cookie.
    void Tick();
    void SetBosAddress(const std::string& address) { m_config.bosAddress = address; }

    // Services for the handlers.
    void SendFlap(Connection& connection, std::uint8_t channel, ByteView payload);
    void SendSnac(Connection& connection, std::uint16_t family, std::uint16_t subtype, std::uint16_t flags,
                  std::uint32_t requestId, ByteView data);
    void SendError(Connection& connection, std::uint16_t family, std::uint32_t requestId, std::uint16_t code);
    // Flush what is queued, then close; ends the session at once.
    void Finish(Connection& connection);
    // Close without flushing; ends the session at once.
    void Drop(Connection& connection);

    // The signed-on session of a user, online (client ready) or not.
    Connection* SessionOf(std::uint32_t uin);
    // The session of a user who is online; null otherwise.
    Connection* OnlineSession(std::uint32_t uin);
    std::vector<Connection*> OnlineSessions();
    // Every signed-on session, online or still signing on.
    std::vector<Connection*> SignedOnSessions();
    // Family and subtype (family << 16 | subtype) of every SNAC served on the
    // BOS port, in ascending order.
    std::vector<std::uint32_t> ServedSnacs() const;

    const AccountBook& Accounts() const { return m_accounts; }
    const std::string& BosAddress() const { return m_config.bosAddress; }
    ServerList& ListOf(std::uint32_t uin);
    void SaveList(std::uint32_t uin);
    std::vector<OfflineMessage>& OfflineOf(std::uint32_t uin);
    void SaveOffline(std::uint32_t uin);
    std::size_t ListPartBytes() const { return m_config.listPartBytes; }

    std::uint32_t Now() const;
    std::mt19937& Random() { return m_random; }
    // Issues a BOS cookie for the user; TakeCookie consumes it (0 when unknown
    // or expired).
    Bytes IssueCookie(std::uint32_t uin);
    std::uint32_t TakeCookie(ByteView cookie);
    // Registers a BOS session, disconnecting an earlier one of the same user.
    void StartSession(Connection& connection, std::uint32_t uin);
    void Log(const std::string& line);

private:
    void HandleFrame(Connection& connection, const Frame& frame);
    void HandleSnac(Connection& connection, ByteView payload);
    void EndSession(Connection& connection);
    void LogSnac(const char* direction, const Connection& connection, const Snac& snac);

    ServerConfig m_config;
    AccountBook m_accounts;
    DataStore m_store;
    HandlerTable m_handlers;
    std::unordered_map<ConnectionId, std::unique_ptr<Connection>> m_connections;
    std::unordered_map<std::uint32_t, Connection*> m_sessions;
    std::unordered_map<std::uint32_t, ServerList> m_lists;
    std::unordered_map<std::uint32_t, std::vector<OfflineMessage>> m_offline;
    struct CookieEntry {
        std::uint32_t uin = 0;
        std::uint32_t issued = 0;
    };
    std::map<Bytes, CookieEntry> m_cookies;
    std::unique_ptr<Connection> m_echo;
    ConnectionId m_nextId = 1;
    std::uint64_t m_queueCount = 0;
    std::mt19937 m_random;
};

// Handler registration, one function per family file.
void RegisterGenericFamily(HandlerTable& table);
void RegisterLocationFamily(HandlerTable& table);
void RegisterBuddyFamily(HandlerTable& table);
void RegisterMessagingFamily(HandlerTable& table);
void RegisterPrivacyFamily(HandlerTable& table);
void RegisterListFamily(HandlerTable& table);
void RegisterMetaFamily(HandlerTable& table);
// Login port: one frame from a login connection.
void HandleLoginFrame(Server& server, Connection& connection, const Frame& frame);
// BOS port: the channel-1 sign-on frame carrying the cookie.
void AcceptBosSignOn(Server& server, Connection& connection, ByteView payload);

}  // namespace oscarserver
