// The messaging commands the program sends: a message (0x04/0x06), a typing
// notification (0x04/0x14), the answer to a channel-2 message (0x04/0x0B), and
// the request that deletes the offline messages.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "oscar/codec/FlapFrame.h"
#include "oscar/messaging/OutgoingText.h"
#include "platform/base/Types.h"

namespace oscar {

// A new message cookie: four successive 15-bit random numbers r1..r4 as
// r1 + r2*2^16 + r3*2^32 + r4*2^48. Thread-safe.
std::uint64_t NewMessageCookie();

// How the delivery of a message the user sent is confirmed: by the server's
// acknowledgement (the message is also kept for an offline recipient), or
// by the frame that carried it having gone out.
enum class Confirmation { Acknowledged, FrameSent };

// The 0x04/0x06 command for a message on channel 1 with the text in its
// encoded form (its character set decides the features fragment). The
// acknowledged mode adds the empty items 0x0003 (acknowledge) and 0x0006
// (keep the message for an offline recipient). Null when the text is too
// long for the item's 16-bit length.
RefPtr<FlapFrame> BuildSendMessage(std::uint64_t cookie, const WideString& uin, const OutgoingText& text,
                                   Confirmation confirmation);

// The typing notice values of 0x04/0x14.
enum class TypingState : std::uint16_t {
    Finished = 0,  // the text was sent or the box emptied
    Paused = 1,    // stopped typing with text still in the box
    Started = 2,
};

RefPtr<FlapFrame> BuildTypingNotification(const WideString& uin, TypingState state);

// 0x04/0x0B answering a channel-2 message: the cookie, channel 2, the
// sender's UIN, reason 3, then the fields copied from the received 0x2711
// value (see ChannelTwoReply).
struct ChannelTwoReply {
    std::uint64_t cookie = 0;
    WideString sender;
    std::vector<std::uint8_t> head;     // L1 (LE) and L1 bytes, L2 (LE) and L2 bytes
    std::uint8_t messageType = 0;
    std::uint8_t messageFlags = 0;
    std::uint16_t status = 0;           // copied little-endian
    std::uint16_t priority = 0;
    std::vector<std::uint8_t> tail;     // every byte after the received text
};
RefPtr<FlapFrame> BuildChannelTwoReply(const ChannelTwoReply& reply);

// The meta request that deletes the offline messages: item 0x0001 of 10
// bytes (length 8, own UIN, type 0x003E, sequence 0) and two zero bytes.
RefPtr<FlapFrame> BuildDeleteOfflineMessages(std::uint32_t ownUin);

}  // namespace oscar
