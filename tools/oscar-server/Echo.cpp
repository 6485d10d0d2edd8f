#include "tools/oscar-server/Echo.h"

#include "tools/oscar-server/MessageText.h"
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

bool ReadText(std::uint16_t channel, const std::vector<Tlv>& items, MessageText& text, Bytes& item0002)
{
    if (channel == 1) {
        const Tlv* item = FindTlv(items, 0x0002);
        if (item == nullptr || !ReadChannel1Text(item->value, text))
            return false;
        item0002.assign(item->value.begin(), item->value.end());
        return true;
    }
    const Tlv* item = FindTlv(items, 0x0005);
    const bool read = item != nullptr && (channel == 2   ? ReadChannel2Text(item->value, text)
                                          : channel == 4 ? ReadChannel4Text(item->value, text)
                                                         : false);
    if (read)
        item0002 = Channel1Item(text);
    return read;
}

// 0x04/0x07: cookie, channel, the sender's information block (UIN, warning
// level, item count, items), then the message items.
void AnswerMessage(Server& server, Connection& echo, const Snac& snac)
{
    Reader reader(snac.data);
    ByteView cookie;
    std::uint16_t channel = 0;
    std::string senderText;
    std::uint16_t warning = 0;
    std::uint16_t count = 0;
    std::vector<Tlv> userItems;
    std::vector<Tlv> items;
    std::uint32_t sender = 0;
    if (!reader.Take(8, cookie) || !reader.U16(channel) || !reader.ByteString(senderText) ||
        !reader.U16(warning) || !reader.U16(count) || !ReadTlvs(reader, count, userItems) ||
        !ReadTlvs(reader, items) || !ParseUin(senderText, sender))
        return;
    MessageText text;
    Bytes item0002;
    Connection* target = server.OnlineSession(sender);
    if (target == nullptr || target->virtualPeer || !ReadText(channel, items, text, item0002))
        return;
    Writer body;
    for (int i = 0; i < 8; ++i)
        body.U8(static_cast<std::uint8_t>(server.Random()()));
    body.U16(1).Append(UserInfoBlock(server, echo)).Tlv(0x0002, item0002);
    server.SendSnac(*target, 0x0004, 0x0007, 0, 0, body.Data());
}

void GrantAuthorisation(Server& server, Connection& echo, const Snac& snac)
{
    Reader reader(snac.data);
    std::string requesterText;
    std::uint32_t requester = 0;
    if (!reader.ByteString(requesterText) || !ParseUin(requesterText, requester))
        return;
    Connection* target = server.OnlineSession(requester);
    if (target == nullptr)
        return;
    const Bytes body = Writer().ByteString(std::to_string(echo.uin)).U8(1).U16(0).Take();
    server.SendSnac(*target, 0x0013, 0x001B, 0, 0, body);
}

}  // namespace

Bytes EchoCapabilities()
{
    return {0x09, 0x46, 0x13, 0x4E, 0x4C, 0x7F, 0x11, 0xD1, 0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
}

void EchoReceive(Server& server, Connection& echo, const Snac& snac)
{
    if (snac.family == 0x0004 && snac.subtype == 0x0007)
        AnswerMessage(server, echo, snac);
    else if (snac.family == 0x0013 && snac.subtype == 0x0019)
        GrantAuthorisation(server, echo, snac);
}

}  // namespace oscarserver
