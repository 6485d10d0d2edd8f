// Family 0x0004 (messaging): parameters, messages on channels 1, 2 and 4,
// client acknowledgements and typing notices.
//
// 0x04/0x06 from a client: cookie (8), channel (16), recipient UIN (length
// byte and digits), items: 0x0002 the channel-1 message, 0x0005 the channel-2
// or channel-4 block, 0x0003 a request for a server acknowledgement, 0x0006
// "store when the recipient is offline". An online recipient gets 0x04/0x07
// (cookie, channel, the sender's information block with its status, the
// message item). Only a message that carries 0x0003 is acknowledged with
// 0x04/0x0C, and only after it was written to the recipient or stored, so
// that an acknowledged message is never one the server still holds in
// memory alone. Channel-1 and channel-4 messages with 0x0006 to an offline
// user are stored; anything else for an offline user is answered with error
// 0x04/0x01 code 4.
#include "tools/oscar-server/MessageText.h"
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

constexpr std::uint16_t kErrorOffline = 0x0004;
constexpr std::uint16_t kErrorFormat = 0x000E;
constexpr std::uint16_t kErrorQueueFull = 0x0017;

struct OutgoingMessage {
    ByteView cookie;
    std::uint16_t channel = 0;
    std::uint32_t recipient = 0;
    std::string recipientText;
    std::vector<Tlv> items;
};

bool ReadOutgoing(ByteView data, OutgoingMessage& out)
{
    Reader reader(data);
    return reader.Take(8, out.cookie) && reader.U16(out.channel) && reader.ByteString(out.recipientText) &&
           ParseUin(out.recipientText, out.recipient) && ReadTlvs(reader, out.items);
}

// The item that holds the message on each channel.
const Tlv* MessageItem(const OutgoingMessage& message)
{
    switch (message.channel) {
    case 1:
        return FindTlv(message.items, 0x0002);
    case 2:
    case 4:
        return FindTlv(message.items, 0x0005);
    default:
        return nullptr;
    }
}

void Deliver(Server& server, Connection& sender, Connection& recipient, const OutgoingMessage& message,
             const Tlv& item)
{
    Writer body;
    body.Append(message.cookie).U16(message.channel).Append(UserInfoBlock(server, sender));
    body.Tlv(item.type, item.value);
    server.SendSnac(recipient, 0x0004, 0x0007, 0, 0, body.Data());
}

bool StoreOffline(Server& server, const Connection& sender, const OutgoingMessage& message, const Tlv& item)
{
    MessageText text;
    const bool read = message.channel == 1   ? ReadChannel1Text(item.value, text)
                      : message.channel == 4 ? ReadChannel4Text(item.value, text)
                                             : false;
    if (!read || server.Accounts().Find(message.recipient) == nullptr)
        return false;
    std::vector<OfflineMessage>& queue = server.OfflineOf(message.recipient);
    if (queue.size() >= kMaxOfflineMessages)
        return false;
    OfflineMessage stored;
    stored.sender = sender.uin;
    stored.time = server.Now();
    stored.type = text.type;
    stored.flags = text.flags;
    // The offline reply has no character set field: Unicode text is kept as
    // UTF-8, which the reader recognises, while 8-bit text stays as sent.
    stored.text = message.channel == 1 && text.charset == kCharsetUnicode ? Utf16BeToUtf8(text.text)
                                                                            : std::move(text.text);
    queue.push_back(std::move(stored));
    server.SaveOffline(message.recipient);
    return true;
}

void Acknowledge(Server& server, Connection& sender, const OutgoingMessage& message, std::uint32_t requestId)
{
    const Bytes body =
        Writer().Append(message.cookie).U16(message.channel).ByteString(message.recipientText).Take();
    server.SendSnac(sender, 0x0004, 0x000C, 0, requestId, body);
}

void OnSendMessage(Server& server, Connection& connection, const Snac& snac)
{
    OutgoingMessage message;
    const Tlv* item = ReadOutgoing(snac.data, message) ? MessageItem(message) : nullptr;
    if (item == nullptr) {
        server.SendError(connection, 0x0004, snac.requestId, kErrorFormat);
        return;
    }
    const bool store = FindTlv(message.items, 0x0006) != nullptr;
    const bool wantsAck = FindTlv(message.items, 0x0003) != nullptr;
    if (Connection* recipient = server.OnlineSession(message.recipient); recipient != nullptr) {
        Deliver(server, connection, *recipient, message, *item);
        if (wantsAck)
            Acknowledge(server, connection, message, snac.requestId);
        return;
    }
    if (!store) {
        server.SendError(connection, 0x0004, snac.requestId, kErrorOffline);
        return;
    }
    if (!StoreOffline(server, connection, message, *item)) {
        const bool full = server.Accounts().Find(message.recipient) != nullptr && message.channel != 2 &&
                          server.OfflineOf(message.recipient).size() >= kMaxOfflineMessages;
        server.SendError(connection, 0x0004, snac.requestId, full ? kErrorQueueFull : kErrorOffline);
        return;
    }
    if (wantsAck)
        Acknowledge(server, connection, message, snac.requestId);
}

// cookie (8), channel (16), UIN, then the rest (a reason code and data):
// relayed to that user with the UIN replaced by the sender's.
bool RelayWithSender(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    ByteView cookie;
    std::uint16_t channel = 0;
    std::string uinText;
    std::uint32_t uin = 0;
    if (!reader.Take(8, cookie) || !reader.U16(channel) || !reader.ByteString(uinText) ||
        !ParseUin(uinText, uin))
        return false;
    Connection* target = server.OnlineSession(uin);
    if (target == nullptr || target->virtualPeer)
        return true;
    Writer body;
    body.Append(cookie).U16(channel).ByteString(std::to_string(connection.uin)).Append(reader.Rest());
    server.SendSnac(*target, 0x0004, snac.subtype, 0, 0, body.Data());
    return true;
}

void OnClientAcknowledge(Server& server, Connection& connection, const Snac& snac)
{
    if (!RelayWithSender(server, connection, snac))
        server.SendError(connection, 0x0004, snac.requestId, kErrorFormat);
}

void OnTyping(Server& server, Connection& connection, const Snac& snac)
{
    if (!RelayWithSender(server, connection, snac))
        server.SendError(connection, 0x0004, snac.requestId, kErrorFormat);
}

void OnParametersRequest(Server& server, Connection& connection, const Snac& snac)
{
    const Bytes body = Writer().U16(0).U32(0x00000003).U16(0x1F40).U16(0x03E7).U16(0x03E7).U32(0).Take();
    server.SendSnac(connection, 0x0004, 0x0005, 0, snac.requestId, body);
}

void OnSetParameters(Server&, Connection&, const Snac&) {}

}  // namespace

void RegisterMessagingFamily(HandlerTable& table)
{
    table[0x00040002] = OnSetParameters;
    table[0x00040004] = OnParametersRequest;
    table[0x00040006] = OnSendMessage;
    table[0x0004000B] = OnClientAcknowledge;
    table[0x00040014] = OnTyping;
}

}  // namespace oscarserver
