#include "ui/notify/NotificationThread.h"

#include <cstdint>

#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "platform/base/Device.h"
#include "platform/sound/Sound.h"

namespace {

class DeviceOutput : public NotificationOutput {
public:
    void PlayMessageSound() override
    {
        WideString path = MessageSoundPath();
        // A missing or damaged file only loses the sound.
        PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
    }
    int QueryVibrator(VIBRATEDEVICECAPS capability) override { return VibrateGetDeviceCaps(capability); }
    HRESULT StartVibrator(DWORD timeout) override { return Vibrate(0, nullptr, TRUE, timeout); }
    HRESULT StopVibrator() override { return VibrateStop(); }
    void Pause(DWORD milliseconds) override { Sleep(milliseconds); }
};

// One pulse. A vibrator that refuses a timed start is started without one
// and stopped after the on time; when that fails too the pulse is skipped
// without a pause.
void Pulse(NotificationOutput& output, bool last)
{
    if (SUCCEEDED(output.StartVibrator(kPulseOnMilliseconds))) {
        if (!last)
            output.Pause(kPulseOnMilliseconds + kPulseOffMilliseconds);
        return;
    }
    if (FAILED(output.StartVibrator(INFINITE)))
        return;
    output.Pause(kPulseOnMilliseconds);
    output.StopVibrator();
    if (!last)
        output.Pause(kPulseOffMilliseconds);
}

}  // namespace

WideString MessageSoundPath()
{
    return app::AppFolder() + u"Sounds" + kPathSeparator + u"Message.wav";
}

DWORD RunNotification(DWORD request, NotificationOutput& output)
{
    if ((request & kNotifySound) != 0)
        output.PlayMessageSound();
    if ((request & kNotifyVibrate) == 0)
        return 0;
    // The answers are not needed; asking wakes the vibration driver.
    output.QueryVibrator(VDC_AMPLITUDE);
    output.QueryVibrator(VDC_FREQUENCY);
    DWORD count = request >> kNotifyPulseShift;
    for (DWORD pulse = 1; pulse <= count; ++pulse)
        Pulse(output, pulse == count);
    return 0;
}

DWORD NotificationThreadProc(void* parameter)
{
    auto request = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
    DeviceOutput output;
    return RunNotification(request, output);
}
