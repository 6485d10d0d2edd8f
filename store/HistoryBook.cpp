#include "store/HistoryBook.h"

namespace store {

RefPtr<MessageHistory> HistoryBook::Of(const WideString& contactUin)
{
    platform::CriticalSectionLock guard(m_lock);
    RefPtr<MessageHistory>& history = m_histories[contactUin];
    if (!history)
        history = MakeRef<MessageHistory>(m_ownUin, contactUin);
    return history;
}

bool HistoryBook::Append(const WideString& contactUin, bool sentByUser, const SYSTEMTIME& time,
                         const WideString& text)
{
    return Of(contactUin)->Append(time, sentByUser ? m_ownUin : contactUin, text);
}

}  // namespace store
