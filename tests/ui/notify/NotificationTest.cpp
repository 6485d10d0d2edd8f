// The new-message notification: the request built from the options, the
// sound and pulse pattern its thread plays, and the thread on the device.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/sound/Sound.h"
#include "platform/vibrator/Vibrator.h"
#include "tests/common/TestSupport.h"
#include "ui/notify/NotificationThread.h"
#include "ui/notify/NotifyIncoming.h"

namespace {

// Writes each call as one word so a test compares the whole sequence.
class RecordingOutput : public NotificationOutput {
public:
    bool timedWorks = true;
    bool untimedWorks = true;
    std::vector<std::string> calls;

    void PlayMessageSound() override { calls.push_back("sound"); }
    int QueryVibrator(VIBRATEDEVICECAPS capability) override
    {
        calls.push_back(capability == VDC_AMPLITUDE ? "caps-amplitude" : "caps-frequency");
        return 1;
    }
    HRESULT StartVibrator(DWORD timeout) override
    {
        bool timed = timeout != INFINITE;
        calls.push_back(timed ? "on-" + std::to_string(timeout) : "on");
        return (timed ? timedWorks : untimedWorks) ? S_OK : E_FAIL;
    }
    HRESULT StopVibrator() override
    {
        calls.push_back("off");
        return S_OK;
    }
    void Pause(DWORD milliseconds) override { calls.push_back("pause-" + std::to_string(milliseconds)); }
};

using Calls = std::vector<std::string>;

TEST(NotificationRequestTest, CarriesFlagsAndPulseCount)
{
    struct Case {
        const char* name;
        bool sound;
        bool vibro;
        std::int32_t count;
        DWORD request;
    } cases[] = {
        {"both off", false, false, 5, 0},
        {"defaults", true, true, 5, 0x503},
        {"sound only keeps the count", true, false, 5, 0x501},
        {"vibration without pulses", false, true, 0, 0x002},
        {"negative count", true, true, -4, 0x003},
        {"count beyond 24 bits", false, true, 0x7FFFFFFF, 0xFFFFFF02},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NotificationRequest(c.sound, c.vibro, c.count), c.request) << c.name;
}

TEST(NotificationThreadTest, PlaysTheSoundAndPulsesAsRequested)
{
    struct Case {
        const char* name;
        DWORD request;
        bool timedWorks;
        bool untimedWorks;
        Calls expected;
    } cases[] = {
        {"sound only", 0x501, true, true, {"sound"}},
        {"vibrate with no pulses", 0x002, true, true, {"caps-amplitude", "caps-frequency"}},
        {"three timed pulses, no pause after the last",
         0x303,
         true,
         true,
         {"sound", "caps-amplitude", "caps-frequency", "on-250", "pause-500", "on-250", "pause-500", "on-250"}},
        {"timeout refused: on, wait, off",
         0x202,
         false,
         true,
         {"caps-amplitude", "caps-frequency", "on-250", "on", "pause-250", "off", "pause-250", "on-250", "on",
          "pause-250", "off"}},
        {"no vibrator: pulses skipped without pauses",
         0x302,
         false,
         false,
         {"caps-amplitude", "caps-frequency", "on-250", "on", "on-250", "on", "on-250", "on"}},
    };
    for (const Case& c : cases) {
        RecordingOutput output;
        output.timedWorks = c.timedWorks;
        output.untimedWorks = c.untimedWorks;
        EXPECT_EQ(RunNotification(c.request, output), 0u) << c.name;
        EXPECT_EQ(output.calls, c.expected) << c.name;
    }
}

class NotifyIncomingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetTimeScale(1000);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(m_temp.Ok());
        app::SetAppFolder(platform::Utf8ToWide(m_root + "/"));
        platform::SetVibratorKind(platform::VibratorKind::Full);
        platform::ResetVibratorActivity();
        m_core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        m_settings = m_core->GetSettings();
        m_settings->EnsureLoaded();  // no file: the defaults
    }
    void TearDown() override
    {
    }

    // Waits (device time, bounded) until the vibrator saw the pulses.
    static platform::VibratorActivity WaitForPulses(std::int32_t pulses)
    {
        for (int i = 0; i < 2000 && platform::GetVibratorActivity().pulses < pulses; ++i)
            Sleep(100);
        Sleep(2000);  // anything more would come within a pulse period
        return platform::GetVibratorActivity();
    }

    testsupport::TempFolder m_temp{"corvane-notify"};
    const std::string m_root = m_temp.Path();
    RefPtr<AppCore> m_core;
    RefPtr<Settings> m_settings;
};

TEST_F(NotifyIncomingTest, NothingStartsWhenSoundAndVibrationAreOff)
{
    m_settings->sound = false;
    m_settings->vibro = false;
    EXPECT_FALSE(NotifyIncoming(*m_core));
    Sleep(1000);
    EXPECT_EQ(platform::GetVibratorActivity().capabilityQueries, 0);
}

TEST_F(NotifyIncomingTest, ThreadPulsesTheDeviceVibratorFromTheSettings)
{
    m_settings->sound = false;
    m_settings->vibro = true;
    m_settings->vibroCount = 3;
    ASSERT_TRUE(NotifyIncoming(*m_core));
    platform::VibratorActivity activity = WaitForPulses(3);
    EXPECT_EQ(activity.pulses, 3);
    EXPECT_EQ(activity.capabilityQueries, 2);
    EXPECT_EQ(activity.stops, 0);
}

TEST_F(NotifyIncomingTest, VibratorWithoutTimeoutIsStoppedAfterEachPulse)
{
    platform::SetVibratorKind(platform::VibratorKind::UntimedOnly);
    m_settings->sound = false;
    m_settings->vibroCount = 2;
    ASSERT_TRUE(NotifyIncoming(*m_settings));
    platform::VibratorActivity activity = WaitForPulses(2);
    EXPECT_EQ(activity.pulses, 2);
    EXPECT_EQ(activity.refused, 2);
    EXPECT_EQ(activity.stops, 2);
    EXPECT_FALSE(platform::IsVibrating());
}

TEST_F(NotifyIncomingTest, SoundPlaysFromTheProgramFolderAndAMissingFileLosesOnlyTheSound)
{
    m_settings->sound = true;
    m_settings->vibroCount = 1;
    std::int32_t sounds = platform::SoundsStarted();
    ASSERT_TRUE(NotifyIncoming(*m_core));
    EXPECT_EQ(WaitForPulses(1).pulses, 1);
    EXPECT_EQ(platform::SoundsStarted(), sounds);

    std::string source = testsupport::SourcePath("assets/Sounds/Message.wav");
    std::string copy = "mkdir -p '" + m_root + "/Sounds' && cp '" + source + "' '" + m_root + "/Sounds/'";
    ASSERT_EQ(std::system(copy.c_str()), 0);
    EXPECT_EQ(MessageSoundPath(), platform::Utf8ToWide(m_root + "/Sounds/Message.wav"));
    ASSERT_TRUE(NotifyIncoming(*m_core));
    EXPECT_EQ(WaitForPulses(2).pulses, 2);
    EXPECT_EQ(platform::SoundsStarted(), sounds + 1);
}

}  // namespace
