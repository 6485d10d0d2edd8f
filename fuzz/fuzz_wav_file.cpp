// Arbitrary bytes as a notification sound: decoded as a WAV file and, when
// accepted, converted to the output format the device opens. Nothing is
// read or written outside the buffers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sound/WavClip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::WavClip clip;
    if (!platform::DecodeWav(std::string(reinterpret_cast<const char*>(data), size), clip))
        return 0;
    AudioLayout output{};
    output.freq = 22050;
    output.format = AUDIO_S16SYS;
    output.channels = 1;
    (void)platform::ConvertWav(clip, output);
    return 0;
}
