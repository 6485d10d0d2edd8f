// The simulated vibrator: what each kind of device accepts, and when a pulse
// counts as running.
#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/vibrator/Vibrator.h"

namespace {

class VibratorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetTimeScale(1000);
        platform::ResetVibratorActivity();
    }
    void TearDown() override { platform::SetVibratorKind(platform::VibratorKind::Full); }
};

TEST_F(VibratorTest, EachKindAcceptsWhatItCan)
{
    struct Case {
        const char* name;
        platform::VibratorKind kind;
        HRESULT timed;
        HRESULT untimed;
        HRESULT stop;
        int amplitudeLevels;
    } cases[] = {
        {"full", platform::VibratorKind::Full, S_OK, S_OK, S_OK, 7},
        {"untimed only", platform::VibratorKind::UntimedOnly, E_FAIL, S_OK, S_OK, 7},
        {"none", platform::VibratorKind::None, E_FAIL, E_FAIL, E_FAIL, 0},
    };
    for (const Case& c : cases) {
        platform::SetVibratorKind(c.kind);
        platform::ResetVibratorActivity();
        EXPECT_EQ(Vibrate(0, nullptr, TRUE, 250), c.timed) << c.name;
        EXPECT_EQ(Vibrate(0, nullptr, TRUE, INFINITE), c.untimed) << c.name;
        EXPECT_EQ(VibrateStop(), c.stop) << c.name;
        EXPECT_EQ(VibrateGetDeviceCaps(VDC_AMPLITUDE), c.amplitudeLevels) << c.name;
        EXPECT_EQ(VibrateGetDeviceCaps(VDC_LAST), 0) << c.name;
        platform::VibratorActivity activity = platform::GetVibratorActivity();
        EXPECT_EQ(activity.pulses + activity.refused, 2) << c.name;
        EXPECT_EQ(activity.pulses, (c.timed == S_OK) + (c.untimed == S_OK)) << c.name;
        EXPECT_EQ(activity.capabilityQueries, 2) << c.name;
    }
}

TEST_F(VibratorTest, TimedPulseEndsByItselfAndUntimedRunsUntilStopped)
{
    ASSERT_EQ(Vibrate(0, nullptr, TRUE, 250), S_OK);
    Sleep(300);
    EXPECT_FALSE(platform::IsVibrating());

    ASSERT_EQ(Vibrate(0, nullptr, TRUE, INFINITE), S_OK);
    Sleep(5000);
    EXPECT_TRUE(platform::IsVibrating());
    ASSERT_EQ(VibrateStop(), S_OK);
    EXPECT_FALSE(platform::IsVibrating());
}

}  // namespace
