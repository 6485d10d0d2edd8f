#include "oscar/messaging/RecentCookies.h"

namespace oscar {

bool RecentCookies::Remember(const WideString& sender, std::uint64_t cookie)
{
    platform::CriticalSectionLock guard(m_lock);
    for (std::size_t i = 0; i < m_count; ++i) {
        if (m_entries[i].cookie == cookie && m_entries[i].sender == sender)
            return false;
    }
    m_entries[m_next] = {sender, cookie};
    m_next = (m_next + 1) % kCapacity;
    if (m_count < kCapacity)
        ++m_count;
    return true;
}

}  // namespace oscar
