#include "oscar/codec/ByteReader.h"

namespace oscar {

const std::uint8_t* ByteReader::Take(std::size_t count)
{
    if (count > Remaining()) {
        m_ok = false;
        return nullptr;
    }
    const std::uint8_t* start = m_bytes.data() + m_position;
    m_position += count;
    return start;
}

bool ByteReader::ReadU8(std::uint8_t& out)
{
    const std::uint8_t* p = Take(1);
    if (p == nullptr)
        return false;
    out = p[0];
    return true;
}

bool ByteReader::ReadU16BE(std::uint16_t& out)
{
    const std::uint8_t* p = Take(2);
    if (p == nullptr)
        return false;
    out = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    return true;
}

bool ByteReader::ReadU32BE(std::uint32_t& out)
{
    const std::uint8_t* p = Take(4);
    if (p == nullptr)
        return false;
    out = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
    return true;
}

bool ByteReader::ReadU16LE(std::uint16_t& out)
{
    const std::uint8_t* p = Take(2);
    if (p == nullptr)
        return false;
    out = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    return true;
}

bool ByteReader::ReadU32LE(std::uint32_t& out)
{
    const std::uint8_t* p = Take(4);
    if (p == nullptr)
        return false;
    out = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    return true;
}

bool ByteReader::ReadBytes(std::size_t count, std::span<const std::uint8_t>& out)
{
    const std::uint8_t* p = Take(count);
    if (p == nullptr)
        return false;
    out = {p, count};
    return true;
}

bool ByteReader::Skip(std::size_t count)
{
    return Take(count) != nullptr;
}

}  // namespace oscar
