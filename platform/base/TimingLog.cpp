#include "platform/base/TimingLog.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

// Opened once, on first use; null when the variable is not set or the file
// cannot be opened.
std::FILE* LogFile()
{
    static std::FILE* file = [] {
        const char* path = std::getenv("CORVANE_TIMING_LOG");
        return path != nullptr && *path != '\0' ? std::fopen(path, "a") : nullptr;
    }();
    return file;
}

}  // namespace

bool TimingLogEnabled() { return LogFile() != nullptr; }

void LogTiming(std::string_view event, std::string_view detail)
{
    std::FILE* file = LogFile();
    if (file == nullptr)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long nanoseconds = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    // One fprintf per line: stdio's lock keeps lines of different threads whole.
    std::fprintf(file, "%.*s %lld %.*s\n", static_cast<int>(event.size()), event.data(), nanoseconds,
                 static_cast<int>(detail.size()), detail.data());
    std::fflush(file);
}

}  // namespace platform
