// The program's state as the plug-in shows it, and the reader of the state
// message (WM_COPYDATA) that carries it.
//
// Payload, little-endian: per block a 32-bit flag (1 = present) and, when
// present, the count of online contacts (-1 = none), the unread flag, the
// text length L in characters and L UTF-16 characters, padded with zeros to a
// multiple of 4 bytes. The ICQ block comes first, then the MSN block.
#pragma once

#include <cstdint>
#include <span>

#include "platform/base/Types.h"

namespace plugin {

// Longest status text kept; longer ones are cut.
constexpr std::size_t kMaxStatusText = 63;

struct ServiceBlock {
    bool present = false;
    std::int32_t count = 0;
    std::int32_t unread = 0;
    WideString text;
};

struct ProgramStatus {
    bool haveData = false;
    ServiceBlock icq;
    ServiceBlock msn;
};

// dwData 0 is a message without state; any other value carries the payload.
// Fields that the payload does not reach stay cleared; nothing is read
// outside the payload.
ProgramStatus DecodeStateMessage(std::uintptr_t dwData, std::span<const BYTE> payload);

}  // namespace plugin
