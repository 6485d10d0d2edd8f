// The console's EventListener: prints every event it receives as one line
// and keeps the lines so that "wait-for" can look for one.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/AppEvent.h"

namespace cli {

struct SeenEvent {
    std::int32_t type = 0;
    std::string statusText;
    std::string line;
    bool matched = false;  // already satisfied a wait
};

class ConsoleListener : public EventListener {
public:
    // With `stamped`, every line starts with the device time in milliseconds
    // ("[t=12345] "), so that a script can measure delays.
    ConsoleListener(AppCore& core, std::FILE* out, bool stamped = false)
        : m_core(core), m_out(out), m_stamped(stamped)
    {
    }

    void OnEvent(const RefPtr<AppEvent>& event) override;

    // Waits, for at most the device-time limit, until an event satisfies the
    // predicate. Events that arrived earlier count too, but each event
    // satisfies one wait only: the earliest one not matched before is taken.
    // So two clients driven by scripts need not guess the order in which
    // events arrive, and "wait-for event 40" twice waits for two messages.
    bool WaitFor(const std::function<bool(const SeenEvent&)>& matches, DWORD limitMilliseconds);

    // Waits for the device-time span; false when the console was stopped
    // meanwhile (or before).
    bool Pause(DWORD milliseconds);

    // Ends every wait at once, and every later one before it starts: the
    // console is closing.
    void Stop();
    bool Stopped();

private:
    AppCore& m_core;
    std::FILE* m_out;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_stamped;
    bool m_stopped = false;
    WideString m_shownError;  // touched by the interface thread only
    std::vector<SeenEvent> m_seen;
};

}  // namespace cli
