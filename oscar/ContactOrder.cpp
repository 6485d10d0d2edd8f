#include "oscar/ContactOrder.h"

#include "platform/text/Collation.h"

namespace oscar {

bool NeedsAttention(const Contact& contact)
{
    return contact.mark || contact.unread || contact.typing || contact.authorisationRequested;
}

const WideString& DisplayName(const Contact& contact)
{
    return contact.nickname.empty() ? contact.uin : contact.nickname;
}

bool SortsBefore(const Contact& a, const Contact& b)
{
    bool attentionA = NeedsAttention(a);
    bool attentionB = NeedsAttention(b);
    if (attentionA != attentionB)
        return attentionA;
    bool offlineA = a.status == OnlineStatus::Offline;
    bool offlineB = b.status == OnlineStatus::Offline;
    if (offlineA != offlineB)
        return !offlineA;
    const WideString& nameA = DisplayName(a);
    const WideString& nameB = DisplayName(b);
    if (nameA.empty() != nameB.empty())
        return nameA.empty();
    if (int order = platform::CompareText(nameA, nameB); order != 0)
        return order < 0;
    return platform::CompareText(a.uin, b.uin) < 0;
}

}  // namespace oscar
