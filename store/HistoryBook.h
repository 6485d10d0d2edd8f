// The account's message histories, one per conversation, opened on first use
// and kept for the next message.
#pragma once

#include <map>

#include "platform/sync/Sync.h"
#include "store/MessageHistory.h"

namespace store {

class HistoryBook : public virtual RefCounted {
public:
    explicit HistoryBook(WideString ownUin) : m_ownUin(std::move(ownUin)) {}

    // Adds a message of the conversation with the contact: sent by the user
    // (sentByUser) or received from the contact.
    bool Append(const WideString& contactUin, bool sentByUser, const SYSTEMTIME& time, const WideString& text);

    // The history of the conversation with the contact.
    RefPtr<MessageHistory> Of(const WideString& contactUin);

protected:
    ~HistoryBook() override = default;

private:
    WideString m_ownUin;
    CRITICAL_SECTION m_lock;
    std::map<WideString, RefPtr<MessageHistory>> m_histories;
};

}  // namespace store
