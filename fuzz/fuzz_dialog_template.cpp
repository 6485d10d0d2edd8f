// Arbitrary bytes as an in-memory dialog template: reading must never read
// outside the buffer, and a template it accepts must hold only what the
// bytes could carry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/dialog/DialogTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto dialog = platform::dialog::ReadDialogTemplate(data, size);
    if (!dialog)
        return 0;
    std::size_t carried = 0;
    for (const auto& item : dialog->items) {
        if (item.className.empty())
            std::abort();
        if (!item.creationData.empty()) {
            WORD count = 0;
            std::memcpy(&count, item.creationData.data(), sizeof count);
            if (item.creationData.size() != sizeof count + count)
                std::abort();
        }
        carried += 18 + item.creationData.size() + item.title.size() * 2;
    }
    if (carried > size + dialog->items.size() * 16)
        std::abort();
    return 0;
}
