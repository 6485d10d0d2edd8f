// Reads command lines from a descriptor (standard input or a script file)
// while watching a stop event, so that the console can end its command
// thread on quit instead of leaving it blocked in a read.
#pragma once

#include <string>

#include "platform/base/Types.h"

namespace cli {

class LineReader {
public:
    // Reads from the descriptor, which stays owned by the caller; `stop` is
    // a manual-reset event.
    LineReader(int descriptor, HANDLE stop) : m_descriptor(descriptor), m_stop(stop) {}

    // The next line without its line end; false at the end of the input, on
    // a read error, or once the stop event is signalled. A last line without
    // a line end is returned too.
    bool Next(std::string& line);

private:
    bool TakeLine(std::string& line);

    int m_descriptor;
    HANDLE m_stop;
    std::string m_pending;
    bool m_ended = false;
};

}  // namespace cli
