// The answer of the peer's window to WM_COPYDATA: FNV-1a over dwData (8 bytes,
// little-endian) and the payload in the low 32 bits, the payload size above.
// Shared by the peer and the tests that check payload integrity.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

inline LRESULT PeerDigest(UINT_PTR dwData, const BYTE* bytes, DWORD size)
{
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](BYTE b) { hash = (hash ^ b) * 16777619u; };
    for (int i = 0; i < 8; ++i)
        mix(static_cast<BYTE>(static_cast<std::uint64_t>(dwData) >> (8 * i)));
    for (DWORD i = 0; i < size; ++i)
        mix(bytes[i]);
    return static_cast<LRESULT>((static_cast<std::uint64_t>(size) << 32) | hash);
}
