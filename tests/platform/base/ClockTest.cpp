#include <gtest/gtest.h>

#include <chrono>

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
    auto real = platform::RealClock::now() - realStart;
    EXPECT_GE(elapsed, 60000u);
    // A minute of device time must not take a real minute.
    EXPECT_LT(real, std::chrono::seconds(30));
}

TEST_F(ClockTest, ChangingTheScaleKeepsTheTickCountContinuous)
{
    DWORD before = GetTickCount();
    platform::SetTimeScale(1e6);
    DWORD after = GetTickCount();
    // No jump backwards and no jump by the new factor applied to past time.
    EXPECT_GE(after, before);
    EXPECT_LT(after - before, 1000000u);
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
