#include "oscar/codec/FrameParser.h"

#include "oscar/codec/ByteReader.h"
#include "oscar/codec/SnacDecoding.h"
#include "oscar/codec/TlvBlock.h"

namespace oscar {
namespace {

struct FlapHeader {
    std::uint8_t channel = 0;
    std::uint16_t sequence = 0;
    std::uint16_t length = 0;
};

// Copies the items of a non-SNAC body into the frame; reading stops at the
// first item that does not fit.
void ReadItems(std::span<const std::uint8_t> body, FlapFrame& frame)
{
    for (const TlvView& item : ReadTlvBlock(body))
        frame.AddItem(MakeRef<Tlv>(item.type, ByteBuffer::CopyOf(item.value)));
}

bool IsSignOnGreeting(std::span<const std::uint8_t> body)
{
    return body.size() == 4 && body[0] == 0 && body[1] == 0;
}

// Reads a complete frame at the reader's position: false (nothing consumed)
// when the marker is wrong or the frame is not complete yet.
bool ReadFrame(ByteReader& reader, FlapHeader& header, std::span<const std::uint8_t>& body)
{
    ByteReader probe = reader;
    std::uint8_t marker = 0;
    if (probe.Remaining() < static_cast<std::size_t>(kFlapHeaderSize) || !probe.ReadU8(marker) ||
        marker != kFlapStartMarker)
        return false;
    if (!probe.ReadU8(header.channel) || !probe.ReadU16BE(header.sequence) || !probe.ReadU16BE(header.length) ||
        !probe.ReadBytes(header.length, body))
        return false;
    reader = probe;
    return true;
}

}  // namespace

RefPtr<FlapFrame> BuildReceivedFrame(std::uint8_t channel, std::uint16_t sequence, RefPtr<ByteBuffer> body)
{
    if (!body)
        body = MakeRef<ByteBuffer>();
    RefPtr<FlapFrame> frame = MakeRef<FlapFrame>(channel);
    frame->SetSequence(sequence);
    std::span<const std::uint8_t> bytes = body->Bytes();
    if (channel == kChannelSnac)
        frame->SetSnac(DecodeSnac(bytes));
    else if (IsSignOnGreeting(bytes))
        frame->SetRawPayload(ByteBuffer::CopyOf(bytes));
    else
        ReadItems(bytes, *frame);
    frame->SetReceivedBytes(std::move(body));
    return frame;
}

int ParseFrames(const ByteBuffer& accumulator, std::int32_t& position, const FrameSink& sink)
{
    if (position < 0 || position > accumulator.Size())
        return 0;
    ByteReader reader(accumulator.Bytes());
    if (!reader.Skip(static_cast<std::size_t>(position)))
        return 0;
    int delivered = 0;
    FlapHeader header;
    std::span<const std::uint8_t> body;
    while (ReadFrame(reader, header, body)) {
        position = static_cast<std::int32_t>(reader.Position());
        RefPtr<FlapFrame> frame = BuildReceivedFrame(header.channel, header.sequence, ByteBuffer::CopyOf(body));
        ++delivered;
        if (sink)
            sink(std::move(frame));
    }
    return delivered;
}

}  // namespace oscar
