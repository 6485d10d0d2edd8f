#include "platform/sound/Sound.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/base/WideString.h"
#include "platform/sound/WavClip.h"

namespace platform {
namespace {

// The one audio output of the process. Opened on first use and never
// closed: the audio thread of SDL ends with the process.
struct AudioOutput {
    std::mutex lock;
    bool tried = false;
    SDL_AudioDeviceID device = 0;
    AudioLayout layout{};
};

AudioOutput& Output()
{
    static auto* output = new AudioOutput;  // never destroyed: threads may play at exit
    return *output;
}

std::atomic<std::int32_t>& StartedCount()
{
    static std::atomic<std::int32_t> count{0};
    return count;
}

// Opens the default output once; the caller holds the lock. The output takes
// queued 16-bit samples; SDL may choose another rate or channel count.
bool EnsureOpen(AudioOutput& output)
{
    if (output.tried)
        return output.device != 0;
    output.tried = true;
    // The program watches SIGINT and SIGTERM itself; SDL must not take them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "sound: no audio output (%s)\n", SDL_GetError());
        return false;
    }
    AudioLayout wanted{};
    wanted.freq = 22050;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 1024;
    output.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &output.layout,
                                        SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (output.device == 0) {
        std::fprintf(stderr, "sound: no audio output (%s)\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(output.device, 0);
    return true;
}

// The device and its format, opening it when needed; 0 without output.
SDL_AudioDeviceID OpenOutput(AudioLayout& layout)
{
    AudioOutput& output = Output();
    std::lock_guard guard(output.lock);
    if (!EnsureOpen(output))
        return 0;
    layout = output.layout;
    return output.device;
}

// Real time the clip takes to play, with a second of slack for the device's
// own buffer.
std::chrono::milliseconds PlayingTime(const WavClip& clip)
{
    std::size_t frameBytes = SDL_AUDIO_BITSIZE(clip.layout.format) / 8u * clip.layout.channels;
    std::size_t rate = clip.layout.freq > 0 ? static_cast<std::size_t>(clip.layout.freq) : 1u;
    std::size_t frames = frameBytes == 0 ? 0 : clip.samples.size() / frameBytes;
    return std::chrono::milliseconds(frames * 1000u / rate + 1000u);
}

void WaitUntilPlayed(SDL_AudioDeviceID device, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (SDL_GetQueuedAudioSize(device) > 0 && std::chrono::steady_clock::now() < deadline)
        SDL_Delay(5);
}

void StopPlaying()
{
    AudioOutput& output = Output();
    std::lock_guard guard(output.lock);
    if (output.device != 0)
        SDL_ClearQueuedAudio(output.device);
}

bool Play(const std::string& path, DWORD flags)
{
    WavClip clip;
    if (!LoadWavFile(path, clip))
        return false;
    AudioLayout layout{};
    SDL_AudioDeviceID device = OpenOutput(layout);
    if (device == 0 || !ConvertWav(clip, layout))
        return false;
    {
        AudioOutput& output = Output();
        std::lock_guard guard(output.lock);
        SDL_ClearQueuedAudio(device);  // a new sound replaces the one playing
        if (SDL_QueueAudio(device, clip.samples.data(), static_cast<Uint32>(clip.samples.size())) != 0)
            return false;
    }
    StartedCount().fetch_add(1);
    if ((flags & SND_ASYNC) == 0)
        WaitUntilPlayed(device, PlayingTime(clip));
    return true;
}

}  // namespace

std::int32_t SoundsStarted() { return StartedCount().load(); }

bool HasAudioOutput()
{
    AudioLayout layout{};
    return OpenOutput(layout) != 0;
}

}  // namespace platform

BOOL PlaySoundW(LPCWSTR sound, HMODULE /*module*/, DWORD flags)
{
    if (sound == nullptr) {
        platform::StopPlaying();
        return TRUE;
    }
    if ((flags & SND_FILENAME) == 0)
        return FALSE;  // resources and system aliases do not exist here
    std::string path = platform::WideToUtf8(std::u16string_view(sound, platform::WideLength(sound)));
    return platform::Play(path, flags) ? TRUE : FALSE;
}
