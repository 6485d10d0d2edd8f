// Feeds arbitrary bytes into oscar-server's per-client intake, without
// sockets: on a fresh login connection, on a login connection that was just
// given a key (so the hash check sees the input) and on a signed-on BOS
// session, so that the framing, the SNAC dispatch and every handler see the
// input. The input is split at its first byte's value to vary read chunks.
#include <cstddef>
#include <cstdint>

#include "tools/oscar-server/InMemorySignOn.h"

namespace {

oscarserver::Server& SharedServer()
{
    static oscarserver::Server* server = [] {
        oscarserver::AccountBook accounts;
        std::string error;
        std::vector<std::string> warnings;
        accounts.LoadText("<accounts><account uin='100001' password='demo'/>"
                          "<account uin='100002' password='friend'/></accounts>",
                          error, warnings);
        oscarserver::ServerConfig config;
        config.logSink = [](const std::string&) {};
        config.listPartBytes = 256;
        return new oscarserver::Server(std::move(config), std::move(accounts), oscarserver::DataStore());
    }();
    return *server;
}

void FeedInChunks(oscarserver::Server& server, oscarserver::ConnectionId id, const std::uint8_t* data,
                  std::size_t size)
{
    const std::size_t chunk = size == 0 ? 1 : std::size_t{data[0]} + 1;
    for (std::size_t offset = 0; offset < size; offset += chunk) {
        const std::size_t n = size - offset < chunk ? size - offset : chunk;
        server.Receive(id, oscarserver::ByteView(data + offset, n));
        oscarserver::TakeFrames(server, id);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    oscarserver::Server& server = SharedServer();
    const oscarserver::ConnectionId login = server.Open(oscarserver::PortKind::Login);
    FeedInChunks(server, login, data, size);
    server.Close(login);

    const oscarserver::ConnectionId keyed = server.Open(oscarserver::PortKind::Login);
    oscarserver::Bytes keyRequest;
    oscarserver::AppendFlap(keyRequest, 2, 0,
                            oscarserver::SnacPayload(0x0017, 0x0006, 0, 0,
                                                     oscarserver::Writer().Tlv(0x0001, "100001").Take()));
    server.Receive(keyed, keyRequest);
    FeedInChunks(server, keyed, data, size);
    server.Close(keyed);

    const oscarserver::ConnectionId peer = oscarserver::SignOnInMemory(server, 100002, "friend");
    const oscarserver::ConnectionId bos = oscarserver::SignOnInMemory(server, 100001, "demo");
    if (bos != 0)
        FeedInChunks(server, bos, data, size);
    oscarserver::TakeFrames(server, peer);
    server.Close(bos);
    server.Close(peer);
    return 0;
}
