#include "tools/oscar-server/Server.h"

#include <cstdio>
#include <ctime>

#include "tools/oscar-server/Echo.h"
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

constexpr std::size_t kCookieSize = 256;

std::string SnacName(const Snac& snac)
{
    char text[64];
    std::snprintf(text, sizeof text, "0x%02X/0x%02X flags=%04X req=%08X len=%zu", snac.family, snac.subtype,
                  snac.flags, snac.requestId, snac.data.size());
    return text;
}

}  // namespace

Server::Server(ServerConfig config, AccountBook accounts, DataStore store)
    : m_config(std::move(config)), m_accounts(std::move(accounts)), m_store(std::move(store)),
      m_random(std::random_device{}())
{
    RegisterGenericFamily(m_handlers);
    RegisterLocationFamily(m_handlers);
    RegisterBuddyFamily(m_handlers);
    RegisterMessagingFamily(m_handlers);
    RegisterPrivacyFamily(m_handlers);
    RegisterListFamily(m_handlers);
    RegisterMetaFamily(m_handlers);

    m_echo = std::make_unique<Connection>();
    m_echo->kind = PortKind::Bos;
    m_echo->virtualPeer = true;
    m_echo->uin = kEchoUin;
    m_echo->ready = true;
    m_echo->signOnTime = Now();
    m_echo->capabilities = EchoCapabilities();
    m_sessions[kEchoUin] = m_echo.get();
}

Server::~Server() = default;

std::uint32_t Server::Now() const
{
    return m_config.clock ? m_config.clock() : static_cast<std::uint32_t>(std::time(nullptr));
}

void Server::Log(const std::string& line)
{
    if (m_config.logSink)
        m_config.logSink(line);
    else
        std::fprintf(stderr, "oscar-server: %s\n", line.c_str());
}

void Server::LogSnac(const char* direction, const Connection& connection, const Snac& snac)
{
    if (m_config.log)
        Log(std::string(direction) + " #" + std::to_string(connection.id) + " uin=" +
            std::to_string(connection.uin) + " " + SnacName(snac));
}

ConnectionId Server::Open(PortKind kind)
{
    auto connection = std::make_unique<Connection>();
    connection->id = m_nextId++;
    connection->kind = kind;
    connection->sequence = static_cast<std::uint16_t>(m_random() & 0x7FFF);
    connection->lastActivity = Now();
    Connection& opened = *connection;
    m_connections[opened.id] = std::move(connection);
    static constexpr std::uint8_t kGreeting[] = {0, 0, 0, 1};
    SendFlap(opened, 1, kGreeting);
    return opened.id;
}

Connection* Server::Find(ConnectionId id)
{
    const auto found = m_connections.find(id);
    return found == m_connections.end() ? nullptr : found->second.get();
}

void Server::Receive(ConnectionId id, ByteView bytes)
{
    Connection* connection = Find(id);
    if (connection == nullptr || connection->state != ConnectionState::Open)
        return;
    connection->lastActivity = Now();
    if (!connection->intake.Feed(bytes)) {
        Log("#" + std::to_string(id) + ": bad framing, closing");
        Drop(*connection);
        return;
    }
    Frame frame;
    while (connection->state == ConnectionState::Open && connection->intake.Next(frame))
        HandleFrame(*connection, frame);
}

void Server::HandleFrame(Connection& connection, const Frame& frame)
{
    if (connection.kind == PortKind::Login) {
        HandleLoginFrame(*this, connection, frame);
        return;
    }
    switch (frame.channel) {
    case 1:
        if (connection.uin != 0) {
            Drop(connection);  // a second sign-on frame on a signed-on session
            return;
        }
        AcceptBosSignOn(*this, connection, frame.payload);
        return;
    case 2:
        if (connection.uin == 0) {
            Drop(connection);  // SNACs before the cookie
            return;
        }
        HandleSnac(connection, frame.payload);
        return;
    case 4:
        Finish(connection);  // the client signs off
        return;
    default:
        return;  // 3 (error) and 5 (keep-alive) need no answer
    }
}

void Server::HandleSnac(Connection& connection, ByteView payload)
{
    Snac snac;
    if (!ParseSnac(payload, snac)) {
        Log("#" + std::to_string(connection.id) + ": SNAC header cut short, closing");
        Drop(connection);
        return;
    }
    LogSnac("in ", connection, snac);
    const auto handler = m_handlers.find((std::uint32_t{snac.family} << 16) | snac.subtype);
    if (handler != m_handlers.end()) {
        handler->second(*this, connection, snac);
        return;
    }
    // A family the server does not offer, or a subtype it does not serve.
    const bool knownFamily = m_handlers.lower_bound(std::uint32_t{snac.family} << 16) !=
                                 m_handlers.lower_bound((std::uint32_t{snac.family} + 1) << 16);
    if (snac.subtype != 0x0001)  // never answer an error with an error
        SendError(connection, snac.family, snac.requestId, knownFamily ? 0x0008 : 0x0006);
}

void Server::SendFlap(Connection& connection, std::uint8_t channel, ByteView payload)
{
    if (connection.state != ConnectionState::Open)
        return;
    if (connection.output.empty())
        connection.queuedAt = ++m_queueCount;
    AppendFlap(connection.output, channel, connection.sequence, payload);
    connection.sequence = static_cast<std::uint16_t>(connection.sequence + 1);
    if (connection.output.size() > kMaxQueuedOutput) {
        Log("#" + std::to_string(connection.id) + ": client does not read, dropping");
        Drop(connection);
    }
}

