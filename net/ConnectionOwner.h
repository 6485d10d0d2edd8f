// The receiver of a FlapConnection's reports (the session). Every operation is
// called on the connection's receive thread.
#pragma once

#include <cstdint>

#include "app/RefCounted.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/base/Types.h"

class FlapConnection;

class ConnectionOwner : public virtual RefCounted {
public:
    // Bytes moved: payload size plus 40 for every receive and every send.
    virtual void OnTraffic(std::uint32_t bytes) = 0;
    // The TCP connection is established.
    virtual void OnConnected(FlapConnection& connection) = 0;
    // The connection ended; closedLocally is true when the local side had
    // already asked for the close.
    virtual void OnClosed(FlapConnection& connection, bool closedLocally) = 0;
    // The connection could not be established: "Can't resolve host",
    // "socket connect failed", or a socket error number in decimal.
    virtual void OnError(FlapConnection& connection, const WideString& text) = 0;
    // A queued packet was sent (once per packet, after its batch was sent).
    virtual void OnPacketSent(FlapConnection& connection, const RefPtr<oscar::FlapFrame>& packet) = 0;
    // Parses whole frames from the accumulator starting at position and
    // advances position past every frame consumed.
    virtual void Parse(FlapConnection& connection, const oscar::ByteBuffer& accumulator, std::int32_t& position) = 0;

protected:
    ~ConnectionOwner() override = default;
};
