// Byte helpers shared by the codec tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "oscar/codec/ByteBuffer.h"

namespace codectest {

using Bytes = std::vector<std::uint8_t>;

// "2A 02 00 01" -> {0x2A, 0x02, 0x00, 0x01}; spaces are ignored.
inline Bytes Hex(const std::string& text)
{
    Bytes out;
    int high = -1;
    for (char c : text) {
        int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

inline Bytes ToBytes(const oscar::ByteBuffer& buffer)
{
    auto span = buffer.Bytes();
    return Bytes(span.begin(), span.end());
}

inline RefPtr<oscar::ByteBuffer> Buffer(const Bytes& bytes)
{
    return oscar::ByteBuffer::CopyOf(bytes);
}

inline std::string Text(const oscar::ByteBuffer& buffer)
{
    auto span = buffer.Bytes();
    return std::string(span.begin(), span.end());
}

}  // namespace codectest
