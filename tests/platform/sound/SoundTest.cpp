// WAV playback: the shipped message sound, damaged files, and a machine
// without audio output. Runs on SDL's dummy output, which plays silently in
// real time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/base/WideString.h"
#include "platform/sound/Sound.h"
#include "platform/sound/WavClip.h"
#include "tests/common/TestSupport.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string U32(std::uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string U16(std::uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

// A PCM WAV file: 8-bit mono at 8000 Hz unless said otherwise.
std::string Wav(const std::string& samples, std::uint16_t format = 1, std::uint16_t channels = 1,
                std::uint32_t rate = 8000, std::uint16_t bits = 8, std::uint32_t dataLength = 0xFFFFFFFF)
{
    std::uint32_t length = dataLength == 0xFFFFFFFF ? static_cast<std::uint32_t>(samples.size()) : dataLength;
    std::uint16_t block = static_cast<std::uint16_t>(channels * bits / 8);
    std::string fmt = U16(format) + U16(channels) + U32(rate) + U32(rate * block) + U16(block) + U16(bits);
    std::string body = "WAVEfmt " + U32(static_cast<std::uint32_t>(fmt.size())) + fmt + "data" + U32(length) + samples;
    return "RIFF" + U32(static_cast<std::uint32_t>(body.size())) + body;
}

BOOL Play(const std::string& path, DWORD flags = SND_FILENAME | SND_ASYNC)
{
    return PlaySoundW(platform::Utf8ToWide(path).c_str(), nullptr, flags);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(m_temp.Ok());
    }
    void TearDown() override
    {
    }
    testsupport::TempFolder m_temp{"corvane-sound"};
    const std::string m_folder = m_temp.Path();
};

TEST_F(SoundTest, ShippedMessageSoundIsAShortMonoChime)
{
    std::string path = testsupport::SourcePath("assets/Sounds/Message.wav");
    platform::WavClip clip;
    ASSERT_TRUE(platform::LoadWavFile(path, clip));
    EXPECT_EQ(clip.layout.channels, 1);
    EXPECT_EQ(clip.layout.format, AUDIO_S16LSB);
    double seconds = static_cast<double>(clip.samples.size()) / 2.0 / clip.layout.freq;
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 1.0);

    std::int32_t before = platform::SoundsStarted();
    EXPECT_EQ(Play(path), TRUE);
    EXPECT_EQ(platform::SoundsStarted(), before + 1);
}

TEST_F(SoundTest, SynchronousPlayReturnsOnceTheSoundHasPlayed)
{
    std::string path = m_folder + "/short.wav";
    WriteFile(path, Wav(std::string(80, '\x80')));  // 10 ms of silence
    EXPECT_EQ(Play(path, SND_FILENAME | SND_SYNC), TRUE);
    EXPECT_EQ(PlaySoundW(nullptr, nullptr, 0), TRUE);  // stopping is always possible
}

TEST_F(SoundTest, DamagedOrForeignFilesAreRefusedWithoutPlaying)
{
    std::string good = Wav(std::string(800, '\x80'));
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"not a RIFF file", "hello, this is not audio at all"},
        {"cut inside the header", good.substr(0, 30)},
        {"no channels", Wav(std::string(800, '\x80'), 1, 0)},
        {"zero sample rate", Wav(std::string(800, '\x80'), 1, 1, 0)},
        {"unknown encoding", Wav(std::string(800, '\x80'), 0x1234)},
        {"absurd bit depth", Wav(std::string(800, '\x80'), 1, 1, 8000, 3)},
        {"too large to hold", Wav(std::string(platform::kMaxWavBytes, '\x80'))},
    };
    std::int32_t before = platform::SoundsStarted();
    for (const Case& c : cases) {
        std::string path = m_folder + "/bad.wav";
        WriteFile(path, c.bytes);
        EXPECT_EQ(Play(path), FALSE) << c.name;
    }
    EXPECT_EQ(Play(m_folder + "/missing.wav"), FALSE);
    EXPECT_EQ(PlaySoundW(u"SystemAsterisk", nullptr, SND_ASYNC), FALSE) << "only files are played";
    EXPECT_EQ(platform::SoundsStarted(), before);
}

TEST_F(SoundTest, DataLengthBeyondTheFileIsNotReadPastTheEnd)
{
    // SDL accepts a data chunk that claims more than the file holds and plays
    // what is there; it must never read beyond the bytes it was given.
    std::string path = m_folder + "/long-claim.wav";
    WriteFile(path, Wav(std::string(400, '\x80'), 1, 1, 8000, 8, 4000));
    BOOL played = Play(path);
    EXPECT_TRUE(played == TRUE || played == FALSE);
    // A claim longer than any file that is read is refused before SDL sees
    // it: SDL would set aside the claimed length first.
    platform::WavClip clip;
    EXPECT_FALSE(platform::DecodeWav(Wav(std::string(400, '\x80'), 1, 1, 8000, 8, 0x7FFFFFF0), clip));
    EXPECT_TRUE(platform::DecodeWav(Wav(std::string(400, '\x80')), clip));
}

TEST(SoundWithoutOutputTest, PlaysNothingAndReportsIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // In a fresh process, so the output is opened under this driver setting.
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "none", 1);
            std::string path = testsupport::SourcePath("assets/Sounds/Message.wav");
            bool refused = !platform::HasAudioOutput() && Play(path) == FALSE && platform::SoundsStarted() == 0;
            std::exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
