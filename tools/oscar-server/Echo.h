// Echo: the built-in account (kEchoUin) that is always online and answers
// every message with the same text, so a first run shows a conversation.
//
// It is a session without a socket: whatever the server sends it arrives
// here instead of an output queue.
#pragma once

#include "tools/oscar-server/Server.h"

namespace oscarserver {

// Capabilities the echo account announces (Unicode messages), so that
// clients may send it UTF-16 text; it answers in the sender's form.
Bytes EchoCapabilities();

// One SNAC sent to the echo account: 0x04/0x07 is answered with a channel-1
// message carrying the same text, 0x13/0x19 (authorisation request) is
// granted with 0x13/0x1B; everything else is dropped.
void EchoReceive(Server& server, Connection& echo, const Snac& snac);

}  // namespace oscarserver
