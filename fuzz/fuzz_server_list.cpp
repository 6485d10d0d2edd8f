// Arbitrary bytes as a part of the server-stored list: decoding never reads
// outside the data, and applying whatever decodes keeps the store sound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "oscar/ContactStore.h"
#include "oscar/ListCommands.h"
#include "oscar/ServerListItem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    bool last = size > 0 && (data[0] & 1) != 0;
    oscar::ServerListPart part = oscar::ReadServerListPart(bytes, last);
    auto store = MakeRef<ContactStore>();
    store->ApplyServerList(part.items, part.date);
    if (store->ListCount() != part.items.size())
        std::abort();
    for (const RefPtr<Contact>& contact : store->Contacts()) {
        oscar::ServerListItem item = oscar::ContactItem(*contact);
        auto out = MakeRef<oscar::ByteBuffer>();
        item.Write(*out);
    }
    for (const RefPtr<ContactGroup>& group : store->Groups())
        oscar::GroupItem(*group);
    return 0;
}
