// Events of the directory requests, posted by a DirectoryQuery for the
// window that waits for them: 49 basic information, 50 more information,
// 51 notes, 56 one search hit. Errors arrive as event 52
// (ProtocolErrorEvent). Each event carries the request id (cookie) of the
// query it answers, so that a window can tell its own answers from another
// window's.
#pragma once

#include <cstdint>
#include <optional>

#include "app/AppEvent.h"
#include "oscar/ProtocolErrors.h"
#include "oscar/meta/DirectoryReplies.h"

namespace oscar {

// 49, 50, 51: an information reply; the fields are defaults when it was not
// successful.
template <std::int32_t kEventType, typename Fields>
class DirectoryInfoEvent : public AppEvent {
public:
    DirectoryInfoEvent(std::uint32_t requestId, bool success, Fields fields)
        : AppEvent(kEventType), m_requestId(requestId), m_success(success), m_fields(std::move(fields))
    {
    }
    std::uint32_t RequestId() const { return m_requestId; }
    bool Success() const { return m_success; }
    const Fields& Info() const { return m_fields; }

private:
    std::uint32_t m_requestId;
    bool m_success;
    Fields m_fields;
};

using UserInfoBasicEvent = DirectoryInfoEvent<EventType::UserInfoBasic, BasicInfo>;
using UserInfoMoreEvent = DirectoryInfoEvent<EventType::UserInfoMore, MoreInfo>;
using UserInfoNotesEvent = DirectoryInfoEvent<EventType::UserInfoNotes, WideString>;

// 56: one search result. An unsuccessful reply carries only the cleared
// success flag (and the last-result flag of its subtype, which ends the
// search).
class SearchHitEvent : public AppEvent {
public:
    SearchHitEvent(std::uint32_t requestId, bool success, bool last, SearchHit hit)
        : AppEvent(EventType::SearchHit), m_requestId(requestId), m_success(success), m_last(last),
          m_hit(std::move(hit))
    {
    }
    std::uint32_t RequestId() const { return m_requestId; }
    bool Success() const { return m_success; }
    bool IsLast() const { return m_last; }
    const SearchHit& Hit() const { return m_hit; }

private:
    std::uint32_t m_requestId;
    bool m_success;
    bool m_last;
    SearchHit m_hit;
};

// 52 for a directory request: the ICQ error with the cookie of the query it
// ends.
class DirectoryErrorEvent : public ProtocolErrorEvent {
public:
    DirectoryErrorEvent(std::uint32_t requestId, std::uint16_t family, std::uint16_t subtype, WideString text)
        : ProtocolErrorEvent(family, subtype, std::move(text)), m_requestId(requestId)
    {
    }
    std::uint32_t RequestId() const { return m_requestId; }

private:
    std::uint32_t m_requestId;
};

// The cookie an event of this file carries; nothing for other events.
std::optional<std::uint32_t> DirectoryRequestId(const AppEvent& event);

}  // namespace oscar
