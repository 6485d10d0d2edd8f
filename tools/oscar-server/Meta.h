// Meta: ICQ meta requests (0x15/0x02) and replies (0x15/0x03).
//
// The SNAC data is one item 0x0001 whose value is little-endian: the length
// of the rest (16), the owner's UIN (32), the request type (16), a sequence
// number (16) and the type's body. Bytes after the item are ignored (some
// clients pad the request). Replies echo the sequence number and the SNAC
// request id; every reply of a run but the last carries flags bit 0.
#pragma once

#include "tools/oscar-server/Server.h"

namespace oscarserver {

struct MetaRequest {
    std::uint32_t requestId = 0;  // of the SNAC
    std::uint16_t type = 0;
    std::uint16_t sequence = 0;
    ByteView body;
};

void SendMetaReply(Server& server, Connection& connection, const MetaRequest& request, std::uint16_t replyType,
                   ByteView body, bool more);
// Directory requests (type 0x07D0): full information 0x04B2 and 0x04D0,
// short information 0x04BA, search by UIN 0x0569, search by details 0x055F. Others get error 0x15/0x01.
void HandleDirectoryRequest(Server& server, Connection& connection, const MetaRequest& request);

}  // namespace oscarserver
