// Little-endian numbers in the plug-in's byte formats (the state message and
// the saved record).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/base/Types.h"

namespace plugin {

// The 32-bit number at `offset`, which moves past it; false (offset
// unchanged) when fewer than four bytes are left.
inline bool ReadInt32(std::span<const BYTE> bytes, std::size_t& offset, std::int32_t& value)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return false;
    const BYTE* p = bytes.data() + offset;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                      (static_cast<std::uint32_t>(p[2]) << 16) |
                                      (static_cast<std::uint32_t>(p[3]) << 24));
    offset += 4;
    return true;
}

// The UTF-16 character at `at` (the caller has checked that two bytes are there).
inline WCHAR CharacterAt(std::span<const BYTE> bytes, std::size_t at)
{
    return static_cast<WCHAR>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace plugin
