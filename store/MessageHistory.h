// MessageHistory: the stored history of one conversation, appended to for
// every message sent or received and read back page by page, newest first.
//
// Files (in the folder named by the own UIN inside the program folder):
// "<base>_msg.txt" holds the texts, "<base>_idx.dat" one 16-byte record per
// message pointing into it, and "<name>_parties.txt" the parties of a
// conversation with more than two (store/HistoryFormat.h has the bytes). The
// base name is the contact's UIN for a conversation of two, the conversation
// name otherwise.
//
// Threads: appends come from the protocol's worker thread, reads from the
// interface thread. The object's own state is locked; between objects and
// processes the files' sharing modes order the work: an append opens without
// sharing and waits (500 ms steps) while a reader holds a file, and a read
// that meets an append in progress returns nothing for that page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/RefCounted.h"
#include "platform/base/Types.h"
#include "platform/sync/Sync.h"

// A message as read back from the history.
struct HistoryMessage {
    SYSTEMTIME time;             // year to second as stored; the rest 0
    std::uint8_t party = 0;      // 0 the account itself; 0xFF not among the parties
    WideString text;
};

// A page read back from the history, with what a reader paging further back
// needs: how many records the page passed (unusable ones included, so that
// the next page starts after them) and whether a writer held the files.
struct HistoryPage {
    std::vector<HistoryMessage> messages;
    std::int32_t recordsPassed = 0;
    bool busy = false;  // an append held the files: nothing was read, try again
};

class MessageHistory : public virtual RefCounted {
public:
    // A conversation of the account ownUin with the contact contactUin:
    // parties (ownUin, contactUin).
    MessageHistory(WideString ownUin, WideString contactUin);

    // Adds one message. time is the caller's local time of sending or
    // receiving; senderUin is matched exactly against the parties (empty:
    // the account itself). Returns false on any failure; what was written
    // before the failure stays and is never shown as a message.
    bool Append(const SYSTEMTIME& time, const WideString& senderUin, const WideString& text);

    // Up to count messages, newest first, leaving out the skip newest ones.
    // Empty when count is below 1 or the files cannot be opened. Damaged
    // records (pointing outside the text file) are passed over and do not
    // count against count.
    std::vector<HistoryMessage> Read(std::int32_t skip, std::int32_t count);
    // The same page with the records it passed and whether it met an append.
    HistoryPage ReadPage(std::int32_t skip, std::int32_t count);

    // Names the files of a conversation with other than two parties.
    void SetConversationName(const WideString& name);

    // Adds a party (a multi-party conversation); the parties file is
    // rewritten before the next append.
    void AddParty(const WideString& uin);

    std::vector<WideString> Parties();

    // Host paths of the files; empty when a name is unusable as a file name.
    std::string TextPath();
    std::string IndexPath();
    std::string PartiesPath();

protected:
    ~MessageHistory() override = default;

private:
    struct Paths {
        std::string folder;
        std::string text;
        std::string index;
        std::string parties;  // only with three or more parties
    };
    struct AppendPlan {
        Paths paths;
        std::vector<WideString> parties;
        bool writeParties = false;
        std::uint8_t senderParty = 0;
    };

    const Paths& PathsLocked();
    AppendPlan PlanAppend(const WideString& senderUin);
    void RestorePartiesChanged();

    CRITICAL_SECTION m_stateLock;   // parties, name, paths, flag
    CRITICAL_SECTION m_appendLock;  // one append of this object at a time
    std::vector<WideString> m_parties;
    WideString m_conversationName;
    Paths m_paths;
    bool m_pathsKnown = false;
    bool m_partiesChanged = false;
};
