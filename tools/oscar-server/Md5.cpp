#include "tools/oscar-server/Md5.h"

#include <cstring>

namespace oscarserver {
namespace {

// Per-step left rotations, four per round.
constexpr std::uint8_t kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// The additive constants: floor(|sin(i + 1)| * 2^32) for i = 0..63.
constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

std::uint32_t RotateLeft(std::uint32_t value, unsigned count) { return (value << count) | (value >> (32 - count)); }

}  // namespace

Md5::Md5() : m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, m_buffer{} {}

void Md5::Block(const std::uint8_t* block)
{
    std::uint32_t words[16];
    for (int i = 0; i < 16; ++i)
        words[i] = std::uint32_t{block[i * 4]} | std::uint32_t{block[i * 4 + 1]} << 8 |
                   std::uint32_t{block[i * 4 + 2]} << 16 | std::uint32_t{block[i * 4 + 3]} << 24;
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (unsigned i = 0; i < 64; ++i) {
        const unsigned round = i / 16;
        std::uint32_t mixed = 0;
        unsigned word = 0;
        switch (round) {
        case 0: mixed = (b & c) | (~b & d); word = i; break;
        case 1: mixed = (d & b) | (~d & c); word = (5 * i + 1) % 16; break;
        case 2: mixed = b ^ c ^ d; word = (3 * i + 5) % 16; break;
        default: mixed = c ^ (b | ~d); word = (7 * i) % 16; break;
        }
        const std::uint32_t next = b + RotateLeft(a + mixed + kSines[i] + words[word], kShifts[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

Md5& Md5::Update(ByteView bytes)
{
    m_length += bytes.size();
    while (!bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), sizeof m_buffer - m_buffered);
        std::memcpy(m_buffer + m_buffered, bytes.data(), take);
        m_buffered += take;
        bytes = bytes.subspan(take);
        if (m_buffered == sizeof m_buffer) {
            Block(m_buffer);
            m_buffered = 0;
        }
    }
    return *this;
}

Md5Digest Md5::Finish()
{
    // Padding: a one bit, zeros up to 56 bytes in the last block, then the
    // message length in bits, little-endian.
    const std::uint64_t bits = m_length * 8;
    static constexpr std::uint8_t kOne[] = {0x80};
    static constexpr std::uint8_t kZeros[64] = {};
    Update(kOne);
    const std::size_t fill = m_buffered <= 56 ? 56 - m_buffered : 120 - m_buffered;
    Update(ByteView(kZeros, fill));
    std::uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Update(length);
    Md5Digest digest{};
    for (int i = 0; i < 16; ++i)
        digest[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(m_state[i / 4] >> (8 * (i % 4)));
    return digest;
}

Md5Digest Md5Of(ByteView bytes) { return Md5().Update(bytes).Finish(); }

}  // namespace oscarserver
