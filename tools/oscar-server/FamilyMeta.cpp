// Family 0x0015 (ICQ meta): the request envelope, offline messages (0x003C
// deliver, 0x003E delete) and the hand-over of directory requests.
//
// Offline messages: each stored message goes out as reply 0x0041 (sender,
// UTC date and time, type, flags, text), then 0x0042 ends the run. The
// messages stay stored until the client asks for deletion with 0x003E, which
// removes those it was sent, not any that arrived in between.
#include <algorithm>
#include <ctime>

#include "tools/oscar-server/Meta.h"

namespace oscarserver {
namespace {

constexpr std::uint16_t kRequestOffline = 0x003C;
constexpr std::uint16_t kRequestDeleteOffline = 0x003E;
constexpr std::uint16_t kRequestDirectory = 0x07D0;
constexpr std::uint16_t kReplyOfflineMessage = 0x0041;
constexpr std::uint16_t kReplyOfflineEnd = 0x0042;

bool ReadRequest(const Snac& snac, MetaRequest& out)
{
    Reader reader(snac.data);
    std::uint16_t type = 0;
    std::uint16_t length = 0;
    ByteView value;
    if (!reader.U16(type) || type != 0x0001 || !reader.U16(length) || !reader.Take(length, value))
        return false;
    Reader inner(value);
    std::uint16_t rest = 0;
    std::uint32_t owner = 0;
    if (!inner.U16LE(rest) || !inner.U32LE(owner) || !inner.U16LE(out.type) || !inner.U16LE(out.sequence))
        return false;
    // The body ends where the declared length ends, or at the item's end.
    const std::size_t declared = rest >= 8 ? rest - 8u : 0u;
    out.body = inner.Rest().first(std::min(declared, inner.Remaining()));
    out.requestId = snac.requestId;
    return true;
}

Bytes OfflineBody(const OfflineMessage& message)
{
    const std::time_t time = message.time;
    std::tm utc{};
    gmtime_r(&time, &utc);
    Writer body;
    body.U32LE(message.sender).U16LE(static_cast<std::uint16_t>(utc.tm_year + 1900));
    body.U8(static_cast<std::uint8_t>(utc.tm_mon + 1)).U8(static_cast<std::uint8_t>(utc.tm_mday));
    body.U8(static_cast<std::uint8_t>(utc.tm_hour)).U8(static_cast<std::uint8_t>(utc.tm_min));
    body.U8(message.type).U8(message.flags);
    body.U16LE(static_cast<std::uint16_t>(message.text.size() + 1)).Append(message.text).U8(0);
    return body.Take();
}

void SendOffline(Server& server, Connection& connection, const MetaRequest& request)
{
    const std::vector<OfflineMessage>& queue = server.OfflineOf(connection.uin);
    for (const OfflineMessage& message : queue)
        SendMetaReply(server, connection, request, kReplyOfflineMessage, OfflineBody(message), true);
    connection.offlineDelivered = queue.size();
    static constexpr std::uint8_t kNoneDropped[] = {0};
    SendMetaReply(server, connection, request, kReplyOfflineEnd, kNoneDropped, false);
}

void DeleteOffline(Server& server, Connection& connection)
{
    std::vector<OfflineMessage>& queue = server.OfflineOf(connection.uin);
    const std::size_t count = std::min(connection.offlineDelivered, queue.size());
    connection.offlineDelivered = 0;
    if (count == 0)
        return;
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(count));
    server.SaveOffline(connection.uin);
}

void OnMetaRequest(Server& server, Connection& connection, const Snac& snac)
{
    MetaRequest request;
    if (!ReadRequest(snac, request)) {
        server.SendError(connection, 0x0015, snac.requestId, 0x000E);
        return;
    }
    switch (request.type) {
    case kRequestOffline:
        SendOffline(server, connection, request);
        return;
    case kRequestDeleteOffline:
        DeleteOffline(server, connection);
        return;
    case kRequestDirectory:
        HandleDirectoryRequest(server, connection, request);
        return;
    default:
        server.SendError(connection, 0x0015, snac.requestId, 0x0008);
        return;
    }
}

}  // namespace

void SendMetaReply(Server& server, Connection& connection, const MetaRequest& request, std::uint16_t replyType,
                   ByteView body, bool more)
{
    Writer value;
    value.U16LE(static_cast<std::uint16_t>(std::min<std::size_t>(body.size() + 8, 0xFFFF)));
    value.U32LE(connection.uin).U16LE(replyType).U16LE(request.sequence).Append(body);
    const Bytes data = Writer().Tlv(0x0001, value.Data()).Take();
    server.SendSnac(connection, 0x0015, 0x0003, more ? 0x0001 : 0x0000, request.requestId, data);
}

void RegisterMetaFamily(HandlerTable& table) { table[0x00150002] = OnMetaRequest; }

}  // namespace oscarserver
