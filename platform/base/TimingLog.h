// Timestamps for measuring the program from outside. With the environment
// variable CORVANE_TIMING_LOG=FILE, each LogTiming call appends one line
// "<event> <CLOCK_MONOTONIC nanoseconds> <detail>" to FILE, so that a script
// can set the moment a key was posted or a window finished painting against
// the moment it started the process. Without the variable nothing is written
// and a call costs one test of a flag.
#pragma once

#include <string_view>

namespace platform {

bool TimingLogEnabled();
void LogTiming(std::string_view event, std::string_view detail);

}  // namespace platform
