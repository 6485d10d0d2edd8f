#include "tools/corvane-cli/LineReader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sync/Sync.h"

namespace cli {

bool LineReader::TakeLine(std::string& line)
{
    std::size_t end = m_pending.find('\n');
    if (end == std::string::npos) {
        if (!m_ended || m_pending.empty())
            return false;
        end = m_pending.size();
    }
    line = m_pending.substr(0, end);
    m_pending.erase(0, end < m_pending.size() ? end + 1 : end);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool LineReader::Next(std::string& line)
{
    int stopDescriptor = platform::EventDescriptor(m_stop);
    for (;;) {
        if (WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0)
            return false;
        if (TakeLine(line))
            return true;
        if (m_ended)
            return false;
        pollfd fds[2] = {{m_descriptor, POLLIN, 0}, {stopDescriptor, POLLIN, 0}};
        int ready = ::poll(fds, stopDescriptor >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return false;
        if (fds[0].revents == 0)
            continue;
        char buffer[4096];
        ssize_t got = ::read(m_descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            m_ended = true;
        else
            m_pending.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace cli
