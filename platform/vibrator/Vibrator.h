// The phone's vibrator, with the calls and shapes of the shell library's
// vibration functions (ordinals 2015 start, 2016 stop, 2017 capabilities).
//
// The simulated device has no motor: each started pulse is written to
// standard error as one line and counted, and the display may show the
// vibrator while it runs. Tests choose what kind of vibrator the device has.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// One step of a vibration pattern. The program starts the vibrator without
// notes; a pattern given here is accepted and not played note by note.
struct VIBRATENOTE {
    BYTE bAmplitude = 0;
    BYTE bFrequency = 0;
    WORD wDuration = 0;
};

enum VIBRATEDEVICECAPS { VDC_AMPLITUDE = 0, VDC_FREQUENCY = 1, VDC_LAST = 2 };

// Starts the vibrator. With a timeout other than INFINITE it stops by itself
// after that many device milliseconds; with INFINITE it runs until
// VibrateStop. Returns S_OK, or E_FAIL when the device cannot do it.
HRESULT Vibrate(DWORD noteCount, const VIBRATENOTE* notes, BOOL repeat, DWORD timeout);

// Stops the vibrator. S_OK, or E_FAIL without a vibrator.
HRESULT VibrateStop();

// The number of levels the vibrator offers for amplitude or frequency; 0
// without a vibrator or for an unknown capability.
int VibrateGetDeviceCaps(VIBRATEDEVICECAPS capability);

namespace platform {

enum class VibratorKind {
    Full,          // timed and untimed pulses
    UntimedOnly,   // refuses a timeout: callers must stop it themselves
    None,          // no vibrator: every call fails
};

// The device's vibrator (Full unless a test changes it).
void SetVibratorKind(VibratorKind kind);

struct VibratorActivity {
    std::int32_t pulses = 0;             // successful starts
    std::int32_t refused = 0;            // starts that failed
    std::int32_t stops = 0;              // successful stops
    std::int32_t capabilityQueries = 0;  // calls of VibrateGetDeviceCaps
};

// What the vibrator was asked to do since the process started or the last
// reset.
VibratorActivity GetVibratorActivity();
void ResetVibratorActivity();

// Whether the vibrator runs now (a timed pulse runs until its device time
// is up).
bool IsVibrating();

}  // namespace platform
