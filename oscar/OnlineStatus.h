// OnlineStatus: the presence of the user and of every contact. -1 means
// offline; any other value is the 16-bit ICQ status code of the wire.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/base/Types.h"

namespace OnlineStatus {

constexpr std::int32_t Offline = -1;
constexpr std::int32_t Online = 0x0000;
constexpr std::int32_t Away = 0x0001;
constexpr std::int32_t DoNotDisturb = 0x0002;
constexpr std::int32_t NotAvailable = 0x0004;
constexpr std::int32_t Occupied = 0x0010;
constexpr std::int32_t FreeForChat = 0x0020;
constexpr std::int32_t Invisible = 0x0100;

// The codes the user's status choices set.
constexpr std::int32_t ChoiceNotAvailable = 0x0005;
constexpr std::int32_t ChoiceOccupied = 0x0011;
constexpr std::int32_t ChoiceDoNotDisturb = 0x0013;

// The status flags sent with the code in item 0x0006 of 0x01/0x1E.
constexpr std::uint16_t kStatusFlags = 0x0100;

// Reduces a combined code to the status shown.
std::int32_t Principal(std::int32_t code);

// Short text of the principal status ("Offline", "Online", "Away", "DND",
// "NA", "Occupied", "Free for chat", "Invisible"; empty for anything else).
WideString Text(std::int32_t code);

}  // namespace OnlineStatus

using Capability = std::array<std::uint8_t, 16>;

// The UTF-8 messages capability; a contact announcing it can take Unicode.
extern const Capability kCapabilityUtf8;

// The capabilities announced in 0x02/0x04, in wire order; the channel-2
// capability only when channel 2 is supported.
std::vector<Capability> AnnouncedCapabilities(bool supportChannel2);
