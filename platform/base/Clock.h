// The device clock.
//
// Every wait, delay and period of the program goes through this clock. The
// environment variable CORVANE_TIME_SCALE (default 1) makes device time run
// that many times faster than real time: Sleep(5000) with a scale of 1000
// sleeps 5 real milliseconds, and GetTickCount advances 1000 device
// milliseconds per real millisecond. The product's numbers never change; only
// how long they take.
#pragma once

#include <chrono>
#include <optional>

#include "platform/base/Types.h"

// Milliseconds of device time since an arbitrary start; wraps after 2^32.
DWORD GetTickCount();

// Sleeps for the given device milliseconds. Sleep(0) yields.
void Sleep(DWORD milliseconds);

// Wall-clock date and time (not scaled: dates shown and stored are real).
void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);

namespace platform {

using RealClock = std::chrono::steady_clock;

// The scale in force (>= 1e-3). Read from CORVANE_TIME_SCALE on first use;
// a missing, unparsable or non-positive value gives 1.
double TimeScale();

// Changes the scale at run time (tests). GetTickCount stays continuous.
void SetTimeScale(double scale);

// Real duration of a device-time span.
RealClock::duration RealDuration(DWORD deviceMilliseconds);

// Real deadline for a device time-out from now; INFINITE gives time_point::max().
RealClock::time_point DeadlineAfter(DWORD deviceMilliseconds);

// The device's time-zone bias in minutes (UTC = local time + bias), daylight
// saving not included: the system time zone's (TZ), unless one was set.
int TimeZoneBiasMinutes();

// Sets the bias the device reports (tests); nullopt returns to the system
// time zone.
void SetTimeZoneBiasMinutes(std::optional<int> minutes);

}  // namespace platform
