#include "tools/corvane-cli/ConsoleListener.h"

#include <string>

#include "platform/base/Clock.h"
#include "tools/corvane-cli/EventText.h"

namespace cli {

void ConsoleListener::OnEvent(const RefPtr<AppEvent>& event)
{
    SeenEvent seen{event->Type(), StatusTextOf(*event), DescribeEvent(m_core, *event, m_shownError)};
    // One write per line: the command thread prints its own lines meanwhile,
    // and a stamp written apart from its line could end up in front of one of
    // those.
    std::string line = seen.line + "\n";
    if (m_stamped)
        line = "[t=" + std::to_string(GetTickCount()) + "] " + line;
    std::fputs(line.c_str(), m_out);
    std::fflush(m_out);
    {
        std::lock_guard guard(m_lock);
        m_seen.push_back(std::move(seen));
    }
    m_changed.notify_all();
}

bool ConsoleListener::WaitFor(const std::function<bool(const SeenEvent&)>& matches, DWORD limitMilliseconds)
{
    auto deadline = platform::DeadlineAfter(limitMilliseconds);
    std::unique_lock guard(m_lock);
    std::size_t checked = 0;
    for (;;) {
        if (m_stopped)
            return false;
        for (; checked < m_seen.size(); ++checked) {
            SeenEvent& seen = m_seen[checked];
            if (!seen.matched && matches(seen)) {
                seen.matched = true;
                return true;
            }
        }
        if (m_changed.wait_until(guard, deadline) == std::cv_status::timeout && checked == m_seen.size())
            return false;
    }
}

bool ConsoleListener::Pause(DWORD milliseconds)
{
    auto deadline = platform::DeadlineAfter(milliseconds);
    std::unique_lock guard(m_lock);
    m_changed.wait_until(guard, deadline, [this] { return m_stopped; });
    return !m_stopped;
}

void ConsoleListener::Stop()
{
    {
        std::lock_guard guard(m_lock);
        m_stopped = true;
    }
    m_changed.notify_all();
}

bool ConsoleListener::Stopped()
{
    std::lock_guard guard(m_lock);
    return m_stopped;
}

}  // namespace cli
