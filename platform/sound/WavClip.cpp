#include "platform/sound/WavClip.h"

#include <SDL2/SDL_rwops.h>

#include <cstring>
#include <limits>

#include "platform/file/File.h"

namespace platform {

bool DecodeWav(const std::string& bytes, WavClip& clip)
{
    if (bytes.empty() || bytes.size() > kMaxWavBytes)
        return false;
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr)
        return false;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    // freesrc = 1: SDL closes the stream whether or not the file is accepted.
    if (SDL_LoadWAV_RW(stream, 1, &clip.layout, &buffer, &length) == nullptr)
        return false;
    clip.samples.assign(buffer, buffer + length);
    SDL_FreeWAV(buffer);
    return true;
}

bool ConvertWav(WavClip& clip, const AudioLayout& output)
{
    SDL_AudioCVT convert;
    int built = SDL_BuildAudioCVT(&convert, clip.layout.format, clip.layout.channels, static_cast<int>(clip.layout.freq),
                                  output.format, output.channels, output.freq);
    if (built < 0)
        return false;
    if (built == 0)
        return true;  // already in the output format
    // SDL converts in place in a buffer len_mult times the input size.
    std::size_t length = clip.samples.size();
    auto multiple = static_cast<std::size_t>(convert.len_mult);
    if (multiple == 0 || length > static_cast<std::size_t>(std::numeric_limits<int>::max()) / multiple)
        return false;
    std::vector<std::uint8_t> work(length * multiple);
    std::memcpy(work.data(), clip.samples.data(), length);
    convert.buf = work.data();
    convert.len = static_cast<int>(length);
    if (SDL_ConvertAudio(&convert) != 0 || convert.len_cvt < 0 ||
        static_cast<std::size_t>(convert.len_cvt) > work.size())
        return false;
    work.resize(static_cast<std::size_t>(convert.len_cvt));
    clip.samples = std::move(work);
    clip.layout.format = output.format;
    clip.layout.channels = output.channels;
    clip.layout.freq = output.freq;
    return true;
}

bool LoadWavFile(const std::string& path, WavClip& clip)
{
    std::string bytes;
    // One byte more than allowed tells an oversized file from one that fits.
    if (!ReadWholeFile(path, FileShare::Read, bytes, kMaxWavBytes + 1))
        return false;
    return DecodeWav(bytes, clip);
}

}  // namespace platform
