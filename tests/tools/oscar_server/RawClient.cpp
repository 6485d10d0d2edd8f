#include "tests/tools/oscar_server/RawClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tools/oscar-server/Md5.h"

namespace oscartest {

using oscarserver::Reader;
using oscarserver::Writer;

const char* const kTestAccounts =
    "<accounts>"
    "<account uin='100001' password='demo' nick='Demo' first='Dana' last='Demo' city='Springfield'"
    " gender='female' age='30' notes='demo notes'/>"
    "<account uin='100002' password='friend' nick='Friend' first='Frank' city='Shelbyville' gender='male'"
    " age='34'/>"
    "<account uin='100003' password='shy' nick='Shy' auth='1'/>"
    "</accounts>";

ServerHarness::ServerHarness(const std::string& dataFolder, std::size_t listPartBytes)
{
    oscarserver::AccountBook accounts;
    std::string error;
    std::vector<std::string> warnings;
    accounts.LoadText(kTestAccounts, error, warnings);
    oscarserver::ServerConfig config;
    config.logSink = [](const std::string&) {};
    config.listPartBytes = listPartBytes;
    m_server = std::make_unique<oscarserver::Server>(std::move(config), std::move(accounts),
                                                     oscarserver::DataStore(dataFolder));
    m_loop = std::make_unique<oscarserver::EventLoop>(*m_server);
    if (m_loop->Listen("127.0.0.1", 0, 0, error)) {
        m_loginPort = m_loop->LoginPort();
        m_bosPort = m_loop->BosPort();
        m_server->SetBosAddress("127.0.0.1:" + std::to_string(m_bosPort));
        m_thread = std::thread([this] { m_loop->Run(); });
    }
}

ServerHarness::~ServerHarness()
{
    m_loop->Stop();
    if (m_thread.joinable())
        m_thread.join();
}

RawClient::~RawClient() { Disconnect(); }

bool RawClient::Connect(std::uint16_t port)
{
    Disconnect();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    endpoint.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&endpoint), sizeof endpoint) == 0;
}

void RawClient::Disconnect()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_intake = oscarserver::FrameIntake();
}

void RawClient::SendRaw(ByteView bytes)
{
    static_cast<void>(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
}

void RawClient::SendFlap(std::uint8_t channel, ByteView payload)
{
    Bytes frame;
    oscarserver::AppendFlap(frame, channel, m_sequence++, payload);
    SendRaw(frame);
}

void RawClient::SendSnac(std::uint16_t family, std::uint16_t subtype, std::uint32_t requestId, ByteView data)
{
    SendFlap(2, oscarserver::SnacPayload(family, subtype, 0, requestId, data));
}

bool RawClient::ReadFrame(oscarserver::Frame& out, int timeoutMs)
{
    for (;;) {
        if (m_intake.Next(out)) {
            if (out.channel == 4)
                lastClose = out.payload;
            return true;
        }
        pollfd polled{m_fd, POLLIN, 0};
        if (::poll(&polled, 1, timeoutMs) <= 0)
            return false;
        std::uint8_t buffer[65536];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0 || !m_intake.Feed(ByteView(buffer, static_cast<std::size_t>(n))))
            return false;
    }
}

bool RawClient::WaitSnac(std::uint16_t family, std::uint16_t subtype, ReceivedSnac& out, int timeoutMs)
{
    oscarserver::Frame frame;
    while (ReadFrame(frame, timeoutMs)) {
        oscarserver::Snac snac;
        if (frame.channel != 2 || !oscarserver::ParseSnac(frame.payload, snac))
            continue;
        if (snac.family == family && snac.subtype == subtype) {
            out = ReceivedSnac{snac.family, snac.subtype, snac.flags, snac.requestId,
                               Bytes(snac.data.begin(), snac.data.end())};
            return true;
        }
    }
    return false;
}

