// FrameIntake: cuts one client's byte stream into FLAP frames.
//
// Bytes are fed as they arrive; complete frames queue up until taken. The
// intake holds at most one partial frame (6 + 65535 bytes) beyond what the
// caller feeds in one call. Anything that cannot start a frame (a first byte
// other than 0x2A, or a channel outside 1..5) fails the intake for good: the
// stream has lost its framing and the connection must be closed.
#pragma once

#include <deque>

#include "tools/oscar-server/Wire.h"

namespace oscarserver {

class FrameIntake {
public:
    // False once the stream is bad (this call or an earlier one).
    bool Feed(ByteView bytes);
    // Moves the oldest complete frame to out; false when none waits.
    bool Next(Frame& out);
    bool Failed() const { return m_failed; }
    std::size_t Buffered() const { return m_partial.size(); }

private:
    // Takes complete frames from the front of m_partial.
    void Extract();

    Bytes m_partial;
    std::deque<Frame> m_frames;
    bool m_failed = false;
};

}  // namespace oscarserver
