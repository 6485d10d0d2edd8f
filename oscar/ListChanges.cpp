#include "oscar/ListChanges.h"

namespace oscar {

void ListChanges::Sent(std::vector<WideString> addedContacts)
{
    if (m_sent.size() >= kMaxWaiting)
        m_sent.pop_front();
    m_sent.push_back(std::move(addedContacts));
}

std::vector<WideString> ListChanges::Acknowledged(const std::vector<std::uint16_t>& results)
{
    std::vector<WideString> refused;
    if (m_sent.empty())
        return refused;
    std::vector<WideString> added = std::move(m_sent.front());
    m_sent.pop_front();
    for (std::size_t i = 0; i < added.size() && i < results.size(); ++i) {
        if (results[i] == kListResultAuthorisationRequired && !added[i].empty())
            refused.push_back(added[i]);
    }
    return refused;
}

}  // namespace oscar