bool RawClient::WaitClosed(int timeoutMs)
{
    oscarserver::Frame frame;
    while (ReadFrame(frame, timeoutMs)) {
    }
    pollfd polled{m_fd, POLLIN, 0};
    std::uint8_t byte = 0;
    return ::poll(&polled, 1, 0) > 0 && ::recv(m_fd, &byte, 1, MSG_DONTWAIT) <= 0;
}

bool RawClient::NoSnac(std::uint16_t family, std::uint16_t subtype, int timeoutMs)
{
    ReceivedSnac ignored;
    return !WaitSnac(family, subtype, ignored, timeoutMs);
}

std::map<std::uint16_t, Bytes> RawClient::Login(std::uint16_t loginPort, const std::string& uin,
                                                const std::string& password)
{
    std::map<std::uint16_t, Bytes> items;
    oscarserver::Frame frame;
    if (!Connect(loginPort) || !ReadFrame(frame) || frame.channel != 1)
        return items;
    const Bytes roasted = oscarserver::Roast(oscarserver::View(password));
    SendFlap(1, Writer().U32(1).Tlv(0x0001, uin).Tlv(0x0002, roasted).Tlv(0x0003, "test client").Take());
    if (!ReadFrame(frame) || frame.channel != 4)
        return items;
    Reader reader(frame.payload);
    std::vector<oscarserver::Tlv> tlvs;
    oscarserver::ReadTlvs(reader, tlvs);
    for (const oscarserver::Tlv& tlv : tlvs)
        items[tlv.type] = Bytes(tlv.value.begin(), tlv.value.end());
    return items;
}

std::map<std::uint16_t, Bytes> RawClient::KeyLogin(std::uint16_t loginPort, const std::string& uin,
                                                   const std::string& password, bool hashedPassword)
{
    std::map<std::uint16_t, Bytes> items;
    oscarserver::Frame frame;
    ReceivedSnac reply;
    if (!Connect(loginPort) || !ReadFrame(frame) || frame.channel != 1)
        return items;
    SendFlap(1, Writer().U32(1).Take());
    SendSnac(0x0017, 0x0006, 6, Writer().Tlv(0x0001, uin).Take());
    if (!WaitSnac(0x0017, 0x0007, reply))
        return items;
    Reader keyReader(reply.data);
    std::uint16_t keyLength = 0;
    ByteView key;
    if (!keyReader.U16(keyLength) || !keyReader.Take(keyLength, key))
        return items;
    oscarserver::Md5 md5;
    md5.Update(key);
    if (hashedPassword)
        md5.Update(oscarserver::Md5Of(oscarserver::View(password)));
    else
        md5.Update(password);
    const oscarserver::Md5Digest hash = md5.Update("AOL Instant Messenger (SM)").Finish();
    Writer request;
    request.Tlv(0x0001, uin).Tlv(0x0025, hash).Tlv(0x0003, "test client");
    if (hashedPassword)
        request.Tlv(0x004C, ByteView());
    SendSnac(0x0017, 0x0002, 2, request.Data());
    if (!WaitSnac(0x0017, 0x0003, reply))
        return items;
    Reader reader(reply.data);
    std::vector<oscarserver::Tlv> tlvs;
    oscarserver::ReadTlvs(reader, tlvs);
    for (const oscarserver::Tlv& tlv : tlvs)
        items[tlv.type] = Bytes(tlv.value.begin(), tlv.value.end());
    return items;
}

bool RawClient::OpenBos(const ServerHarness& server, const Bytes& cookie)
{
    oscarserver::Frame frame;
    ReceivedSnac ready;
    if (!Connect(server.BosPort()) || !ReadFrame(frame) || frame.channel != 1)
        return false;
    SendFlap(1, Writer().U32(1).Tlv(0x0006, cookie).Take());
    return WaitSnac(0x0001, 0x0003, ready);
}

