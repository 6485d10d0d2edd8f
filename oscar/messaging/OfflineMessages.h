// Offline messages: the meta replies 0x0041 (one stored message) and 0x0042
// (the end of them) that answer the request sent at the end of sign-on.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "oscar/messaging/MessageEvents.h"

namespace oscar {

constexpr std::uint16_t kMetaOfflineMessage = 0x0041;
constexpr std::uint16_t kMetaOfflineEnd = 0x0042;

// The reply type of a meta reply's data (item 0x0001, little-endian inside),
// or nullopt when the data is not a meta reply.
std::optional<std::uint16_t> MetaReplyType(std::span<const std::uint8_t> data);

// Decodes an offline message (reply type 0x0041). The UTC date becomes local
// time by the time-zone bias of the device (no daylight bias); a date that is
// not a date (month 13, day 0, ...) is replaced by the time of decoding, so
// the message is kept. The text is read by the unknown-byte-order rule.
RefPtr<IncomingMessage> DecodeOfflineMessage(std::span<const std::uint8_t> data, UINT codePage);

}  // namespace oscar
