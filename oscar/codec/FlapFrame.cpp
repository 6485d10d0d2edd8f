#include "oscar/codec/FlapFrame.h"

#include <atomic>
#include <cstdio>

namespace oscar {
namespace {

// Counts every frame created in the process. Frames are made on the worker,
// keep-alive and receive threads, so increments must be atomic.
std::uint32_t NextFrameNumber()
{
    static std::atomic<std::uint32_t> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

FlapFrame::FlapFrame(std::uint8_t channel) : m_frameNumber(NextFrameNumber()), m_channel(channel) {}

RefPtr<FlapFrame> FlapFrame::SignOn()
{
    RefPtr<FlapFrame> frame = MakeRef<FlapFrame>(kChannelSignOn);
    RefPtr<ByteBuffer> greeting = ByteBuffer::WithCapacity(4);
    greeting->AppendU32(1);
    frame->SetRawPayload(greeting);
    return frame;
}

RefPtr<FlapFrame> FlapFrame::ForSnac(RefPtr<SnacCommand> snac)
{
    RefPtr<FlapFrame> frame = MakeRef<FlapFrame>(kChannelSnac);
    frame->SetSnac(std::move(snac));
    return frame;
}

RefPtr<FlapFrame> FlapFrame::KeepAlive()
{
    return MakeRef<FlapFrame>(kChannelKeepAlive);
}

void FlapFrame::AddItem(RefPtr<Tlv> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

std::int64_t FlapFrame::BodySize() const
{
    std::int64_t size = m_rawPayload ? m_rawPayload->Size() : 0;
    if (m_channel != kChannelSnac) {
        for (const RefPtr<Tlv>& item : m_items) {
            if (item->Value()->Size() > kMaxTlvValueSize)
                return -1;
            size += item->SerialisedSize();
        }
    } else if (m_snac) {
        size += m_snac->SerialisedSize();
    }
    return size;
}

// The parts are written straight into the one frame buffer, sized in advance
// from their lengths: no temporary part buffers hold a copy of the bytes.
RefPtr<ByteBuffer> FlapFrame::Serialise() const
{
    std::int64_t bodySize = BodySize();
    if (bodySize < 0 || bodySize > kMaxFlapBodySize)
        return nullptr;

    RefPtr<ByteBuffer> out = ByteBuffer::WithCapacity(static_cast<std::int32_t>(bodySize) + kFlapHeaderSize);
    out->SetWipeOnRelease(true);
    bool ok = out->AppendU8(kFlapStartMarker) && out->AppendU8(m_channel) && out->AppendU16(m_sequence) &&
              out->AppendU16(static_cast<std::uint16_t>(bodySize));
    if (ok && m_rawPayload && !m_rawPayload->Empty())
        ok = out->Append(m_rawPayload->Bytes());
    if (m_channel != kChannelSnac) {
        for (const RefPtr<Tlv>& item : m_items)
            ok = ok && item->WriteTo(*out);
    } else if (m_snac) {
        ok = ok && m_snac->WriteTo(*out);
    }
    if (!ok || out->Size() != bodySize + kFlapHeaderSize)
        return nullptr;
    return out;
}

std::string FlapFrame::Describe() const
{
    char text[64];
    if (m_channel != kChannelSnac)
        std::snprintf(text, sizeof text, "FLAP on channel %u", unsigned{m_channel});
    else if (!m_snac)
        std::snprintf(text, sizeof text, "FLAP on channel 2 no snac");
    else
        std::snprintf(text, sizeof text, "FLAP on channel 2 0x%x/0x%x", unsigned{m_snac->Family()},
                      unsigned{m_snac->Subtype()});
    return text;
}

}  // namespace oscar