bool RawClient::SignOn(const ServerHarness& server, std::uint32_t uin, const std::string& password,
                       std::uint16_t status)
{
    const auto reply = Login(server.LoginPort(), std::to_string(uin), password);
    if (reply.count(0x0006) == 0)
        return false;
    ReceivedSnac snac;
    if (!OpenBos(server, reply.at(0x0006)))
        return false;
    SendSnac(0x0001, 0x0017, 0x17, Writer().U32(0x00010004).U32(0x00130004).Take());
    if (!WaitSnac(0x0001, 0x0018, snac))
        return false;
    SendSnac(0x0001, 0x0006, 6, ByteView());
    if (!WaitSnac(0x0001, 0x0007, snac))
        return false;
    SendSnac(0x0001, 0x0008, 8, Writer().U16(1).U16(2).Take());
    SendSnac(0x0013, 0x0005, 0x00010005, Writer().U32(0).U16(0).Take());
    do {
        if (!WaitSnac(0x0013, 0x0006, snac))
            return false;
    } while ((snac.flags & 1) != 0);
    SendSnac(0x0013, 0x0007, 7, ByteView());
    SendSnac(0x0001, 0x001E, 0x1E, Writer().U16(0x0006).U16(4).U16(0x0100).U16(status).Take());
    SendSnac(0x0001, 0x0002, 2, ByteView());
    return WaitSnac(0x0001, 0x000F, snac);
}

Bytes Channel1Message(const std::string& cookie8, std::uint32_t to, const std::string& text, unsigned asks,
                      std::uint16_t charset)
{
    Writer item;
    item.U8(0x05).U8(0x01).U16(1).U8(0x01);
    item.U8(0x01).U8(0x01).U16(static_cast<std::uint16_t>(text.size() + 4)).U16(charset).U16(0).Append(text);
    Writer message;
    message.Append(cookie8.substr(0, 8)).U16(1).ByteString(std::to_string(to)).Tlv(0x0002, item.Data());
    if ((asks & kAskAck) != 0)
        message.Tlv(0x0003, ByteView());
    if ((asks & kAskStore) != 0)
        message.Tlv(0x0006, ByteView());
    return message.Take();
}

Bytes MetaRequest(std::uint32_t owner, std::uint16_t type, std::uint16_t sequence, ByteView body)
{
    Writer value;
    value.U16LE(static_cast<std::uint16_t>(8 + body.size())).U32LE(owner).U16LE(type).U16LE(sequence).Append(body);
    return Writer().Tlv(0x0001, value.Data()).Take();
}

Bytes ListItemBytes(const std::string& name, std::uint16_t group, std::uint16_t item, std::uint16_t type,
                    ByteView data)
{
    Writer writer;
    writer.U16(static_cast<std::uint16_t>(name.size())).Append(name).U16(group).U16(item).U16(type);
    writer.U16(static_cast<std::uint16_t>(data.size())).Append(data);
    return writer.Take();
}

std::string IncomingText(const ReceivedSnac& snac, std::string* sender)
{
    Reader reader(snac.data);
    std::string from;
    std::uint16_t channel = 0;
    std::uint16_t warning = 0;
    std::uint16_t count = 0;
    std::vector<oscarserver::Tlv> userItems;
    std::vector<oscarserver::Tlv> items;
    if (!reader.Skip(8) || !reader.U16(channel) || !reader.ByteString(from) || !reader.U16(warning) ||
        !reader.U16(count) || !oscarserver::ReadTlvs(reader, count, userItems) ||
        !oscarserver::ReadTlvs(reader, items))
        return {};
    if (sender != nullptr)
        *sender = from;
    const oscarserver::Tlv* message = oscarserver::FindTlv(items, 0x0002);
    if (message == nullptr)
        return {};
    Reader fragments(message->value);
    while (!fragments.AtEnd()) {
        std::uint8_t id = 0;
        std::uint8_t version = 0;
        std::uint16_t length = 0;
        ByteView value;
        if (!fragments.U8(id) || !fragments.U8(version) || !fragments.U16(length) || !fragments.Take(length, value))
            return {};
        if (id == 1 && value.size() >= 4)
            return oscarserver::Text(value.subspan(4));
    }
    return {};
}

}  // namespace oscartest
