// Offline-message meta replies: one stored message (type 0x0041) and the end
// of the stored messages (type 0x0042). Decoded here; the messaging code
// decides what to do with them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "oscar/meta/MetaReply.h"

namespace oscar {

// One stored message. The date and time are UTC as the server sent them.
struct OfflineMessage {
    std::uint32_t senderUin = 0;
    std::uint16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t messageType = 0;
    std::uint8_t flags = 0;
    // The text bytes: the counted length less its terminating zero. Their
    // encoding is not known here (8-bit text or UTF-16 of either order).
    std::vector<std::uint8_t> text;
};

class OfflineMessageReply : public MetaReply {
public:
    OfflineMessageReply() : MetaReply(MetaReplyKind::OfflineMessage) {}

    // False when the body was cut short or its text length ran past it; the
    // message then keeps its defaults.
    bool Valid() const { return m_valid; }
    const OfflineMessage& Message() const { return m_message; }

protected:
    void DecodeBody(ByteReader& body) override;

private:
    OfflineMessage m_message;
    bool m_valid = false;
};

class OfflineEndReply : public MetaReply {
public:
    OfflineEndReply() : MetaReply(MetaReplyKind::OfflineEnd) {}

    // The byte after the header (the server's "messages dropped" flag); 0
    // when the body is empty.
    std::uint8_t DroppedFlag() const { return m_dropped; }

protected:
    void DecodeBody(ByteReader& body) override;

private:
    std::uint8_t m_dropped = 0;
};

}  // namespace oscar
