// Builders of meta reply bytes for the tests: little-endian fields, meta
// strings and the reply envelope.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "oscar/codec/SnacDecoding.h"
#include "oscar/meta/MetaReply.h"
#include "tests/oscar/codec/TestBytes.h"

namespace metatest {

using codectest::Bytes;

class Le {
public:
    Le& U8(std::uint8_t v)
    {
        m_bytes.push_back(v);
        return *this;
    }
    Le& U16(std::uint16_t v) { return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8)); }
    Le& U32(std::uint32_t v) { return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16)); }
    Le& Raw(const Bytes& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // A meta string: length counting the zero, bytes, zero.
    Le& Str(const std::string& text)
    {
        U16(static_cast<std::uint16_t>(text.size() + 1));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return U8(0);
    }
    const Bytes& Get() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// SNAC data of a reply: item 0x0001 around the envelope (own UIN 100001,
// sequence 7) and the body; directory replies get the subtype first.
inline Bytes ReplyData(std::uint16_t type, std::uint16_t subtype, const Bytes& body)
{
    Le value;
    Le rest;
    rest.U32(100001).U16(type).U16(7);
    if (type == oscar::kMetaReplyDirectory)
        rest.U16(subtype);
    rest.Raw(body);
    value.U16(static_cast<std::uint16_t>(rest.Get().size())).Raw(rest.Get());
    Bytes data = {0x00, 0x01, static_cast<std::uint8_t>(value.Get().size() >> 8),
                  static_cast<std::uint8_t>(value.Get().size())};
    data.insert(data.end(), value.Get().begin(), value.Get().end());
    return data;
}

// The channel-2 body of a 0x15/0x03 SNAC with the data.
inline Bytes SnacBody(const Bytes& data, std::uint32_t requestId = 0x1234, std::uint16_t flags = 0)
{
    Bytes body = {0x00, 0x15, 0x00, 0x03, static_cast<std::uint8_t>(flags >> 8), static_cast<std::uint8_t>(flags),
                  static_cast<std::uint8_t>(requestId >> 24), static_cast<std::uint8_t>(requestId >> 16),
                  static_cast<std::uint8_t>(requestId >> 8), static_cast<std::uint8_t>(requestId)};
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

inline RefPtr<oscar::SnacCommand> Decode(const Bytes& data)
{
    oscar::RegisterMetaDecoders();
    return oscar::DecodeSnac(SnacBody(data));
}

}  // namespace metatest
