#include "tools/oscar-server/EventLoop.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace oscarserver {
namespace {

constexpr int kPollTimeoutMs = 1000;
constexpr std::size_t kReadChunk = 64 * 1024;

int OpenListener(const std::string& address, std::uint16_t port, std::uint16_t& bound, std::string& error)
{
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr) != 1) {
        error = "not an IPv4 address: " + address;
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&endpoint), sizeof endpoint) != 0 || ::listen(fd, 512) != 0) {
        error = "cannot listen on " + address + ":" + std::to_string(port);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    socklen_t length = sizeof endpoint;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&endpoint), &length);
    bound = ntohs(endpoint.sin_port);
    return fd;
}

}  // namespace

EventLoop::EventLoop(Server& server) : m_server(server)
{
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        m_wakeRead = fds[0];
        m_wakeWrite = fds[1];
    }
}

EventLoop::~EventLoop()
{
    for (int fd : {m_loginListener, m_bosListener, m_wakeRead, m_wakeWrite}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool EventLoop::Listen(const std::string& address, std::uint16_t loginPort, std::uint16_t bosPort,
                       std::string& error)
{
    m_loginListener = OpenListener(address, loginPort, m_loginPort, error);
    if (m_loginListener < 0)
        return false;
    m_bosListener = OpenListener(address, bosPort, m_bosPort, error);
    return m_bosListener >= 0;
}

void EventLoop::Stop()
{
    const char byte = 1;
    if (m_wakeWrite >= 0)
        static_cast<void>(::write(m_wakeWrite, &byte, 1));
}

void EventLoop::Run()
{
    std::vector<pollfd> polled;
    bool running = m_wakeRead >= 0;
    while (running) {
        polled.clear();
        polled.push_back({m_wakeRead, POLLIN, 0});
        polled.push_back({m_loginListener, POLLIN, 0});
        polled.push_back({m_bosListener, POLLIN, 0});
        for (const auto& [fd, id] : m_clients) {
            const Connection* connection = m_server.Find(id);
            const bool writing = connection != nullptr && !connection->output.empty();
            polled.push_back({fd, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0});
        }
        if (::poll(polled.data(), polled.size(), kPollTimeoutMs) < 0 && errno != EINTR)
            break;
        if (polled[0].revents != 0)
            running = false;
        if (polled[1].revents & POLLIN)
            Accept(m_loginListener, PortKind::Login);
        if (polled[2].revents & POLLIN)
            Accept(m_bosListener, PortKind::Bos);
        for (std::size_t i = 3; i < polled.size(); ++i) {
            const int fd = polled[i].fd;
            const auto client = m_clients.find(fd);
            if (client == m_clients.end())
                continue;
            const bool readable = (polled[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
            Connection* connection = m_server.Find(client->second);
            if (readable && connection != nullptr && !ReadFrom(fd, client->second))
                m_server.Drop(*connection);
        }
        m_server.Tick();
        // Write and close after every read so that replies to one client's
        // frame reach every client it concerns in the same round, oldest
        // queued output first.
        std::vector<std::pair<std::uint64_t, int>> order;
        for (const auto& [fd, id] : m_clients) {
            const Connection* connection = m_server.Find(id);
            order.emplace_back(connection == nullptr ? 0 : connection->queuedAt, fd);
        }
        std::sort(order.begin(), order.end());
        std::vector<int> closing;
        for (const auto& [queuedAt, fd] : order) {
            Connection* connection = m_server.Find(m_clients[fd]);
            if (connection == nullptr || connection->state == ConnectionState::Dead || !WriteTo(fd, *connection) ||
                (connection->state == ConnectionState::Flushing && connection->output.empty()))
                closing.push_back(fd);
        }
        for (int fd : closing)
            CloseClient(fd);
    }
    std::vector<int> all;
    for (const auto& [fd, id] : m_clients)
        all.push_back(fd);
    for (int fd : all)
        CloseClient(fd);
}

void EventLoop::Accept(int listener, PortKind kind)
{
    for (;;) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (m_clients.size() >= kMaxClients) {
            ::close(fd);
            continue;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_clients[fd] = m_server.Open(kind);
    }
}

bool EventLoop::ReadFrom(int fd, ConnectionId id)
{
    std::uint8_t buffer[kReadChunk];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n == 0)
        return false;
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    m_server.Receive(id, ByteView(buffer, static_cast<std::size_t>(n)));
    return true;
}

bool EventLoop::WriteTo(int fd, Connection& connection)
{
    while (!connection.output.empty()) {
        const ssize_t n = ::send(fd, connection.output.data(), connection.output.size(), MSG_NOSIGNAL);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        connection.output.erase(connection.output.begin(), connection.output.begin() + n);
    }
    return true;
}

void EventLoop::CloseClient(int fd)
{
    const auto client = m_clients.find(fd);
    if (client == m_clients.end())
        return;
    m_server.Close(client->second);
    m_clients.erase(client);
    ::close(fd);
}

}  // namespace oscarserver
