#include "tools/oscar-server/Wire.h"

#include <algorithm>
#include <array>

namespace oscarserver {

const std::uint8_t* Reader::Next(std::size_t count)
{
    if (!m_ok || count > Remaining()) {
        m_ok = false;
        return nullptr;
    }
    // An empty span may have no storage; a zero-length read still succeeds.
    static constexpr std::uint8_t kNothing = 0;
    const std::uint8_t* at = count == 0 ? &kNothing : m_bytes.data() + m_position;
    m_position += count;
    return at;
}

bool Reader::U8(std::uint8_t& out)
{
    const std::uint8_t* p = Next(1);
    if (p == nullptr)
        return false;
    out = p[0];
    return true;
}

bool Reader::U16(std::uint16_t& out)
{
    const std::uint8_t* p = Next(2);
    if (p == nullptr)
        return false;
    out = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    return true;
}

bool Reader::U32(std::uint32_t& out)
{
    const std::uint8_t* p = Next(4);
    if (p == nullptr)
        return false;
    out = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
    return true;
}

bool Reader::U16LE(std::uint16_t& out)
{
    const std::uint8_t* p = Next(2);
    if (p == nullptr)
        return false;
    out = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    return true;
}

bool Reader::U32LE(std::uint32_t& out)
{
    const std::uint8_t* p = Next(4);
    if (p == nullptr)
        return false;
    out = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    return true;
}

bool Reader::Take(std::size_t count, ByteView& out)
{
    const std::uint8_t* p = Next(count);
    if (p == nullptr)
        return false;
    out = ByteView(p, count);
    return true;
}

bool Reader::Skip(std::size_t count) { return Next(count) != nullptr; }

bool Reader::ByteString(std::string& out)
{
    std::uint8_t length = 0;
    ByteView bytes;
    if (!U8(length) || !Take(length, bytes))
        return false;
    out = Text(bytes);
    return true;
}

Writer& Writer::U8(std::uint8_t value)
{
    m_bytes.push_back(value);
    return *this;
}

Writer& Writer::U16(std::uint16_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    return *this;
}

Writer& Writer::U32(std::uint32_t value)
{
    U16(static_cast<std::uint16_t>(value >> 16));
    return U16(static_cast<std::uint16_t>(value));
}

Writer& Writer::U16LE(std::uint16_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

Writer& Writer::U32LE(std::uint32_t value)
{
    U16LE(static_cast<std::uint16_t>(value));
    return U16LE(static_cast<std::uint16_t>(value >> 16));
}

Writer& Writer::Append(ByteView bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

Writer& Writer::ByteString(std::string_view text)
{
    text = text.substr(0, 255);
    U8(static_cast<std::uint8_t>(text.size()));
    return Append(text);
}

Writer& Writer::MetaString(std::string_view text)
{
    text = text.substr(0, 0xFFFE);
    U16LE(static_cast<std::uint16_t>(text.size() + 1));
    Append(text);
    return U8(0);
}

Writer& Writer::Tlv(std::uint16_t type, ByteView value)
{
    value = value.first(std::min<std::size_t>(value.size(), 0xFFFF));
    U16(type);
    U16(static_cast<std::uint16_t>(value.size()));
    return Append(value);
}

Writer& Writer::TlvU8(std::uint16_t type, std::uint8_t value)
{
    return U16(type).U16(1).U8(value);
}

Writer& Writer::TlvU16(std::uint16_t type, std::uint16_t value)
{
    return U16(type).U16(2).U16(value);
}

Writer& Writer::TlvU32(std::uint16_t type, std::uint32_t value)
{
    return U16(type).U16(4).U32(value);
}

bool ReadTlvs(Reader& reader, std::vector<Tlv>& out)
{
    while (!reader.AtEnd()) {
        Tlv item;
        std::uint16_t length = 0;
        if (!reader.U16(item.type) || !reader.U16(length) || !reader.Take(length, item.value))
            return false;
        out.push_back(item);
    }
    return reader.Ok();
}

bool ReadTlvs(Reader& reader, std::size_t count, std::vector<Tlv>& out)
{
    for (std::size_t i = 0; i < count; ++i) {
        Tlv item;
        std::uint16_t length = 0;
        if (!reader.U16(item.type) || !reader.U16(length) || !reader.Take(length, item.value))
            return false;
        out.push_back(item);
    }
    return true;
}

const Tlv* FindTlv(const std::vector<Tlv>& items, std::uint16_t type)
{
    for (const Tlv& item : items) {
        if (item.type == type)
            return &item;
    }
    return nullptr;
}

void AppendFlap(Bytes& out, std::uint8_t channel, std::uint16_t sequence, ByteView payload)
{
    payload = payload.first(std::min(payload.size(), kFlapMaxPayload));
    out.push_back(kFlapStart);
    out.push_back(channel);
    out.push_back(static_cast<std::uint8_t>(sequence >> 8));
    out.push_back(static_cast<std::uint8_t>(sequence));
    out.push_back(static_cast<std::uint8_t>(payload.size() >> 8));
    out.push_back(static_cast<std::uint8_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
}

bool ParseSnac(ByteView payload, Snac& out)
{
    Reader reader(payload);
    Snac snac;
    if (!reader.U16(snac.family) || !reader.U16(snac.subtype) || !reader.U16(snac.flags) ||
        !reader.U32(snac.requestId))
        return false;
    if ((snac.flags & 0x8000) != 0) {
        std::uint16_t prefix = 0;
        if (!reader.U16(prefix) || !reader.Skip(prefix))
            return false;
    }
    snac.data = reader.Rest();
    out = snac;
    return true;
}

Bytes SnacPayload(std::uint16_t family, std::uint16_t subtype, std::uint16_t flags,
                  std::uint32_t requestId, ByteView data)
{
    Writer writer;
    writer.U16(family).U16(subtype).U16(flags).U32(requestId).Append(data);
    return writer.Take();
}

bool ParseUin(std::string_view text, std::uint32_t& out)
{
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value == 0 || value > 0xFFFFFFFFull)
        return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

Bytes Roast(ByteView bytes)
{
    static constexpr std::array<std::uint8_t, 16> kTable = {0xF3, 0x26, 0x81, 0xC4, 0x39, 0x86, 0xDB, 0x92,
                                                            0x71, 0xA3, 0xB9, 0xE6, 0x53, 0x7A, 0x95, 0x7C};
    Bytes out(bytes.begin(), bytes.end());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] ^= kTable[i % kTable.size()];
    return out;
}

}  // namespace oscarserver
