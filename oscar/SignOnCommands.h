// The frames and commands of login and BOS sign-on, built ready to send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "oscar/OnlineStatus.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/SnacCommand.h"

namespace oscar {

// The client id text of the sign-on frame.
inline constexpr const char16_t* kClientIdText = u"ICQ Inc. - Product of ICQ (TM).2003b.5.56.1.3916.85";

// The password bytes XOR-ed with the standard 16-byte roasting sequence; the
// result is wiped when released.
RefPtr<ByteBuffer> RoastPassword(std::span<const std::uint8_t> password);

// Channel 1: 00 00 00 01 and the sign-on items (UIN, roasted password, client
// id text and versions, distribution, language, country), in that order.
RefPtr<FlapFrame> BuildSignOnFrame(const WideString& uin, const WideString& password, UINT passwordCodePage);

// Channel 1: 00 00 00 01 and item 0x0006 = the cookie (BOS sign-on).
RefPtr<FlapFrame> BuildCookieFrame(const RefPtr<ByteBuffer>& cookie);

// Channel 1 with an empty body (the answer to the login reply).
RefPtr<FlapFrame> BuildEmptySignOnFrame();

// A channel-2 frame for the command with the request id and data.
RefPtr<FlapFrame> BuildSnacFrame(CommandNumber number, std::uint32_t requestId,
                                 RefPtr<ByteBuffer> data = nullptr);

RefPtr<FlapFrame> BuildClientFamilyVersions();
RefPtr<FlapFrame> BuildRateAck(const std::vector<std::uint16_t>& classIds);
RefPtr<FlapFrame> BuildSetUserInfo(bool supportChannel2);
RefPtr<FlapFrame> BuildMessagingParameters(std::uint16_t channel, std::uint32_t flags);
RefPtr<FlapFrame> BuildListRequest(std::uint32_t date, std::uint16_t count);
RefPtr<FlapFrame> BuildPrivacyUpdate(std::uint16_t privacyItemId, std::uint8_t value);
RefPtr<FlapFrame> BuildSetStatus(std::int32_t status);
RefPtr<FlapFrame> BuildAddToClientList(const std::vector<WideString>& uins);
RefPtr<FlapFrame> BuildOfflineMessagesRequest(std::uint32_t ownUin);

// What the login server's reply (channel 4 on the login connection) says.
// Accepted when it carries both the BOS address (item 0x0005) and the cookie
// (item 0x0006): the address is split at its last colon, and an address
// without a port (no colon, or nothing after it) gets port "5190", as a login
// host does. Otherwise it is a rejection whose code is the first 16 bits of
// item 0x0009, else of item 0x0008, else 0.
struct LoginReply {
    bool accepted = false;
    std::string host;
    std::string port;
    RefPtr<ByteBuffer> cookie;  // a copy of the item's bytes; null when rejected
    std::uint16_t errorCode = 0;
};
LoginReply ReadLoginReply(const FlapFrame& frame);

// The class ids of a rate information reply (0x01/0x07 data): N, N blocks of
// 35 bytes, N groups (class id, pair count, pairs). Empty when malformed.
std::vector<std::uint16_t> ReadRateClassIds(std::span<const std::uint8_t> data);

}  // namespace oscar
