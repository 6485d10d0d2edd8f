// A WAV file decoded and converted to the format of the audio output.
// Internal to platform/sound.
#pragma once

#include <SDL2/SDL_audio.h>

#include <cstdint>
#include <string>
#include <vector>

// SDL's description of a sample stream: format, channels and rate.
using AudioLayout = SDL_AudioSpec;

namespace platform {

// Larger files are refused: a notification sound is a few kilobytes, and the
// whole file is held in memory while it is decoded.
constexpr std::size_t kMaxWavBytes = 4u * 1024u * 1024u;

struct WavClip {
    AudioLayout layout{};              // format of the file
    std::vector<std::uint8_t> samples;  // PCM as the file holds it
};

// Decodes the bytes of a WAV file with SDL's checked reader. False for
// anything SDL does not accept as a WAV file.
bool DecodeWav(const std::string& bytes, WavClip& clip);

// Converts the clip's samples in place to the given output format. False
// when SDL has no conversion between the two formats.
bool ConvertWav(WavClip& clip, const AudioLayout& output);

// Reads and decodes a WAV file of the device (shared read, at most
// kMaxWavBytes). False when it is missing, too large or not a WAV file.
bool LoadWavFile(const std::string& path, WavClip& clip);

}  // namespace platform
