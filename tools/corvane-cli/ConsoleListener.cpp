#include "tools/corvane-cli/ConsoleListener.h"

#include "platform/base/Clock.h"
#include "tools/corvane-cli/EventText.h"

namespace cli {

void ConsoleListener::OnEvent(const RefPtr<AppEvent>& event)
{
    SeenEvent seen{event->Type(), StatusTextOf(*event), DescribeEvent(m_core, *event)};
    std::fprintf(m_out, "%s\n", seen.line.c_str());
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
    for (;;) {
        for (; m_cursor < m_seen.size(); ++m_cursor) {
            if (matches(m_seen[m_cursor])) {
                ++m_cursor;
                return true;
            }
        }
        if (m_changed.wait_until(guard, deadline) == std::cv_status::timeout && m_cursor == m_seen.size())
            return false;
    }
}

}  // namespace cli
