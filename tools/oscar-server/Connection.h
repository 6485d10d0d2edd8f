// Connection: one client connection on the login or the BOS port, with the
// state of its BOS session once the cookie has been accepted.
#pragma once

#include <cstdint>
#include <set>

#include "tools/oscar-server/FrameIntake.h"

namespace oscarserver {

using ConnectionId = std::uint64_t;

enum class PortKind { Login, Bos };

enum class ConnectionState {
    Open,
    Flushing,  // write what is queued, then close
    Dead,      // close at once, drop queued output
};

struct Connection {
    ConnectionId id = 0;
    PortKind kind = PortKind::Login;
    ConnectionState state = ConnectionState::Open;
    FrameIntake intake;
    Bytes output;
    // When output last went from empty to queued (a server-wide count): the
    // event loop writes connections in this order, so that a message reaches
    // its recipient's socket before the acknowledgement reaches the sender's.
    std::uint64_t queuedAt = 0;
    std::uint16_t sequence = 0;
    // Seconds (server clock) of the last frame received; idle login
    // connections are closed after a while.
    std::uint32_t lastActivity = 0;
    Bytes loginKey;  // the key given by 0x17/0x07 on a login connection

    // BOS session: uin is 0 until the cookie is accepted.
    std::uint32_t uin = 0;
    bool ready = false;  // client ready (0x01/0x02) seen: the user is online
    // List activated (0x13/0x07): the session is told about the contacts of
    // its server-stored list from then on.
    bool listActive = false;
    bool virtualPeer = false;  // the built-in echo account: no socket
    std::uint16_t statusFlags = 0;
    std::uint16_t status = 0;
    std::uint32_t signOnTime = 0;
    Bytes capabilities;      // 0x02/0x04 item 0x0005
    Bytes directConnection;  // 0x01/0x1E item 0x000C
    std::set<std::uint32_t> buddies;    // client-side list (0x03/0x04, 0x03/0x05)
    std::set<std::uint32_t> announced;  // users this session was told are online
    std::size_t offlineDelivered = 0;   // messages sent by the last 0x003C request
    bool listBracketOpen = false;

    bool Invisible() const { return (status & 0x0100) != 0; }
};

}  // namespace oscarserver
