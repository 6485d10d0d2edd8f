// ServerListItem: one item of the server-stored list in its wire form:
// name length (2), name (UTF-8), group id (2), item id (2), item type (2),
// data length (2), data (TLV items); big-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/ByteReader.h"

namespace oscar {

namespace ItemType {
constexpr std::uint16_t Contact = 0;
constexpr std::uint16_t Group = 1;
constexpr std::uint16_t Privacy = 4;
}  // namespace ItemType

// List item data items.
constexpr std::uint16_t kItemNickname = 0x0131;
constexpr std::uint16_t kItemAwaitingAuthorisation = 0x0066;
constexpr std::uint16_t kItemGroupMembers = 0x00C8;
constexpr std::uint16_t kItemPrivacyValue = 0x00CA;

struct ServerListItem {
    std::string name;  // UTF-8 bytes
    std::uint16_t groupId = 0;
    std::uint16_t itemId = 0;
    std::uint16_t type = 0;
    std::vector<std::uint8_t> data;  // the TLV items

    // Reads one item; false (reader failed) when it does not fit.
    bool Read(ByteReader& reader);
    // Appends the wire form; false when a length does not fit 16 bits.
    bool Write(ByteBuffer& out) const;
};

// One part of the list (0x13/0x06 data): version byte, item count (16), the
// items, and in the last part the list's modification date (32). Items that
// do not fit end the part; the items read so far are kept. An item count
// larger than the data reads only the items present.
struct ServerListPart {
    std::vector<ServerListItem> items;
    std::uint32_t date = 0;
    bool complete = true;  // false when the data ended early
};
ServerListPart ReadServerListPart(std::span<const std::uint8_t> data, bool lastPart);

}  // namespace oscar
