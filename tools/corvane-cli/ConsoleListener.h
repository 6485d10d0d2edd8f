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
};

class ConsoleListener : public EventListener {
public:
    ConsoleListener(AppCore& core, std::FILE* out) : m_core(core), m_out(out) {}

    void OnEvent(const RefPtr<AppEvent>& event) override;

    // Waits until an event after the last match satisfies the predicate, for
    // at most the device-time limit. The match becomes the new starting point.
    bool WaitFor(const std::function<bool(const SeenEvent&)>& matches, DWORD limitMilliseconds);

private:
    AppCore& m_core;
    std::FILE* m_out;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<SeenEvent> m_seen;
    std::size_t m_cursor = 0;
};

}  // namespace cli
