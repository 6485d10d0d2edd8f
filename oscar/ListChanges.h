// The list changes the account sent while online and that the server has not
// acknowledged yet. Every add, update and delete command is answered by one
// 0x13/0x0E holding a 16-bit result per item, in the order the commands went
// out; the contacts of an add command are kept so that a refused add can be
// told apart. Used under the ContactStore's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/base/Types.h"

namespace oscar {

// The result a server gives an item that needs the awaiting-authorisation
// mark (item 0x0066) to be added.
constexpr std::uint16_t kListResultAuthorisationRequired = 0x000E;

class ListChanges {
public:
    // A command sent: the UIN of each item of an add command, in item order
    // (empty texts for items that are no contacts); nothing for updates and
    // deletes.
    void Sent(std::vector<WideString> addedContacts);
    // An acknowledgement arrived for the oldest command: the contacts whose
    // add it refused because they require authorisation.
    std::vector<WideString> Acknowledged(const std::vector<std::uint16_t>& results);
    // A new connection: acknowledgements of earlier commands never come.
    void Clear() { m_sent.clear(); }
    std::size_t Waiting() const { return m_sent.size(); }

private:
    // Bounded: a server that answers nothing must not make it grow for ever.
    static constexpr std::size_t kMaxWaiting = 256;
    std::deque<std::vector<WideString>> m_sent;
};

}  // namespace oscar
