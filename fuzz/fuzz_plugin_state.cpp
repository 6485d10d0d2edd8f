// Arbitrary bytes as the program's state message to the plug-in's listener:
// the first byte picks whether the message carries a state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "plugin/RowLook.h"
#include "plugin/StateMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    plugin::ProgramStatus status = plugin::DecodeStateMessage(data[0] & 1, std::span(data + 1, size - 1));
    if (status.icq.text.size() > plugin::kMaxStatusText || status.msn.text.size() > plugin::kMaxStatusText)
        std::abort();
    if (!status.haveData && (status.icq.present || status.msn.present))
        std::abort();
    plugin::BlockText(status.icq);
    plugin::BlockText(status.msn);
    return 0;
}
