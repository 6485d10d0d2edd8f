// Arbitrary received bytes through the frame parser: the bytes arrive in
// chunks whose sizes come from the input, the accumulator is parsed after
// every chunk and consumed bytes are erased, as a receive thread does. Every
// delivered frame is described and its items and SNAC data are walked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/FrameParser.h"

namespace {

volatile std::uint32_t g_sink = 0;

void Walk(const RefPtr<oscar::FlapFrame>& frame)
{
    std::string text = frame->Describe();
    std::uint32_t sum = static_cast<std::uint32_t>(text.size());
    for (const RefPtr<oscar::Tlv>& item : frame->Items()) {
        for (std::uint8_t byte : item->Value()->Bytes())
            sum += byte;
        sum += item->Type();
    }
    if (frame->Snac()) {
        for (std::uint8_t byte : frame->Snac()->Data()->Bytes())
            sum += byte;
        sum += static_cast<std::uint32_t>(frame->Snac()->Number());
    }
    if (frame->RawPayload())
        sum += static_cast<std::uint32_t>(frame->RawPayload()->Size());
    if (RefPtr<oscar::ByteBuffer> again = frame->Serialise())
        sum += static_cast<std::uint32_t>(again->Size());
    g_sink = g_sink + sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RefPtr<oscar::ByteBuffer> accumulator = MakeRef<oscar::ByteBuffer>();
    std::size_t offset = 0;
    while (offset < size) {
        // The first byte of each chunk chooses the chunk length (1..256).
        std::size_t chunk = static_cast<std::size_t>(data[offset]) + 1;
        ++offset;
        if (chunk > size - offset)
            chunk = size - offset;
        accumulator->Append(data + offset, static_cast<std::int32_t>(chunk));
        offset += chunk;
        std::int32_t position = 0;
        oscar::ParseFrames(*accumulator, position, Walk);
        accumulator->Erase(position);
    }
    return 0;
}
