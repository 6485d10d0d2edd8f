// SnacCommand: one SNAC command, the body of a channel-2 FLAP frame.
//
// Wire format: family (2), subtype (2), flags (2), request id (4), then the
// data, all big-endian. Every known command has a class derived from this
// one; a plain SnacCommand carries a command it does not decode (number 0
// for a pair the command table does not know).
#pragma once

#include <cstdint>

#include "app/RefCounted.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/CommandNumber.h"

namespace oscar {

constexpr std::int32_t kSnacHeaderSize = 10;
// Flags bit: the data starts with a 16-bit length and that many bytes of
// extra header, which decoding skips.
constexpr std::uint16_t kSnacFlagExtraHeader = 0x8000;

class SnacCommand : public virtual RefCounted {
public:
    // A command the table does not know: number 0.
    SnacCommand(std::uint16_t family, std::uint16_t subtype);
    // Family and subtype from the command table (0/0 for a number outside it).
    explicit SnacCommand(CommandNumber number);

    CommandNumber Number() const { return m_number; }
    std::uint16_t Family() const { return m_family; }
    std::uint16_t Subtype() const { return m_subtype; }
    std::uint16_t Flags() const { return m_flags; }
    std::uint32_t RequestId() const { return m_requestId; }
    // The command data after the header; never null.
    const RefPtr<ByteBuffer>& Data() const { return m_data; }

    void SetFlags(std::uint16_t flags) { m_flags = flags; }
    void SetRequestId(std::uint32_t requestId) { m_requestId = requestId; }
    // A null buffer is replaced by an empty one.
    void SetData(RefPtr<ByteBuffer> data);

    // Header and data in one buffer of exactly data size + 10 bytes, marked
    // to be wiped on release; null when that size does not fit 32 bits.
    virtual RefPtr<ByteBuffer> Serialise() const;

    // Bytes Serialise would produce (header and data).
    virtual std::int64_t SerialisedSize() const;
    // Appends the serialised command to out (used to build a frame in one
    // buffer); false when it does not fit.
    virtual bool WriteTo(ByteBuffer& out) const;

    // Reads the command data. Returns a more specific command that replaces
    // this one (its Decode is called in turn), or null when this object is the
    // result. The base class keeps the data as it is and returns null.
    virtual RefPtr<SnacCommand> Decode(const ByteBuffer& data);

private:
    CommandNumber m_number = CommandNumber::Unknown;
    std::uint16_t m_family = 0;
    std::uint16_t m_subtype = 0;
    std::uint16_t m_flags = 0;
    std::uint32_t m_requestId = 0;
    RefPtr<ByteBuffer> m_data = MakeRef<ByteBuffer>();
};

}  // namespace oscar
