// Texts for the server's error reports and for its order to disconnect.
#pragma once

#include <cstdint>
#include <span>

#include "app/AppEvent.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/base/Types.h"

namespace oscar {

// The text of a SNAC error code (1 to 24; anything else is
// "Unknown ICQ-specific error").
WideString ErrorCodeText(std::uint16_t code);

// The text of an error SNAC (0x01/0x01, 0x15/0x01): its first 16 data bits
// as the code; data shorter than 2 bytes has no code and gets the text of an
// unknown one.
WideString ErrorSnacText(std::span<const std::uint8_t> data);

// The text for a channel-4 frame on the BOS connection: "You have been
// disconnected by ICQ server", with the reason of item 0x0009 when it is
// exactly 2 bytes long.
WideString DisconnectText(const FlapFrame& frame);

// Event 52: a protocol error for a window that waits for an answer.
class ProtocolErrorEvent : public AppEvent {
public:
    ProtocolErrorEvent(std::uint16_t family, std::uint16_t subtype, WideString text)
        : AppEvent(EventType::ProtocolError), m_family(family), m_subtype(subtype), m_text(std::move(text))
    {
    }
    std::uint16_t Family() const { return m_family; }
    std::uint16_t Subtype() const { return m_subtype; }
    const WideString& Text() const { return m_text; }

private:
    std::uint16_t m_family;
    std::uint16_t m_subtype;
    WideString m_text;
};

}  // namespace oscar
