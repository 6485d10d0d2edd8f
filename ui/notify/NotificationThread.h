// The new-message notification's thread: plays the message sound and pulses
// the vibrator as its request says, then ends.
//
// The request is one 32-bit value: bit 0 play the sound, bit 1 vibrate,
// bits 8-31 the number of vibration pulses. The thread reads nothing shared
// after it starts except the program folder, which names the sound file.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"
#include "platform/vibrator/Vibrator.h"

constexpr DWORD kNotifySound = 0x1;
constexpr DWORD kNotifyVibrate = 0x2;
constexpr DWORD kNotifyPulseShift = 8;

// A vibration pulse: on for 250 ms, then off for 250 ms before the next one.
constexpr DWORD kPulseOnMilliseconds = 250;
constexpr DWORD kPulseOffMilliseconds = 250;

// What a notification does to the device. The thread uses the device's sound
// and vibrator; tests record the calls instead.
class NotificationOutput {
public:
    virtual ~NotificationOutput() = default;
    virtual void PlayMessageSound() = 0;
    virtual int QueryVibrator(VIBRATEDEVICECAPS capability) = 0;
    // Starts the vibrator for timeout device ms (INFINITE: until stopped).
    virtual HRESULT StartVibrator(DWORD timeout) = 0;
    virtual HRESULT StopVibrator() = 0;
    virtual void Pause(DWORD milliseconds) = 0;
};

// Carries out one request on the given output. Returns 0 in every case.
DWORD RunNotification(DWORD request, NotificationOutput& output);

// The thread procedure: parameter is the request itself, not a pointer.
DWORD NotificationThreadProc(void* parameter);

// "Sounds/Message.wav" in the program folder, as a wide path.
WideString MessageSoundPath();
