// Tlv: one type-length-value item. Wire format: type (2), length (2), value,
// big-endian.
//
// The length field has 16 bits; an item whose value is longer than 0xFFFF
// bytes cannot be written and Serialise refuses it rather than write a length
// that disagrees with the bytes that follow.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/RefCounted.h"
#include "oscar/codec/ByteBuffer.h"
#include "platform/base/Types.h"

namespace oscar {

constexpr std::int32_t kTlvHeaderSize = 4;
constexpr std::int32_t kMaxTlvValueSize = 0xFFFF;

class Tlv : public virtual RefCounted {
public:
    // A null value becomes an empty one.
    Tlv(std::uint16_t type, RefPtr<ByteBuffer> value);

    static RefPtr<Tlv> FromU16(std::uint16_t type, std::uint16_t value);
    static RefPtr<Tlv> FromU32(std::uint16_t type, std::uint32_t value);
    static RefPtr<Tlv> FromBuffer(std::uint16_t type, RefPtr<ByteBuffer> value);
    // The text converted with the code page (0: the device default), no
    // terminator.
    static RefPtr<Tlv> FromWide(std::uint16_t type, std::u16string_view text, UINT codePage);
    // The constructor from a password, which roasts it into a buffer wiped on
    // release, is added here together with the login sequence.

    std::uint16_t Type() const { return m_type; }
    const RefPtr<ByteBuffer>& Value() const { return m_value; }

    // Type, length and value in a buffer of exactly value size + 4 bytes,
    // marked to be wiped on release; null when the value is longer than 0xFFFF.
    virtual RefPtr<ByteBuffer> Serialise() const;

    // Bytes Serialise would produce (header and value).
    std::int64_t SerialisedSize() const { return static_cast<std::int64_t>(m_value->Size()) + kTlvHeaderSize; }
    // Appends the serialised item to out; false when the value is longer
    // than 0xFFFF or it does not fit.
    virtual bool WriteTo(ByteBuffer& out) const;

private:
    std::uint16_t m_type = 0;
    RefPtr<ByteBuffer> m_value;
};

}  // namespace oscar
