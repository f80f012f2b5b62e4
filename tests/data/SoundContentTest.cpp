// The generated sound effects and music tracks, read back as the game will find them.
#include "tests/data/ShippedData.h"

#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/sound/VorbisDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr int kRate = 44100;

// The 25 effects the game binds, as files below sounds/.
const char* const kSounds[] = {
    "blackhole_grow",    "blackhole_stopped", "bonus",     "fadein",     "gameover",
    "goodmove1",         "goodmove2",         "goodmove3", "goodmove4",  "goodmove5",
    "goodmove6",         "goodmove7",         "goodmove8", "goodmove9",  "goodmove10",
    "levelfinished",     "levelup",           "longchain", "normalmove", "supernova",
    "supernova_explode", "ticktock",          "youwin",    "zoomin",     "zoomout"};

struct Pcm
{
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples; // interleaved
    size_t Frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

// A RIFF WAVE file of 16-bit integer PCM; chunks in any order; an error text on refusal.
std::string ReadWave(const std::string& path, Pcm& pcm)
{
    std::string bytes;
    if (!platform::ReadFile(path, bytes)) return "cannot read " + path;
    auto at = [&bytes](size_t offset) { return reinterpret_cast<const uint8_t*>(bytes.data()) + offset; };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return "not a RIFF WAVE file";
    if (platform::LoadLE32(at(4)) != bytes.size() - 8) return "RIFF size is not the file's";
    bool format = false, data = false;
    for (size_t offset = 12; offset + 8 <= bytes.size();)
    {
        std::string tag = bytes.substr(offset, 4);
        size_t size = platform::LoadLE32(at(offset + 4));
        size_t body = offset + 8;
        if (body + size > bytes.size()) return "chunk " + tag + " runs past the end";
        if (tag == "fmt ")
        {
            if (size < 16 || platform::LoadLE16(at(body)) != 1) return "not integer PCM";
            pcm.channels = platform::LoadLE16(at(body + 2));
            pcm.rate = int(platform::LoadLE32(at(body + 4)));
            uint32_t bytesPerSecond = platform::LoadLE32(at(body + 8));
            uint16_t align = platform::LoadLE16(at(body + 12)), bits = platform::LoadLE16(at(body + 14));
            if (bits != 16) return "not 16 bits";
            if (align != pcm.channels * 2 || bytesPerSecond != uint32_t(pcm.rate) * align)
                return "block alignment or byte rate do not match";
            format = true;
        }
        else if (tag == "data")
        {
            if (!format || size % size_t(pcm.channels * 2) != 0)
                return "data before format, or a split frame";
            pcm.samples.resize(size / 2);
            for (size_t i = 0; i < pcm.samples.size(); ++i)
                pcm.samples[i] = int16_t(platform::LoadLE16(at(body + 2 * i)));
            data = true;
        }
        offset = body + size + (size & 1);
    }
    return data ? "" : "no data chunk";
}

int Peak(const Pcm& pcm)
{
    int peak = 0;
    for (int16_t s : pcm.samples)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

// The loudest 100 ms of the sound (both sides together), in dB of full scale, with the deep lows
// that the ear hears faintly held back by a gentle high-pass.
double LoudestDb(const Pcm& pcm)
{
    const size_t window = kRate / 10, frames = pcm.Frames();
    const double keep = std::exp(-2 * M_PI * 100 / kRate);
    std::vector<double> sums(frames + 1), low(size_t(pcm.channels));
    for (size_t i = 0; i < frames; ++i)
    {
        double power = 0;
        for (size_t c = 0; c < size_t(pcm.channels); ++c)
        {
            double v = pcm.samples[i * size_t(pcm.channels) + c] / 32768.0;
            low[c] = keep * low[c] + (1 - keep) * v;
            power += (v - low[c]) * (v - low[c]);
        }
        sums[i + 1] = sums[i] + power;
    }
    double loudest = 0;
    for (size_t i = 0; i + window <= frames; i += window / 10)
        loudest = std::max(loudest, (sums[i + window] - sums[i]) / double(window));
    return 10 * std::log10(std::max(loudest, 1e-12));
}

TEST(SoundContentTest, EveryEffectIsAShortCleanWaveAtTheSharedLoudness)
{
    std::vector<double> loudness;
    int longOnes = 0;
    for (const char* name : kSounds)
    {
        SCOPED_TRACE(name);
        Pcm pcm;
        std::string error = ReadWave(ShippedData::GeneratedContent() + "sounds/" + name + ".wav", pcm);
        ASSERT_EQ(error, "");
        EXPECT_TRUE(pcm.channels == 1 || pcm.channels == 2);
        EXPECT_EQ(pcm.rate, kRate);
        double seconds = double(pcm.Frames()) / kRate;
        EXPECT_GE(seconds, 0.15);
        EXPECT_LE(seconds, 3.0);
        if (seconds > 1.5) ++longOnes;
        // Below full scale, and starting and ending at silence so nothing clicks.
        EXPECT_LE(Peak(pcm), 31000);
        for (size_t c = 0; c < size_t(pcm.channels); ++c)
        {
            EXPECT_LE(std::abs(pcm.samples[c]), 64);
            EXPECT_LE(std::abs(pcm.samples[pcm.samples.size() - size_t(pcm.channels) + c]), 64);
        }
        loudness.push_back(LoudestDb(pcm));
    }
    EXPECT_LE(longOnes, 5) << "most effects last at most a second and a half";
    auto [quietest, loudest] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*loudest - *quietest, 10.0) << "the effects are not levelled alike";
    EXPECT_GE(*quietest, -30.0);
}

TEST(SoundContentTest, EveryMusicTrackIsAMinuteOrMoreAndLoopsWithoutASeam)
{
    for (int track = 0; track < 4; ++track)
    {
        SCOPED_TRACE(track);
        platform::VorbisDecoder decoder;
        std::string path = ShippedData::GameFolder() + "music/track" + std::to_string(track) + ".ogg";
        ASSERT_TRUE(decoder.OpenFile(path.c_str()));
        ASSERT_EQ(decoder.Channels(), 2);
        EXPECT_EQ(decoder.Rate(), uint32_t(kRate));
        const int64_t declared = decoder.PcmTotal();
        std::vector<int16_t> samples;
        ASSERT_TRUE(decoder.ReadAll(samples, uint64_t(1) << 30));
        // The granule positions give the exact length, and the decoder delivers exactly that.
        ASSERT_EQ(int64_t(samples.size()), declared * 2);
        EXPECT_GE(declared, 60 * kRate);

        const size_t frames = size_t(declared);
        int clipped = 0;
        for (int16_t s : samples)
            clipped += s == 32767 || s == -32768;
        EXPECT_EQ(clipped, 0);
        // No second anywhere is silent: a track that drops out would be heard as a gap.
        for (size_t start = 0; start + kRate <= frames; start += kRate / 2)
        {
            int peak = 0;
            for (size_t i = 2 * start; i < 2 * (start + kRate); ++i)
                peak = std::max(peak, std::abs(int(samples[i])));
            ASSERT_GT(peak, 300) << "silent at " << double(start) / kRate << " s";
        }
        // Played round, the track runs from its last frame into its first as from any frame into
        // the next: the bend there (the second difference, where a cut shows as a spike) is no
        // larger than the bends of the 50 ms either side of it.
        for (size_t c = 0; c < 2; ++c)
        {
            SCOPED_TRACE(c);
            auto x = [&](size_t i) { return int(samples[2 * (i % frames) + c]); };
            auto bend = [&](size_t i) { return std::abs(x(i + 1) - 2 * x(i) + x(i + frames - 1)); };
            int around = 0;
            for (size_t i = frames - kRate / 20; i < frames + kRate / 20; ++i)
                if (i + 1 < frames || i > frames) around = std::max(around, bend(i));
            EXPECT_LE(std::max(bend(frames - 1), bend(frames)), around);
        }
    }
}

} // namespace
