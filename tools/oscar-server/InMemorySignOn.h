// InMemorySignOn: signs a user on to a Server without sockets, by feeding
// the frames a client would send and reading the frames the server queues.
// Used by the fuzz target and the tests to reach the BOS handlers directly.
#pragma once

#include "tools/oscar-server/Server.h"

namespace oscarserver {

// Runs login and BOS sign-on up to client ready; returns the BOS
// connection's id, or 0 when any step is refused. Queued output of both
// connections is consumed.
ConnectionId SignOnInMemory(Server& server, std::uint32_t uin, std::string_view password);
// Cuts a connection's queued output into frames and clears it.
std::vector<Frame> TakeFrames(Server& server, ConnectionId id);

}  // namespace oscarserver
