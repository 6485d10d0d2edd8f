// Sound playback of the simulated device: PlaySoundW over SDL2 audio.
//
// The default audio output is opened on the first sound and kept open. A
// machine without one (no audio device, or SDL_AUDIODRIVER names a driver
// that cannot start) plays nothing and reports the sound as not played; it
// never stops the caller. Only WAV files named by path are played
// (SND_FILENAME); the file is read through the device's file layer and
// checked by SDL's WAV reader, so a damaged file is refused, never played.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

constexpr DWORD SND_SYNC = 0x00000000;
constexpr DWORD SND_ASYNC = 0x00000001;
constexpr DWORD SND_NODEFAULT = 0x00000002;
constexpr DWORD SND_FILENAME = 0x00020000;

// Plays the WAV file named by sound (with SND_FILENAME; module is ignored).
// A new sound replaces the one still playing, as on the device. SND_ASYNC
// returns once the sound is queued; without it the call returns when the
// sound has played. A null sound stops what is playing and returns TRUE.
// Returns FALSE for a missing, oversized or damaged file, for a sound not
// named by file, and when there is no audio output.
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);

namespace platform {

// Sounds handed to the audio output since the process started (tests and
// diagnostics).
std::int32_t SoundsStarted();

// Whether an audio output could be opened (opens it on the first call).
bool HasAudioOutput();

}  // namespace platform
