#include "platform/base/Clock.h"

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {
namespace {

constexpr double kMinScale = 1e-3;
constexpr double kMaxScale = 1e6;

struct ClockState {
    std::mutex lock;
    double scale = 1.0;
    RealClock::time_point baseReal = RealClock::now();
    double baseTicks = 0.0;  // device ms at baseReal
    std::optional<int> timeZoneBias;  // set by tests; none: the system's
};

double ScaleFromEnvironment()
{
    const char* text = std::getenv("CORVANE_TIME_SCALE");
    if (text == nullptr || *text == '\0')
        return 1.0;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || !(value > 0.0))
        return 1.0;
    if (value < kMinScale)
        return kMinScale;
    if (value > kMaxScale)
        return kMaxScale;
    return value;
}

ClockState& State()
{
    static ClockState* state = [] {
        auto* s = new ClockState;
        s->scale = ScaleFromEnvironment();
        // Start the tick count well away from 0 so that code which treats
        // 0 as "never" still works right after start.
        s->baseTicks = 10000.0;
        return s;
    }();
    return *state;
}

double TicksNow(ClockState& s, RealClock::time_point now)
{
    std::chrono::duration<double, std::milli> real = now - s.baseReal;
    return s.baseTicks + real.count() * s.scale;
}

}  // namespace

double TimeScale()
{
    ClockState& s = State();
    std::lock_guard guard(s.lock);
    return s.scale;
}

void SetTimeScale(double scale)
{
    if (!(scale > 0.0))
        scale = 1.0;
    if (scale < kMinScale)
        scale = kMinScale;
    if (scale > kMaxScale)
        scale = kMaxScale;
    ClockState& s = State();
    std::lock_guard guard(s.lock);
    RealClock::time_point now = RealClock::now();
    s.baseTicks = TicksNow(s, now);
    s.baseReal = now;
    s.scale = scale;
}

RealClock::duration RealDuration(DWORD deviceMilliseconds)
{
    double micros = static_cast<double>(deviceMilliseconds) * 1000.0 / TimeScale();
    return std::chrono::duration_cast<RealClock::duration>(std::chrono::duration<double, std::micro>(micros));
}

RealClock::time_point DeadlineAfter(DWORD deviceMilliseconds)
{
    if (deviceMilliseconds == INFINITE)
        return RealClock::time_point::max();
    return RealClock::now() + RealDuration(deviceMilliseconds);
}

int TimeZoneBiasMinutes()
{
    ClockState& s = State();
    {
        std::lock_guard guard(s.lock);
        if (s.timeZoneBias)
            return *s.timeZoneBias;
    }
    tzset();
    return static_cast<int>(timezone / 60);
}

void SetTimeZoneBiasMinutes(std::optional<int> minutes)
{
    ClockState& s = State();
    std::lock_guard guard(s.lock);
    s.timeZoneBias = minutes;
}

}  // namespace platform

DWORD GetTickCount()
{
    platform::ClockState& s = platform::State();
    std::lock_guard guard(s.lock);
    double ticks = platform::TicksNow(s, platform::RealClock::now());
    return static_cast<DWORD>(static_cast<std::uint64_t>(ticks));
}

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(platform::RealDuration(milliseconds));
}

namespace {

void FillSystemTime(SYSTEMTIME* out, const std::tm& tm, long milliseconds)
{
    out->wYear = static_cast<WORD>(tm.tm_year + 1900);
    out->wMonth = static_cast<WORD>(tm.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    out->wDay = static_cast<WORD>(tm.tm_mday);
    out->wHour = static_cast<WORD>(tm.tm_hour);
    out->wMinute = static_cast<WORD>(tm.tm_min);
    out->wSecond = static_cast<WORD>(tm.tm_sec);
    out->wMilliseconds = static_cast<WORD>(milliseconds);
}

void WallClock(SYSTEMTIME* out, bool local)
{
    if (out == nullptr)
        return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm tm{};
    if (local)
        localtime_r(&now.tv_sec, &tm);
    else
        gmtime_r(&now.tv_sec, &tm);
    FillSystemTime(out, tm, now.tv_nsec / 1000000);
}

}  // namespace

void GetLocalTime(SYSTEMTIME* time) { WallClock(time, true); }

void GetSystemTime(SYSTEMTIME* time) { WallClock(time, false); }
