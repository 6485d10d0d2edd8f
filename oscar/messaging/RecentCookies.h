// The cookies of the last messages taken, with their senders. A sender that
// did not see our acknowledgement sends the same message again with the same
// cookie; the repeat is recognised here and not shown twice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"
#include "platform/sync/Sync.h"

namespace oscar {

class RecentCookies {
public:
    static constexpr std::size_t kCapacity = 64;

    // Remembers the pair (the oldest falls out when full); false when it was
    // already among the remembered ones.
    bool Remember(const WideString& sender, std::uint64_t cookie);

private:
    struct Entry {
        WideString sender;
        std::uint64_t cookie = 0;
    };
    CRITICAL_SECTION m_lock;
    std::array<Entry, kCapacity> m_entries;
    std::size_t m_next = 0;
    std::size_t m_count = 0;
};

}  // namespace oscar
