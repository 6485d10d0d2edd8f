// Arbitrary bytes as an ICQ meta reply carrying an offline message.
#include <cstddef>
#include <cstdint>
#include <span>

#include "oscar/messaging/OfflineMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    oscar::MetaReplyType(bytes);
    oscar::DecodeOfflineMessage(bytes, 1252);
    oscar::DecodeOfflineMessage(bytes, 1251);
    return 0;
}
