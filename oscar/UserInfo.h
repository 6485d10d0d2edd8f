// The user information block of presence notices (0x03/0x0B, 0x03/0x0C) and
// of the own online information (0x01/0x0F): UIN as a length byte and
// digits, warning level (2), item count (2), then that many TLV items.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/Uin.h"
#include "oscar/OnlineStatus.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/TlvBlock.h"
#include "platform/base/Types.h"

namespace oscar {

struct UserInfo {
    WideString uin;
    std::uint16_t warningLevel = 0;
    std::vector<TlvView> items;  // views into the decoded bytes

    // The status code: the low 16 bits of item 0x0006, none when absent.
    std::optional<std::int32_t> Status() const;
    // The 16-byte capabilities of item 0x000D, none when absent.
    std::optional<std::vector<Capability>> Capabilities() const;
};

// How a block whose items do not all fit is read.
enum class UserInfoItems {
    // Presence and own information: the items that fit are kept, and a block
    // that ends after the UIN has no items. Later items are not needed there.
    UpToCount,
    // Incoming messages: the message items follow the block, so a block
    // whose warning level, count or counted items run past the end of the
    // data has no known end and gives nullopt.
    Exact,
};

// Decodes one block from the front of the bytes; never reads more items than
// the count says. An empty or non-digit UIN gives nullopt. consumed, when
// given, receives the number of bytes read (with Exact: the block's size).
std::optional<UserInfo> ReadUserInfo(std::span<const std::uint8_t> data,
                                     UserInfoItems rule = UserInfoItems::UpToCount, std::size_t* consumed = nullptr);

// Appends a UIN as a length byte and its digits (the form of every command
// that names a user); false for a UIN longer than 255 characters.
bool AppendLengthPrefixedUin(ByteBuffer& out, const WideString& uin);

// Whether the text is a UIN: 1 to 12 digits (app/Uin.h holds the rule).
using app::IsUinText;

// A UIN as a length byte and its digits, at the front of the bytes.
std::optional<WideString> ReadLengthPrefixedUin(std::span<const std::uint8_t> data, std::size_t* consumed = nullptr);

}  // namespace oscar
