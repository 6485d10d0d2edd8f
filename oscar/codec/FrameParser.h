// Cutting received FLAP frames out of a connection's receive accumulator.
//
// Runs on the connection's receive thread. The parser builds each frame and
// hands it to the sink; it posts no events and touches no socket.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "app/RefCounted.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"

namespace oscar {

using FrameSink = std::function<void(RefPtr<FlapFrame>)>;

// Cuts whole frames out of accumulator starting at position and hands each
// to sink, in order. position is advanced past every frame delivered; the
// caller erases the consumed bytes. Parsing stops, consuming nothing more,
// at an incomplete frame (fewer than 6 header bytes, or a body not yet
// complete: it waits for more data) and at a byte other than 0x2A where a
// frame must start. A position outside 0..size consumes nothing. Returns the
// number of frames delivered. The sink must not change the accumulator.
int ParseFrames(const ByteBuffer& accumulator, std::int32_t& position, const FrameSink& sink);

// Builds a received frame from its header fields and body. Channel 2: the
// SNAC decoded from the body (none when the body is shorter than 10 bytes).
// Other channels: a body of exactly 4 bytes starting 00 00 is the raw
// payload (the sign-on greeting); any other body is read as items until one
// does not fit, and the rest is ignored. The body is kept as the received
// bytes.
RefPtr<FlapFrame> BuildReceivedFrame(std::uint8_t channel, std::uint16_t sequence, RefPtr<ByteBuffer> body);

}  // namespace oscar
