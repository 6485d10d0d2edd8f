#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "platform/base/Clock.h"

namespace {

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetTimeScale(1.0); }
};

TEST_F(ClockTest, ScaledSleepAdvancesDeviceTicksByTheRequestedAmount)
{
    platform::SetTimeScale(1000.0);
    auto realStart = platform::RealClock::now();
    DWORD start = GetTickCount();
    Sleep(60000);  // one device minute
    DWORD elapsed = GetTickCount() - start;
    // At least the device minute passed, in at least its scaled real time;
    // how much longer a busy machine takes is not this test's concern.
    EXPECT_GE(elapsed, 60000u);
    EXPECT_GE(platform::RealClock::now() - realStart, platform::RealDuration(60000));
}

// A scale change applies from the moment of the change: the ticks neither go
// back nor jump by the new factor applied to the time before it. The ticks
// gained across the change are bounded by the real time measured around it
// (whatever it was) at the new scale, so a pre-empted test cannot fail.
TEST_F(ClockTest, ChangingTheScaleKeepsTheTickCountContinuous)
{
    // Some device time passes first (it starts with the first reading), so
    // that the factor applied to it would add tens of thousands of ticks.
    constexpr double kScale = 1000.0;
    GetTickCount();
    Sleep(50);
    auto realStart = platform::RealClock::now();
    DWORD before = GetTickCount();
    platform::SetTimeScale(kScale);
    DWORD after = GetTickCount();
    auto realSpent = std::chrono::duration<double, std::milli>(platform::RealClock::now() - realStart).count();
    auto gained = static_cast<std::int32_t>(after - before);
    EXPECT_GE(gained, 0);
    EXPECT_LE(gained, realSpent * kScale + 1.0);
}

TEST_F(ClockTest, RealDurationDividesByTheScale)
{
    platform::SetTimeScale(100.0);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(platform::RealDuration(5000)).count(), 50);
    platform::SetTimeScale(1.0);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(platform::RealDuration(5000)).count(), 5000);
}

TEST_F(ClockTest, OutOfRangeScalesAreClamped)
{
    platform::SetTimeScale(0.0);
    EXPECT_EQ(platform::TimeScale(), 1.0);
    platform::SetTimeScale(-5.0);
    EXPECT_EQ(platform::TimeScale(), 1.0);
    platform::SetTimeScale(1e12);
    EXPECT_LE(platform::TimeScale(), 1e6);
}

TEST_F(ClockTest, InfiniteDeadlineNeverExpires)
{
    EXPECT_EQ(platform::DeadlineAfter(INFINITE), platform::RealClock::time_point::max());
}

TEST(WallClock, LocalTimeIsAPlausibleDate)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2020);
    EXPECT_GE(now.wMonth, 1);
    EXPECT_LE(now.wMonth, 12);
    EXPECT_LE(now.wHour, 23);
    GetLocalTime(nullptr);  // tolerated
}

}  // namespace

TEST(TimeZone, BiasFollowsTheSystemZoneUntilOneIsSet)
{
    setenv("TZ", "UTC+2", 1);  // two hours behind UTC, no daylight time
    EXPECT_EQ(platform::TimeZoneBiasMinutes(), 120);
    platform::SetTimeZoneBiasMinutes(-330);
    EXPECT_EQ(platform::TimeZoneBiasMinutes(), -330);
    platform::SetTimeZoneBiasMinutes(std::nullopt);
    EXPECT_EQ(platform::TimeZoneBiasMinutes(), 120);
    unsetenv("TZ");
}
