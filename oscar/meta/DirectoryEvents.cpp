#include "oscar/meta/DirectoryEvents.h"

namespace oscar {

std::optional<std::uint32_t> DirectoryRequestId(const AppEvent& event)
{
    if (const auto* basic = dynamic_cast<const UserInfoBasicEvent*>(&event))
        return basic->RequestId();
    if (const auto* more = dynamic_cast<const UserInfoMoreEvent*>(&event))
        return more->RequestId();
    if (const auto* notes = dynamic_cast<const UserInfoNotesEvent*>(&event))
        return notes->RequestId();
    if (const auto* hit = dynamic_cast<const SearchHitEvent*>(&event))
        return hit->RequestId();
    if (const auto* error = dynamic_cast<const DirectoryErrorEvent*>(&event))
        return error->RequestId();
    return std::nullopt;
}

}  // namespace oscar
