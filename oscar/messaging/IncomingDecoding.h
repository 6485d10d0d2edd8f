// Decoding of incoming messages (0x04/0x07) on channels 1, 2 and 4.
//
// Data: cookie (8), channel (2), sender UIN (length byte and digits), warning
// level (2), user-information item count (2) and that many items, then the
// message items. Every length is checked against the data; anything that
// does not fit drops the message.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "oscar/messaging/MessageCommands.h"
#include "oscar/messaging/MessageEvents.h"

namespace oscar {

struct DecodedMessage {
    RefPtr<IncomingMessage> message;
    // Set for a channel-2 message: the answer the sender expects.
    std::optional<ChannelTwoReply> reply;
};

// Decodes the command's data with the code page for 8-bit text. Nullopt for
// an unknown channel, a channel-2 message with another capability or a
// plug-in identifier, and malformed data.
std::optional<DecodedMessage> DecodeIncomingMessage(std::span<const std::uint8_t> data, UINT codePage);

// The text of a channel-2 message's capability identifier in its braced,
// hyphenated form ("{0946134E-4C7F-11D1-8222-444553540000}"), as 16 bytes.
std::optional<std::array<std::uint8_t, 16>> ParseCapabilityText(std::span<const std::uint8_t> text);

}  // namespace oscar
