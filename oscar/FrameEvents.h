// Received frames enter the event system here: the session's parse cuts
// whole frames out of a connection's accumulator and posts one event per
// frame, type 25 for the login connection and 26 for the BOS connection.
#pragma once

#include <cstdint>

#include "app/AppCore.h"
#include "app/AppEvent.h"
#include "net/ConnectionKind.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"

namespace oscar {

// An event carrying one received frame. The frame is not changed after it
// was posted.
class FrameEvent : public AppEvent {
public:
    FrameEvent(std::int32_t type, RefPtr<FlapFrame> frame) : AppEvent(type), m_frame(std::move(frame)) {}
    const RefPtr<FlapFrame>& Frame() const { return m_frame; }

protected:
    ~FrameEvent() override = default;

private:
    RefPtr<FlapFrame> m_frame;
};

// The event type for a frame received on a connection of the given kind.
constexpr std::int32_t FrameEventType(net::ConnectionKind kind)
{
    return kind == net::ConnectionKind::Login ? EventType::LoginFrameReceived : EventType::BosFrameReceived;
}

// Parses every whole frame from position on and posts each to the core.
// Returns the number of frames posted.
int ParseAndPost(AppCore& core, net::ConnectionKind kind, const ByteBuffer& accumulator, std::int32_t& position);

}  // namespace oscar
