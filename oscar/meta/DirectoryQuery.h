// DirectoryQuery: one window's directory request and the EventHandler that
// waits for its answers.
//
// The user-information and search windows each hold one. Starting a request
// picks a new request id (the cookie), registers the query with AppCore as a
// worker-stage handler and posts the request frame (event 29). The handler
// watches received BOS frames (event 26) for meta replies (0x15/0x03) and
// ICQ errors (0x15/0x01) that carry the cookie; everything else, including
// replies to an earlier request, is ignored. It turns
//   basic information into event 49, more information into 50 and notes
//   into 51 (information requests),
//   each search result into event 56 (searches),
//   an ICQ error into event 52 (a DirectoryErrorEvent) with its text,
// each event carrying the cookie (Answers() tells a window whether an event
// is its own). The query unregisters itself when the answer is complete:
// for information, at the server's last reply of the run (SNAC flags bit 0
// clear); for a search, at the last search result; for both, at an error.
// Cancel() (and starting a new request) drops the running one.
#pragma once

#include <cstdint>
#include <functional>

#include "app/AppCore.h"
#include "app/AppEvent.h"
#include "oscar/codec/SnacCommand.h"
#include "oscar/meta/DirectoryEvents.h"
#include "oscar/meta/MetaRequest.h"
#include "platform/sync/Sync.h"

namespace oscar {

// A new request id: rand() × 65536 + rand(), each rand() taken to 15 bits
// as on the device, in unsigned arithmetic; never 0.
std::uint32_t NewDirectoryCookie();

class DirectoryQuery : public EventHandler {
public:
    enum class Mode : std::uint8_t { None, Information, Search };

    explicit DirectoryQuery(AppCore& core) : m_core(core) {}

    // Each starts a request and replaces a running one. False, sending
    // nothing, when the current account is not signed on, the UIN is 0 or
    // the request cannot be built (criteria too long). Any thread.
    bool RequestInformation(std::uint32_t uin);
    bool SearchByUin(std::uint32_t uin);
    bool SearchByDetails(const SearchCriteria& criteria);

    // Builds a request frame from the new cookie, the own UIN and the next
    // sequence number; null when it cannot be built.
    using RequestBuilder = std::function<RefPtr<FlapFrame>(std::uint32_t cookie, std::uint32_t ownUin,
                                                           std::uint16_t sequence)>;
    // Starts a request of another shape whose answers are read as the mode
    // says (the three above use it). Same results as they.
    bool StartRequest(Mode mode, const RequestBuilder& build);

    // Stops waiting and unregisters; later answers are ignored.
    void Cancel();

    Mode CurrentMode() const;
    std::uint32_t Cookie() const;
    bool IsWaiting() const;
    // Events posted for the current request so far.
    int PostedCount() const;
    // True when the event is one of this query's events for its current
    // request (49, 50, 51, 52 or 56 carrying its cookie).
    bool Answers(const AppEvent& event) const;

    // Worker stage: received BOS frames.
    void Handle(const RefPtr<AppEvent>& event) override;

protected:
    ~DirectoryQuery() override = default;

private:
    // The own UIN of the signed-on account, or 0.
    std::uint32_t SignedOnUin() const;
    void OnReply(const SnacCommand& snac);
    void Post(const RefPtr<AppEvent>& event);
    void Finish();

    AppCore& m_core;
    // Guards the fields below; held while registering with AppCore (this
    // lock is always taken before AppCore's).
    mutable CRITICAL_SECTION m_lock;
    Mode m_mode = Mode::None;
    std::uint32_t m_cookie = 0;
    bool m_waiting = false;
    bool m_registered = false;
    int m_posted = 0;
};

}  // namespace oscar
