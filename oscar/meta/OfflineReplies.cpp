#include "oscar/meta/OfflineReplies.h"

namespace oscar {

void OfflineMessageReply::DecodeBody(ByteReader& body)
{
    OfflineMessage message;
    std::uint16_t textLength = 0;
    std::span<const std::uint8_t> text;
    if (!body.ReadU32LE(message.senderUin) || !body.ReadU16LE(message.year) || !body.ReadU8(message.month) ||
        !body.ReadU8(message.day) || !body.ReadU8(message.hour) || !body.ReadU8(message.minute) ||
        !body.ReadU8(message.messageType) || !body.ReadU8(message.flags) || !body.ReadU16LE(textLength) ||
        !body.ReadBytes(textLength, text))
        return;
    // The counted length includes the terminating zero, which is not text.
    if (!text.empty())
        text = text.first(text.size() - 1);
    message.text.assign(text.begin(), text.end());
    m_message = std::move(message);
    m_valid = true;
}

void OfflineEndReply::DecodeBody(ByteReader& body)
{
    // An empty body leaves the flag at 0.
    if (!body.ReadU8(m_dropped))
        m_dropped = 0;
}

}  // namespace oscar
