#include "oscar/ProtocolErrors.h"

#include <string>

#include "oscar/codec/TlvBlock.h"

namespace oscar {
namespace {

constexpr const char16_t* kErrorTexts[] = {
    u"Invalid SNAC header",
    u"Server rate limit exceeded",
    u"Client rate limit exceeded",
    u"Recipient is not logged in",
    u"Requested service unavailable",
    u"Requested service not defined",
    u"You sent obsolete SNAC",
    u"Not supported by server",
    u"Not supported by client",
    u"Refused by client",
    u"Reply too big",
    u"Responses lost",
    u"Request denied",
    u"Incorrect SNAC format",
    u"Insufficient rights",
    u"In local permit/deny (recipient blocked)",
    u"Sender too evil",
    u"Receiver too evil",
    u"User temporarily unavailable",
    u"No match",
    u"List overflow",
    u"Request ambiguous",
    u"Server queue full",
    u"Not while on AOL",
};

constexpr std::uint16_t kItemDisconnectReason = 0x0009;
constexpr std::uint16_t kReasonOtherLocation = 1;

WideString Decimal(unsigned value)
{
    WideString text;
    for (char c : std::to_string(value))
        text += static_cast<char16_t>(c);
    return text;
}

}  // namespace

WideString ErrorCodeText(std::uint16_t code)
{
    if (code >= 1 && code <= std::size(kErrorTexts))
        return kErrorTexts[code - 1];
    return u"Unknown ICQ-specific error";
}

WideString ErrorSnacText(std::span<const std::uint8_t> data)
{
    std::optional<std::uint16_t> code = FirstU16(data);
    return ErrorCodeText(code.value_or(0));
}

WideString DisconnectText(const FlapFrame& frame)
{
    WideString text = u"You have been disconnected by ICQ server";
    RefPtr<Tlv> reason = FindTlv(frame.Items(), kItemDisconnectReason);
    if (reason && reason->Value()->Size() == 2) {
        std::uint16_t code = *FirstU16(reason->Value()->Bytes());
        text += u".\r\nReason: ";
        text += Decimal(code);
        if (code == kReasonOtherLocation)
            text += u" (logged on from another location)";
    }
    return text;
}

}  // namespace oscar
