#include "platform/sound/WavClip.h"

#include <SDL2/SDL_rwops.h>

#include <cstring>
#include <limits>

#include "platform/file/File.h"

namespace platform {

namespace {

std::uint32_t ReadU32(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

// SDL allocates a chunk's declared length before it reads the chunk, so a
// few bytes claiming gigabytes would cost that much memory. No chunk of a
// file that is read can be longer than the largest file read; such a claim
// is refused. Shorter claims beyond the end (a cut file) are left to SDL,
// which plays what is there.
bool ChunkLengthsFit(const std::string& bytes)
{
    // Chunks follow the RIFF header ("RIFF", length, "WAVE"); SDL also takes a
    // file that starts at "WAVE" without it.
    constexpr std::size_t kRiffHeader = 12;
    constexpr std::size_t kWaveTag = 4;
    constexpr std::size_t kChunkHeader = 8;
    std::size_t at = bytes.compare(0, kWaveTag, "WAVE") == 0 ? kWaveTag : kRiffHeader;
    while (at + kChunkHeader <= bytes.size()) {
        std::uint32_t length = ReadU32(bytes, at + 4);
        if (length > kMaxWavBytes)
            return false;
        at += kChunkHeader + length + (length & 1);  // chunks are padded to even lengths
    }
    return true;
}

void TakeLayout(WavClip& clip, const AudioLayout& output)
{
    clip.layout.format = output.format;
    clip.layout.channels = output.channels;
    clip.layout.freq = output.freq;
}

}  // namespace

bool DecodeWav(const std::string& bytes, WavClip& clip)
{
    if (bytes.empty() || bytes.size() > kMaxWavBytes || !ChunkLengthsFit(bytes))
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
    if (clip.samples.empty()) {
        // A file whose data chunk held no whole frame: nothing to convert.
        TakeLayout(clip, output);
        return true;
    }
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
    TakeLayout(clip, output);
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
