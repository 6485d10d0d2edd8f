// FlapFrame: one FLAP frame. Wire format: 0x2A, channel (1), sequence (2),
// body length (2), body; big-endian.
//
// Body by channel: channel 2 carries one SNAC; every other channel carries the
// raw payload (when present) followed by TLV items. Frames are not changed
// after they were handed to another thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/RefCounted.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/SnacCommand.h"
#include "oscar/codec/Tlv.h"

namespace oscar {

constexpr std::uint8_t kFlapStartMarker = 0x2A;
constexpr std::int32_t kFlapHeaderSize = 6;
constexpr std::int32_t kMaxFlapBodySize = 0xFFFF;

constexpr std::uint8_t kChannelSignOn = 1;
constexpr std::uint8_t kChannelSnac = 2;
constexpr std::uint8_t kChannelSignOff = 4;
constexpr std::uint8_t kChannelKeepAlive = 5;

class FlapFrame : public virtual RefCounted {
public:
    // Takes the next frame number from the process-wide counter.
    explicit FlapFrame(std::uint8_t channel);

    // Channel 1 with the raw payload 00 00 00 01 (items may follow).
    static RefPtr<FlapFrame> SignOn();
    // Channel 2 carrying the command.
    static RefPtr<FlapFrame> ForSnac(RefPtr<SnacCommand> snac);
    // Channel 5 with an empty body.
    static RefPtr<FlapFrame> KeepAlive();

    std::uint32_t FrameNumber() const { return m_frameNumber; }
    std::uint8_t Channel() const { return m_channel; }
    std::uint16_t Sequence() const { return m_sequence; }
    const RefPtr<ByteBuffer>& RawPayload() const { return m_rawPayload; }
    const std::vector<RefPtr<Tlv>>& Items() const { return m_items; }
    const RefPtr<SnacCommand>& Snac() const { return m_snac; }
    const RefPtr<ByteBuffer>& ReceivedBytes() const { return m_receivedBytes; }

    void SetSequence(std::uint16_t sequence) { m_sequence = sequence; }
    void SetRawPayload(RefPtr<ByteBuffer> payload) { m_rawPayload = std::move(payload); }
    void AddItem(RefPtr<Tlv> item);
    void SetSnac(RefPtr<SnacCommand> snac) { m_snac = std::move(snac); }
    void SetReceivedBytes(RefPtr<ByteBuffer> bytes) { m_receivedBytes = std::move(bytes); }

    // The whole frame in one buffer sized in advance, marked to be wiped on
    // release. Null when the body would exceed 0xFFFF bytes (the length field
    // cannot express it) or an item cannot be serialised.
    virtual RefPtr<ByteBuffer> Serialise() const;

    // Log text: "FLAP on channel N"; on channel 2 followed by " 0x<family>/0x
    // <subtype>" in lower-case hexadecimal, or " no snac".
    virtual std::string Describe() const;

private:
    // Bytes of the body, or -1 when an item cannot be written.
    std::int64_t BodySize() const;

    std::uint32_t m_frameNumber = 0;
    std::uint8_t m_channel = 0;
    std::uint16_t m_sequence = 0;
    RefPtr<ByteBuffer> m_rawPayload;
    std::vector<RefPtr<Tlv>> m_items;
    RefPtr<SnacCommand> m_snac;
    RefPtr<ByteBuffer> m_receivedBytes;
};

}  // namespace oscar
