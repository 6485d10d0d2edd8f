#include "tools/oscar-server/load/LoadClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace oscarload {

using oscarserver::Reader;
using oscarserver::Writer;

LoadClient::LoadClient(std::uint32_t uin, std::string password, std::string host, std::uint16_t loginPort)
    : m_uin(uin), m_password(std::move(password)), m_host(std::move(host)), m_loginPort(loginPort)
{
}

LoadClient::~LoadClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LoadClient::Start() { return Connect(m_host, m_loginPort); }

// A blocking connect (loopback answers at once), then non-blocking I/O.
bool LoadClient::Connect(const std::string& host, std::uint16_t port)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_intake = oscarserver::FrameIntake();
    m_output.clear();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    if (m_fd < 0 || ::inet_pton(AF_INET, host.c_str(), &endpoint.sin_addr) != 1 ||
        ::connect(m_fd, reinterpret_cast<sockaddr*>(&endpoint), sizeof endpoint) != 0) {
        Fail("cannot connect to " + host + ":" + std::to_string(port));
        return false;
    }
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    return true;
}

void LoadClient::Fail(const std::string& why)
{
    m_phase = Phase::Failed;
    m_failure = why;
}

void LoadClient::SendFlap(std::uint8_t channel, ByteView payload)
{
    oscarserver::AppendFlap(m_output, channel, m_sequence++, payload);
}

void LoadClient::SendSnac(std::uint16_t family, std::uint16_t subtype, ByteView data)
{
    SendFlap(2, oscarserver::SnacPayload(family, subtype, 0, subtype, data));
}

void LoadClient::OnReadable()
{
    std::uint8_t buffer[16384];
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n == 0 && m_phase == Phase::Login && !m_cookie.empty())
            return;
        if (n == 0)
            return Fail("server closed the connection");
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK ? void() : Fail("read failed");
        if (!m_intake.Feed(ByteView(buffer, static_cast<std::size_t>(n))))
            return Fail("bad framing from the server");
        oscarserver::Frame frame;
        while (m_phase != Phase::Failed && m_intake.Next(frame))
            OnFrame(frame);
        if (m_phase == Phase::Failed)
            return;
    }
}

void LoadClient::OnWritable()
{
    while (!m_output.empty()) {
        const ssize_t n = ::send(m_fd, m_output.data(), m_output.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                Fail("write failed");
            return;
        }
        m_output.erase(m_output.begin(), m_output.begin() + n);
    }
}

void LoadClient::OnFrame(const oscarserver::Frame& frame)
{
    if (frame.channel == 1 && m_phase == Phase::Login) {
        const Bytes roasted = oscarserver::Roast(oscarserver::View(m_password));
        const Bytes request = Writer().U32(1).Tlv(0x0001, std::to_string(m_uin)).Tlv(0x0002, roasted).Take();
        SendFlap(1, request);
    } else if (frame.channel == 4 && m_phase == Phase::Login) {
        OnLoginReply(frame.payload);
    } else if (frame.channel == 1 && m_phase == Phase::Bos) {
        SendFlap(1, Writer().U32(1).Tlv(0x0006, m_cookie).Take());
    } else if (frame.channel == 2) {
        oscarserver::Snac snac;
        if (!oscarserver::ParseSnac(frame.payload, snac))
            return Fail("bad SNAC from the server");
        OnSnac(snac.family, snac.subtype, snac.flags);
    } else if (frame.channel == 4) {
        Fail("disconnected by the server");
    }
}

void LoadClient::OnLoginReply(ByteView payload)
{
    Reader reader(payload);
    std::vector<oscarserver::Tlv> items;
    oscarserver::ReadTlvs(reader, items);
    const oscarserver::Tlv* address = oscarserver::FindTlv(items, 0x0005);
    const oscarserver::Tlv* cookie = oscarserver::FindTlv(items, 0x0006);
    if (address == nullptr || cookie == nullptr)
        return Fail("login rejected");
    m_cookie.assign(cookie->value.begin(), cookie->value.end());
    const std::string text = oscarserver::Text(address->value);
    const std::size_t colon = text.rfind(':');
    std::uint32_t port = 0;
    if (colon == std::string::npos || !oscarserver::ParseUin(text.substr(colon + 1), port) || port > 0xFFFF)
        return Fail("bad BOS address " + text);
    m_phase = Phase::Bos;
    Connect(text.substr(0, colon), static_cast<std::uint16_t>(port));
}

void LoadClient::OnSnac(std::uint16_t family, std::uint16_t subtype, std::uint16_t flags)
{
    const std::uint32_t command = (std::uint32_t{family} << 16) | subtype;
    switch (command) {
    case 0x00010003:
        SendSnac(0x0001, 0x0017, Writer().U32(0x00010004).U32(0x00130004).U32(0x00040001).Take());
        return;
    case 0x00010018:
        SendSnac(0x0001, 0x0006, ByteView());
        return;
    case 0x00010007:
        SendSnac(0x0001, 0x0008, Writer().U16(1).U16(2).Take());
        SendSnac(0x0013, 0x0005, Writer().U32(0).U16(0).Take());
        return;
    case 0x00130006:
        if ((flags & 1) != 0)
            return;
        SendSnac(0x0001, 0x001E, Writer().U16(0x0006).U16(4).U32(0).Take());
        SendSnac(0x0001, 0x0002, ByteView());
        m_phase = Phase::Online;
        m_onlineAt = Clock::now();
        return;
    case 0x00040007:
        ++m_received;
        return;
    case 0x0004000C:
        ++m_acknowledged;
        return;
    case 0x00040001:
        ++m_errors;
        return;
    default:
        return;
    }
}

void LoadClient::SendMessage(std::uint32_t recipient, const std::string& text)
{
    Writer message;
    for (int i = 0; i < 2; ++i)
        message.U32(m_uin ^ (m_messageCount + static_cast<std::uint32_t>(i)));
    ++m_messageCount;
    Writer item;
    item.U8(0x05).U8(0x01).U16(1).U8(0x01).U8(0x01).U8(0x01).U16(static_cast<std::uint16_t>(text.size() + 4));
    item.U16(0).U16(0).Append(text);
    message.U16(1).ByteString(std::to_string(recipient)).Tlv(0x0002, item.Data());
    message.Tlv(0x0003, ByteView()).Tlv(0x0006, ByteView());
    SendSnac(0x0004, 0x0006, message.Data());
}

}  // namespace oscarload
