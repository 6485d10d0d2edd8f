// Decoding of a received SNAC: header, command-table lookup and the chain of
// decoding classes.
#pragma once

#include <cstdint>
#include <span>

#include "app/RefCounted.h"
#include "oscar/codec/SnacCommand.h"

namespace oscar {

// Longest chain of Decode calls that return a replacement object. A longer
// chain means a decoder that cycles; the command is then delivered as a plain
// unknown command.
constexpr int kMaxDecodeSteps = 16;

// Decodes the body of a channel-2 frame. Null for a body shorter than 10
// bytes. With flags bit 0x8000 the data starts after the 16-bit length at
// offset 10 and the extra header it announces; the data is empty when that
// start lies beyond the body (or the length itself is missing). Unknown
// (family, subtype) pairs give a plain SnacCommand with number 0. Flags,
// request id and data are set on the result.
RefPtr<SnacCommand> DecodeSnac(std::span<const std::uint8_t> body);

}  // namespace oscar
