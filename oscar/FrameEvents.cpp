#include "oscar/FrameEvents.h"

#include "oscar/codec/FrameParser.h"

namespace oscar {

int ParseAndPost(AppCore& core, net::ConnectionKind kind, const ByteBuffer& accumulator, std::int32_t& position)
{
    std::int32_t type = FrameEventType(kind);
    return ParseFrames(accumulator, position,
                       [&core, type](RefPtr<FlapFrame> frame) { core.Post(MakeRef<FrameEvent>(type, frame)); });
}

}  // namespace oscar
