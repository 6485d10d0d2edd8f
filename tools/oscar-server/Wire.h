// Wire: the server's own byte reader and writer and the OSCAR framing
// helpers built on them (FLAP frames, SNAC headers, TLV items).
//
// Numbers on the wire are big-endian except inside ICQ meta requests, which
// are little-endian; both orders are offered. The reader is bounded: a read
// that does not fit fails, leaves the output untouched and marks the reader
// failed for good, so a decoder may read a run of fields and test Ok() once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace oscarserver {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline ByteView View(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}
inline std::string Text(ByteView bytes) { return {bytes.begin(), bytes.end()}; }

class Reader {
public:
    explicit Reader(ByteView bytes) : m_bytes(bytes) {}

    bool U8(std::uint8_t& out);
    bool U16(std::uint16_t& out);
    bool U32(std::uint32_t& out);
    bool U16LE(std::uint16_t& out);
    bool U32LE(std::uint32_t& out);
    // A view of the next count bytes (valid while the underlying bytes are).
    bool Take(std::size_t count, ByteView& out);
    bool Skip(std::size_t count);
    // A string prefixed by an 8-bit length (UINs in user blocks and messages).
    bool ByteString(std::string& out);

    ByteView Rest() const { return m_bytes.subspan(m_position); }
    std::size_t Remaining() const { return m_bytes.size() - m_position; }
    bool AtEnd() const { return m_position == m_bytes.size(); }
    bool Ok() const { return m_ok; }

private:
    const std::uint8_t* Next(std::size_t count);

    ByteView m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

class Writer {
public:
    Writer& U8(std::uint8_t value);
    Writer& U16(std::uint16_t value);
    Writer& U32(std::uint32_t value);
    Writer& U16LE(std::uint16_t value);
    Writer& U32LE(std::uint32_t value);
    Writer& Append(ByteView bytes);
    Writer& Append(std::string_view text) { return Append(View(text)); }
    // 8-bit length and the text (cut at 255 bytes).
    Writer& ByteString(std::string_view text);
    // ICQ meta string: 16-bit little-endian length including a terminating
    // zero, the bytes and the zero.
    Writer& MetaString(std::string_view text);
    Writer& Tlv(std::uint16_t type, ByteView value);
    Writer& Tlv(std::uint16_t type, std::string_view value) { return Tlv(type, View(value)); }
    Writer& TlvU8(std::uint16_t type, std::uint8_t value);
    Writer& TlvU16(std::uint16_t type, std::uint16_t value);
    Writer& TlvU32(std::uint16_t type, std::uint32_t value);

    std::size_t Size() const { return m_bytes.size(); }
    const Bytes& Data() const { return m_bytes; }
    Bytes& Data() { return m_bytes; }
    Bytes Take() { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

struct Tlv {
    std::uint16_t type = 0;
    ByteView value;
};

// Reads TLV items until the reader is at its end; false when an item runs
// past the end (the items read so far stay in out).
bool ReadTlvs(Reader& reader, std::vector<Tlv>& out);
// Reads exactly count TLV items.
bool ReadTlvs(Reader& reader, std::size_t count, std::vector<Tlv>& out);
const Tlv* FindTlv(const std::vector<Tlv>& items, std::uint16_t type);

// FLAP: 0x2A, channel, 16-bit sequence, 16-bit length, payload.
constexpr std::uint8_t kFlapStart = 0x2A;
constexpr std::size_t kFlapHeaderSize = 6;
constexpr std::size_t kFlapMaxPayload = 0xFFFF;

struct Frame {
    std::uint8_t channel = 0;
    std::uint16_t sequence = 0;
    Bytes payload;
};

// Appends one FLAP frame to out; payloads over 65535 bytes are cut (callers
// split their data before that).
void AppendFlap(Bytes& out, std::uint8_t channel, std::uint16_t sequence, ByteView payload);

struct Snac {
    std::uint16_t family = 0;
    std::uint16_t subtype = 0;
    std::uint16_t flags = 0;
    std::uint32_t requestId = 0;
    ByteView data;
};

// Parses the SNAC header of a channel-2 payload. When flag bit 15 is set a
// 16-bit length and that many bytes of family-version items precede the
// data; they are skipped. False when the header or that prefix is cut short.
bool ParseSnac(ByteView payload, Snac& out);
Bytes SnacPayload(std::uint16_t family, std::uint16_t subtype, std::uint16_t flags,
                  std::uint32_t requestId, ByteView data);

// A UIN: 1 to 10 decimal digits with a value below 2^32; 0 is refused.
bool ParseUin(std::string_view text, std::uint32_t& out);

// The standard 16-byte OSCAR password roasting sequence; roasting and
// unroasting are the same XOR.
Bytes Roast(ByteView bytes);

}  // namespace oscarserver