void Server::SendSnac(Connection& connection, std::uint16_t family, std::uint16_t subtype, std::uint16_t flags,
                      std::uint32_t requestId, ByteView data)
{
    Snac snac{family, subtype, flags, requestId, data};
    LogSnac("out", connection, snac);
    if (connection.virtualPeer) {
        EchoReceive(*this, connection, snac);
        return;
    }
    const Bytes payload = SnacPayload(family, subtype, flags, requestId, data);
    SendFlap(connection, 2, payload);
}

void Server::SendError(Connection& connection, std::uint16_t family, std::uint32_t requestId, std::uint16_t code)
{
    const Bytes body = Writer().U16(code).Take();
    SendSnac(connection, family, 0x0001, 0, requestId, body);
}

void Server::Finish(Connection& connection)
{
    EndSession(connection);
    if (connection.state == ConnectionState::Open)
        connection.state = ConnectionState::Flushing;
}

void Server::Drop(Connection& connection)
{
    EndSession(connection);
    connection.state = ConnectionState::Dead;
    connection.output.clear();
    connection.output.shrink_to_fit();
}

void Server::Close(ConnectionId id)
{
    Connection* connection = Find(id);
    if (connection == nullptr)
        return;
    EndSession(*connection);
    m_connections.erase(id);
}

void Server::EndSession(Connection& connection)
{
    if (connection.uin == 0 || connection.virtualPeer)
        return;
    const auto found = m_sessions.find(connection.uin);
    if (found != m_sessions.end() && found->second == &connection) {
        m_sessions.erase(found);
        if (connection.ready)
            AnnounceGone(*this, connection);
    }
    connection.ready = false;
    // Others this session was told about no longer watch it.
    for (Connection* session : SignedOnSessions())
        session->announced.erase(connection.uin);
}

void Server::StartSession(Connection& connection, std::uint32_t uin)
{
    Connection* earlier = SessionOf(uin);
    if (earlier != nullptr && !earlier->virtualPeer) {
        // The same UIN signed on elsewhere: item 0x0009 = 1 tells the first
        // session why it is disconnected.
        const Bytes notice = Writer().TlvU16(0x0009, 0x0001).Tlv(0x000B, "http://localhost/").Take();
        SendFlap(*earlier, 4, notice);
        Finish(*earlier);
    }
    connection.uin = uin;
    connection.signOnTime = Now();
    m_sessions[uin] = &connection;
}

Connection* Server::SessionOf(std::uint32_t uin)
{
    const auto found = m_sessions.find(uin);
    return found == m_sessions.end() ? nullptr : found->second;
}

Connection* Server::OnlineSession(std::uint32_t uin)
{
    Connection* session = SessionOf(uin);
    return session != nullptr && session->ready && session->state == ConnectionState::Open ? session : nullptr;
}

std::vector<Connection*> Server::OnlineSessions()
{
    std::vector<Connection*> sessions;
    for (const auto& [uin, session] : m_sessions) {
        if (session->ready && session->state == ConnectionState::Open)
            sessions.push_back(session);
    }
    return sessions;
}

std::vector<Connection*> Server::SignedOnSessions()
{
    std::vector<Connection*> sessions;
    for (const auto& [uin, session] : m_sessions) {
        if (session->state == ConnectionState::Open)
            sessions.push_back(session);
    }
    return sessions;
}

std::vector<std::uint32_t> Server::ServedSnacs() const
{
    std::vector<std::uint32_t> snacs;
    for (const auto& [snac, handler] : m_handlers)
        snacs.push_back(snac);
    return snacs;
}

ServerList& Server::ListOf(std::uint32_t uin)
{
    auto found = m_lists.find(uin);
    if (found != m_lists.end())
        return found->second;
    ServerList list;
    if (!m_store.LoadList(uin, list))
        list = ServerList::Initial(uin, Now());
    return m_lists.emplace(uin, std::move(list)).first->second;
}

void Server::SaveList(std::uint32_t uin)
{
    if (uin != kEchoUin && !m_store.SaveList(uin, ListOf(uin)))
        Log("cannot save the list of " + std::to_string(uin));
}

std::vector<OfflineMessage>& Server::OfflineOf(std::uint32_t uin)
{
    auto found = m_offline.find(uin);
    if (found == m_offline.end())
        found = m_offline.emplace(uin, m_store.LoadOffline(uin)).first;
    return found->second;
}

void Server::SaveOffline(std::uint32_t uin)
{
    if (!m_store.SaveOffline(uin, OfflineOf(uin)))
        Log("cannot save the offline messages of " + std::to_string(uin));
}

Bytes Server::IssueCookie(std::uint32_t uin)
{
    Bytes cookie(kCookieSize);
    for (std::uint8_t& byte : cookie)
        byte = static_cast<std::uint8_t>(m_random());
    m_cookies[cookie] = CookieEntry{uin, Now()};
    return cookie;
}

std::uint32_t Server::TakeCookie(ByteView cookie)
{
    const auto found = m_cookies.find(Bytes(cookie.begin(), cookie.end()));
    if (found == m_cookies.end())
        return 0;
    const CookieEntry entry = found->second;
    m_cookies.erase(found);
    return Now() - entry.issued > kLoginTimeout ? 0 : entry.uin;
}

void Server::Tick()
{
    const std::uint32_t now = Now();
    for (auto it = m_cookies.begin(); it != m_cookies.end();)
        it = now - it->second.issued > kLoginTimeout ? m_cookies.erase(it) : std::next(it);
    for (auto& [id, connection] : m_connections) {
        // Login connections, and BOS connections that never presented a
        // cookie, do not stay open idle.
        const bool signingOn = connection->kind == PortKind::Login || connection->uin == 0;
        if (signingOn && !connection->virtualPeer && connection->state == ConnectionState::Open &&
            now - connection->lastActivity > kLoginTimeout)
            Finish(*connection);
    }
}

}  // namespace oscarserver
