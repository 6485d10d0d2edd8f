#include "platform/vibrator/Vibrator.h"

#include <cstdio>
#include <mutex>

#include "platform/base/Clock.h"

namespace platform {
namespace {

// Amplitude and frequency levels the simulated motor reports.
constexpr int kAmplitudeLevels = 7;
constexpr int kFrequencyLevels = 1;

struct VibratorState {
    std::mutex lock;
    VibratorKind kind = VibratorKind::Full;
    VibratorActivity activity;
    bool running = false;
    bool timed = false;
    DWORD startTick = 0;
    DWORD duration = 0;
};

VibratorState& State()
{
    static auto* state = new VibratorState;  // never destroyed: threads may vibrate at exit
    return *state;
}

// A timed pulse that has run its time no longer counts as running.
bool RunningNow(const VibratorState& state)
{
    if (!state.running)
        return false;
    return !state.timed || GetTickCount() - state.startTick < state.duration;
}

}  // namespace

void SetVibratorKind(VibratorKind kind)
{
    VibratorState& state = State();
    std::lock_guard guard(state.lock);
    state.kind = kind;
    state.running = false;
}

VibratorActivity GetVibratorActivity()
{
    VibratorState& state = State();
    std::lock_guard guard(state.lock);
    return state.activity;
}

void ResetVibratorActivity()
{
    VibratorState& state = State();
    std::lock_guard guard(state.lock);
    state.activity = {};
}

bool IsVibrating()
{
    VibratorState& state = State();
    std::lock_guard guard(state.lock);
    return RunningNow(state);
}

}  // namespace platform

HRESULT Vibrate(DWORD /*noteCount*/, const VIBRATENOTE* /*notes*/, BOOL /*repeat*/, DWORD timeout)
{
    platform::VibratorState& state = platform::State();
    std::lock_guard guard(state.lock);
    bool timed = timeout != INFINITE;
    if (state.kind == platform::VibratorKind::None || (timed && state.kind == platform::VibratorKind::UntimedOnly)) {
        ++state.activity.refused;
        return E_FAIL;
    }
    ++state.activity.pulses;
    state.running = true;
    state.timed = timed;
    state.startTick = GetTickCount();
    state.duration = timeout;
    if (timed)
        std::fprintf(stderr, "vibrator: pulse of %u ms\n", static_cast<unsigned>(timeout));
    else
        std::fprintf(stderr, "vibrator: pulse until stopped\n");
    return S_OK;
}

HRESULT VibrateStop()
{
    platform::VibratorState& state = platform::State();
    std::lock_guard guard(state.lock);
    if (state.kind == platform::VibratorKind::None)
        return E_FAIL;
    ++state.activity.stops;
    state.running = false;
    return S_OK;
}

int VibrateGetDeviceCaps(VIBRATEDEVICECAPS capability)
{
    platform::VibratorState& state = platform::State();
    std::lock_guard guard(state.lock);
    ++state.activity.capabilityQueries;
    if (state.kind == platform::VibratorKind::None)
        return 0;
    switch (capability) {
    case VDC_AMPLITUDE:
        return platform::kAmplitudeLevels;
    case VDC_FREQUENCY:
        return platform::kFrequencyLevels;
    default:
        return 0;
    }
}
