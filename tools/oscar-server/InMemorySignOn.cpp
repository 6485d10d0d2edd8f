#include "tools/oscar-server/InMemorySignOn.h"

namespace oscarserver {
namespace {

void Feed(Server& server, ConnectionId id, std::uint8_t channel, ByteView payload)
{
    Bytes frame;
    AppendFlap(frame, channel, 0, payload);
    server.Receive(id, frame);
}

void FeedSnac(Server& server, ConnectionId id, std::uint16_t family, std::uint16_t subtype, ByteView data)
{
    Feed(server, id, 2, SnacPayload(family, subtype, 0, 0, data));
}

}  // namespace

std::vector<Frame> TakeFrames(Server& server, ConnectionId id)
{
    std::vector<Frame> frames;
    Connection* connection = server.Find(id);
    if (connection == nullptr)
        return frames;
    FrameIntake intake;
    intake.Feed(connection->output);
    connection->output.clear();
    Frame frame;
    while (intake.Next(frame))
        frames.push_back(std::move(frame));
    return frames;
}

ConnectionId SignOnInMemory(Server& server, std::uint32_t uin, std::string_view password)
{
    const ConnectionId login = server.Open(PortKind::Login);
    const Bytes request = Writer().U32(1).Tlv(0x0001, std::to_string(uin)).Tlv(0x0002, Roast(View(password))).Take();
    Feed(server, login, 1, request);
    Bytes cookie;
    for (const Frame& frame : TakeFrames(server, login)) {
        Reader reader(frame.payload);
        std::vector<Tlv> items;
        ReadTlvs(reader, items);
        if (const Tlv* item = FindTlv(items, 0x0006); frame.channel == 4 && item != nullptr)
            cookie.assign(item->value.begin(), item->value.end());
    }
    server.Close(login);
    if (cookie.empty())
        return 0;
    const ConnectionId bos = server.Open(PortKind::Bos);
    Feed(server, bos, 1, Writer().U32(1).Tlv(0x0006, cookie).Take());
    FeedSnac(server, bos, 0x0001, 0x0017, Writer().U32(0x00010004).Take());
    FeedSnac(server, bos, 0x0001, 0x0006, ByteView());
    FeedSnac(server, bos, 0x0013, 0x0005, Writer().U32(0).U16(0).Take());
    FeedSnac(server, bos, 0x0013, 0x0007, ByteView());
    FeedSnac(server, bos, 0x0001, 0x001E, Writer().U16(0x0006).U16(4).U32(0).Take());
    FeedSnac(server, bos, 0x0001, 0x0002, ByteView());
    TakeFrames(server, bos);
    const Connection* connection = server.Find(bos);
    return connection != nullptr && connection->ready ? bos : 0;
}

}  // namespace oscarserver
