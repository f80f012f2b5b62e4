#include "base/MersenneTwister.h"
#include "platform/sound/ModuleDecoder.h"
#include "platform/sound/PcmStream.h"
#include "tests/media/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using soundtest::FmtChunk;
using soundtest::MakeWave;
using soundtest::Samples16;

class MusicFiles : public soundtest::SoundTest
{
};

// The streams the music modules play, as PcmStream::OpenFile tells them apart.
TEST_F(MusicFiles, StreamsByTheirFirstBytes)
{
    struct Case
    {
        const char* file;
        std::string data;
        int channels;
        uint32_t rate;
        int64_t frames;
    } cases[] = {
        {"a.ogg", soundtest::ReadFixture("tone_mono_22050.ogg"), 1, 22050, 11025},
        {"b.wav", MakeWave({{"fmt ", FmtChunk(2, 8000, 8)}, {"data", std::string("\x80\x80\xFF\x00", 4)}}), 2,
         8000, 2},
        {"mp3 named .ogg", soundtest::ReadFixture("tone_stereo_44100.mp3"), 2, 44100, -2},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<platform::PcmStream> stream =
            platform::PcmStream::OpenFile(soundtest::Write(mFolder + "stream", c.data));
        ASSERT_TRUE(stream) << c.file;
        EXPECT_EQ(stream->Channels(), c.channels) << c.file;
        EXPECT_EQ(stream->Rate(), c.rate) << c.file;
        std::vector<int16_t> samples;
        ASSERT_TRUE(stream->ReadAll(samples, 1 << 24)) << c.file;
        if (c.frames > 0)
        {
            EXPECT_EQ(int64_t(samples.size()), c.frames * c.channels) << c.file;
        }
    }
    // An 8-bit wave becomes 16-bit; an odd chunk is followed by its pad byte.
    std::unique_ptr<platform::PcmStream> wave = platform::PcmStream::OpenFile(
        soundtest::Write(mFolder + "w.wav", MakeWave({{"fmt ", FmtChunk(2, 8000, 8)},
                                                      {"LIST", std::string("odd\0", 4)},
                                                      {"data", std::string("\x80\x81\xFF\x00", 4)}})));
    ASSERT_TRUE(wave);
    int16_t out[4];
    ASSERT_EQ(wave->ReadFrames(out, 2), 2);
    EXPECT_EQ(std::vector<int16_t>(out, out + 4), (std::vector<int16_t>{0, 256, 32512, -32768}));
    EXPECT_FALSE(platform::PcmStream::OpenFile(soundtest::Write(mFolder + "t.txt", "plain text, no sound")));
}

// Every prefix and many corrupted copies of each stream and of a module: a decoder may refuse or
// decode, but never crashes, reads outside its data or decodes without end.
TEST_F(MusicFiles, HostileMusicFiles)
{
    struct Fixture
    {
        const char* name;
        std::string data;
        bool module;
    } fixtures[] = {
        {"f.wav", MakeWave({{"fmt ", FmtChunk(2, 22050, 16)}, {"data", Samples16({1, 2, 3, 4, 5, 6})}}),
         false},
        {"f.ogg", soundtest::ReadFixture("tone_mono_22050.ogg"), false},
        {"f.mp3", soundtest::ReadFixture("tone_stereo_44100.mp3"), false},
        {"f.mod", soundtest::MakeModule(8, 600), true},
    };
    Kavo::MersenneTwister random(11);
    for (const Fixture& f : fixtures)
    {
        const std::string path = mFolder + f.name;
        auto check = [&](const std::string& data)
        {
            soundtest::Write(path, data);
            if (f.module)
            {
                platform::ModuleDecoder module;
                if (!module.OpenFile(path)) return;
                int16_t buffer[2 * 4096];
                int64_t frames = 0;
                for (int n; frames < 44100 * 20 && (n = module.ReadFrames(buffer, 4096)) > 0;)
                    frames += n;
                return;
            }
            std::unique_ptr<platform::PcmStream> stream = platform::PcmStream::OpenFile(path);
            if (!stream) return;
            ASSERT_GE(stream->Channels(), 1);
            ASSERT_LE(stream->Channels(), 2);
            std::vector<int16_t> samples;
            stream->ReadAll(samples, 1 << 24);
        };
        soundtest::ForDamagedCopies(f.data, random, 150, check);
    }
}

} // namespace
