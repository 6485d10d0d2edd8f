// Arbitrary bytes as an incoming message (0x04/0x07 data) on any channel, and
// as the answer built for a channel-2 message.
#include <cstddef>
#include <cstdint>
#include <span>

#include "oscar/messaging/IncomingDecoding.h"
#include "oscar/messaging/MessageCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    for (UINT codePage : {1252u, 65001u}) {
        std::optional<oscar::DecodedMessage> decoded = oscar::DecodeIncomingMessage(bytes, codePage);
        if (decoded && decoded->reply)
            oscar::BuildChannelTwoReply(*decoded->reply)->Serialise();
    }
    oscar::ParseCapabilityText(bytes);
    return 0;
}
