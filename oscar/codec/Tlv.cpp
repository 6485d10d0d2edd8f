#include "oscar/codec/Tlv.h"

#include <utility>

#include "oscar/codec/TextCodec.h"

namespace oscar {

Tlv::Tlv(std::uint16_t type, RefPtr<ByteBuffer> value)
    : m_type(type), m_value(value ? std::move(value) : MakeRef<ByteBuffer>())
{
}

RefPtr<Tlv> Tlv::FromU16(std::uint16_t type, std::uint16_t value)
{
    RefPtr<ByteBuffer> buffer = ByteBuffer::WithCapacity(2);
    buffer->AppendU16(value);
    return MakeRef<Tlv>(type, buffer);
}

RefPtr<Tlv> Tlv::FromU32(std::uint16_t type, std::uint32_t value)
{
    RefPtr<ByteBuffer> buffer = ByteBuffer::WithCapacity(4);
    buffer->AppendU32(value);
    return MakeRef<Tlv>(type, buffer);
}

RefPtr<Tlv> Tlv::FromBuffer(std::uint16_t type, RefPtr<ByteBuffer> value)
{
    return MakeRef<Tlv>(type, std::move(value));
}

RefPtr<Tlv> Tlv::FromWide(std::uint16_t type, std::u16string_view text, UINT codePage)
{
    return MakeRef<Tlv>(type, WideToBytes(text, codePage));
}

RefPtr<ByteBuffer> Tlv::Serialise() const
{
    if (m_value->Size() > kMaxTlvValueSize)
        return nullptr;
    RefPtr<ByteBuffer> out = ByteBuffer::WithCapacity(m_value->Size() + kTlvHeaderSize);
    out->SetWipeOnRelease(true);
    if (!WriteTo(*out))
        return nullptr;
    return out;
}

bool Tlv::WriteTo(ByteBuffer& out) const
{
    if (m_value->Size() > kMaxTlvValueSize)
        return false;
    return out.AppendU16(m_type) && out.AppendU16(static_cast<std::uint16_t>(m_value->Size())) &&
           out.Append(m_value->Bytes());
}

}  // namespace oscar
