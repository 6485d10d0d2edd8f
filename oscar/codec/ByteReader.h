// ByteReader: a bounded reader over received bytes.
//
// Every read checks the remaining length first. A read that does not fit
// returns false, leaves the output and the position unchanged and marks the
// reader failed (Ok() turns false and stays false). Each result must be
// used (a dropped one is a compile error), so no field is taken as read when
// it was not. Nothing is ever read outside the span. The reader does not own
// the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace oscar {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    [[nodiscard]] bool ReadU8(std::uint8_t& out);
    [[nodiscard]] bool ReadU16BE(std::uint16_t& out);
    [[nodiscard]] bool ReadU32BE(std::uint32_t& out);
    [[nodiscard]] bool ReadU16LE(std::uint16_t& out);
    [[nodiscard]] bool ReadU32LE(std::uint32_t& out);
    // A view of the next count bytes (valid while the underlying bytes are).
    [[nodiscard]] bool ReadBytes(std::size_t count, std::span<const std::uint8_t>& out);
    [[nodiscard]] bool Skip(std::size_t count);

    // The bytes not read yet.
    std::span<const std::uint8_t> Rest() const { return m_bytes.subspan(m_position); }
    std::size_t Remaining() const { return m_bytes.size() - m_position; }
    std::size_t Position() const { return m_position; }
    bool AtEnd() const { return m_position == m_bytes.size(); }
    bool Ok() const { return m_ok; }

private:
    // The next count bytes, or null (and the reader failed) when they do not fit.
    const std::uint8_t* Take(std::size_t count);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

}  // namespace oscar
