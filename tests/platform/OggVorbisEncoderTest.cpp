#include "platform/sound/OggVorbisEncoder.h"
#include "platform/files/Files.h"
#include "platform/sound/VorbisDecoder.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{

// frames x channels of a tone per channel at half scale: 440 Hz, 660 Hz.
std::vector<float> Tones(int64_t frames, int channels)
{
    std::vector<float> samples(size_t(frames * channels));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)] =
                0.5f * float(std::sin(2 * M_PI * (440 + 220 * c) * i / 44100.0));
    return samples;
}

struct Decoded
{
    int channels = 0;
    uint32_t rate = 0;
    int64_t declaredFrames = 0; // what the granule positions say
    std::vector<int16_t> samples;
};

// Reads a stream back through the game's decoder, by way of a scratch file.
Decoded Decode(const std::string& stream)
{
    std::string path = scratch::FreshFolder("vorbis-") + "stream.ogg";
    EXPECT_TRUE(platform::WriteFileAtomically(path, stream));
    platform::VorbisDecoder decoder;
    Decoded decoded;
    if (!decoder.OpenFile(path.c_str())) return decoded;
    decoded.channels = decoder.Channels();
    decoded.rate = decoder.Rate();
    decoded.declaredFrames = decoder.PcmTotal();
    EXPECT_TRUE(decoder.ReadAll(decoded.samples, uint64_t(1) << 28));
    return decoded;
}

// The largest difference between the decoded samples and the source over frames [from, to).
double LargestError(const std::vector<float>& source, const Decoded& decoded, int64_t from, int64_t to)
{
    double worst = 0;
    for (int64_t i = from * decoded.channels; i < to * decoded.channels; ++i)
        worst = std::max(worst, std::abs(source[size_t(i)] - decoded.samples[size_t(i)] / 32768.0));
    return worst;
}

TEST(OggVorbisEncoder, DecodesToExactlyTheEncodedFramesCloseToTheSourceUpToBothEnds)
{
    for (int channels : {1, 2})
    {
        SCOPED_TRACE(channels);
        const int64_t frames = 3 * 44100 + 12345; // not a whole number of encoder blocks
        std::vector<float> source = Tones(frames, channels);
        std::string stream;
        ASSERT_TRUE(platform::EncodeOggVorbis(source.data(), frames, {channels, 44100, 0.4f, 7}, stream));

        Decoded decoded = Decode(stream);
        EXPECT_EQ(decoded.channels, channels);
        EXPECT_EQ(decoded.rate, 44100u);
        EXPECT_EQ(decoded.declaredFrames, frames);
        ASSERT_EQ(int64_t(decoded.samples.size()), frames * channels);
        // A looping track depends on its first and last samples coming back in place.
        EXPECT_LT(LargestError(source, decoded, 0, 64), 0.05);
        EXPECT_LT(LargestError(source, decoded, frames / 2, frames / 2 + 4096), 0.05);
        EXPECT_LT(LargestError(source, decoded, frames - 64, frames), 0.05);
    }
}

TEST(OggVorbisEncoder, ALoopEndsWhereItShouldAndIsCodedKnowingItsStartFollows)
{
    // Whole periods of both tones, so the source runs on seamlessly from its end into its start.
    const int64_t frames = 3 * 44100;
    std::vector<float> source(size_t(frames * 2));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
            source[size_t(i * 2 + c)] = float(0.4 * std::sin(2 * M_PI * 110 * i / 44100.0 + c) +
                                              0.2 * std::sin(2 * M_PI * 441 * i / 44100.0));
    double endError[2];
    for (bool loop : {false, true})
    {
        std::string stream;
        ASSERT_TRUE(platform::EncodeOggVorbis(source.data(), frames, {2, 44100, 0.4f, 5, loop}, stream));
        Decoded decoded = Decode(stream);
        ASSERT_EQ(decoded.declaredFrames, frames);
        ASSERT_EQ(int64_t(decoded.samples.size()), frames * 2);
        endError[loop] = LargestError(source, decoded, frames - 256, frames);
    }
    EXPECT_LT(endError[true], endError[false] * 0.6);
}

TEST(OggVorbisEncoder, EqualInputGivesEqualStreams)
{
    std::vector<float> source = Tones(20000, 2);
    std::string first, second;
    ASSERT_TRUE(platform::EncodeOggVorbis(source.data(), 20000, {}, first));
    ASSERT_TRUE(platform::EncodeOggVorbis(source.data(), 20000, {}, second));
    EXPECT_EQ(first, second);
}

TEST(OggVorbisEncoder, RefusesMoreThanTwoChannels)
{
    std::vector<float> source = Tones(20000, 3);
    std::string stream;
    EXPECT_FALSE(platform::EncodeOggVorbis(source.data(), 20000, {3, 44100, 0.4f, 1}, stream));
}

} // namespace
