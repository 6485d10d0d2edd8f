// MessageText: the text inside the three message formats, for the offline
// store and the echo account. Channel 1 carries fragments in item 0x0002,
// channel 2 a rendezvous block whose item 0x2711 holds a little-endian
// message, channel 4 a little-endian block in item 0x0005.
#pragma once

#include "tools/oscar-server/Wire.h"

namespace oscarserver {

constexpr std::uint16_t kCharsetUnicode = 0x0002;

struct MessageText {
    std::uint16_t charset = 0;  // channel-1 character set; kCharsetUnicode is UTF-16 big-endian
    std::uint8_t type = 1;      // ICQ message type (1 plain text)
    std::uint8_t flags = 0;
    Bytes text;                 // without a terminating zero
};

// Each is false when the data are malformed or hold no text fragment.
bool ReadChannel1Text(ByteView item0002, MessageText& out);
bool ReadChannel2Text(ByteView item0005, MessageText& out);
bool ReadChannel4Text(ByteView item0005, MessageText& out);

// UTF-16 big-endian to UTF-8. An unpaired surrogate and an odd last byte
// become U+FFFD, so that nothing of the text is silently lost.
Bytes Utf16BeToUtf8(ByteView text);

// Item 0x0002 of a channel-1 message with the text in the given character
// set (features fragment, then the text fragment).
Bytes Channel1Item(const MessageText& text);

}  // namespace oscarserver
