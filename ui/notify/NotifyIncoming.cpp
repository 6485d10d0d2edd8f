#include "ui/notify/NotifyIncoming.h"

#include <cstdint>

#include "app/AppCore.h"
#include "app/Settings.h"
#include "platform/sync/DetachedThread.h"
#include "platform/sync/Sync.h"
#include "ui/notify/NotificationThread.h"

namespace {

constexpr std::int32_t kMaxPulses = 0xFFFFFF;  // what bits 8-31 can hold

}  // namespace

DWORD NotificationRequest(bool sound, bool vibro, std::int32_t vibroCount)
{
    DWORD flags = (sound ? kNotifySound : 0) | (vibro ? kNotifyVibrate : 0);
    if (flags == 0)
        return 0;
    std::int32_t pulses = vibroCount < 0 ? 0 : vibroCount > kMaxPulses ? kMaxPulses : vibroCount;
    return (static_cast<DWORD>(pulses) << kNotifyPulseShift) | flags;
}

bool StartNotification(DWORD request)
{
    if (request == 0)
        return false;
    void* parameter = reinterpret_cast<void*>(static_cast<std::uintptr_t>(request));
    return platform::StartDetachedThread([parameter] { NotificationThreadProc(parameter); });
}

bool NotifyIncoming(Settings& settings)
{
    settings.EnsureLoaded();
    return StartNotification(NotificationRequest(settings.sound, settings.vibro, settings.vibroCount));
}

bool NotifyIncoming(AppCore& core)
{
    RefPtr<Settings> settings = core.GetSettings();
    if (!settings)
        return false;
    settings->EnsureLoaded();
    DWORD request = 0;
    {
        // The core's lock guards the settings against a concurrent change.
        platform::CriticalSectionLock guard(core.Lock());
        request = NotificationRequest(settings->sound, settings->vibro, settings->vibroCount);
    }
    return StartNotification(request);
}
