// Md5: the MD5 message digest (RFC 1321), for the key-based login where the
// client proves it knows the password by hashing it with a server key.
#pragma once

#include <array>
#include <cstdint>

#include "tools/oscar-server/Wire.h"

namespace oscarserver {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5 {
public:
    Md5();
    Md5& Update(ByteView bytes);
    Md5& Update(std::string_view text) { return Update(View(text)); }
    // The digest of everything given so far; the object is spent afterwards.
    Md5Digest Finish();

private:
    void Block(const std::uint8_t* block);

    std::uint32_t m_state[4];
    std::uint64_t m_length = 0;  // bytes given so far
    std::uint8_t m_buffer[64];
    std::size_t m_buffered = 0;
};

Md5Digest Md5Of(ByteView bytes);

}  // namespace oscarserver
