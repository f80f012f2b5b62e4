#pragma once

// Sound files made byte by byte, and a headless sound output on a fake clock for the tests.
#include "base/PathUtils.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/sound/HeadlessSoundOutput.h"
#include "platform/system/FakeClock.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace soundtest
{

// A RIFF WAVE file of the chunks given as (tag, contents), in that order.
inline std::string MakeWave(const std::vector<std::pair<std::string, std::string>>& chunks)
{
    std::string body = "WAVE";
    for (const auto& [tag, contents] : chunks)
    {
        body += tag;
        platform::AppendLE32(body, uint32_t(contents.size()));
        body += contents;
    }
    std::string file = "RIFF";
    platform::AppendLE32(file, uint32_t(body.size()));
    return file + body;
}

inline std::string FmtChunk(int channels, uint32_t rate, int bits, int formatTag = 1)
{
    std::string s;
    platform::AppendLE16(s, uint16_t(formatTag));
    platform::AppendLE16(s, uint16_t(channels));
    platform::AppendLE32(s, rate);
    platform::AppendLE32(s, rate * uint32_t(channels * bits / 8));
    platform::AppendLE16(s, uint16_t(channels * bits / 8));
    platform::AppendLE16(s, uint16_t(bits));
    return s;
}

inline std::string Samples16(const std::vector<int16_t>& samples)
{
    std::string s;
    for (int16_t v : samples)
        platform::AppendLE16(s, uint16_t(v));
    return s;
}

inline void AppendBE32(std::string& s, uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        s += char(uint8_t(v >> (8 * i)));
}

// An AU file: header of 24 bytes (or offset), then the data.
inline std::string MakeAu(uint32_t encoding, uint32_t rate, uint32_t channels, const std::string& data,
                          uint32_t offset = 24, uint32_t size = 0xFFFFFFFEu)
{
    std::string s = ".snd";
    AppendBE32(s, offset);
    AppendBE32(s, size == 0xFFFFFFFEu ? uint32_t(data.size()) : size);
    AppendBE32(s, encoding);
    AppendBE32(s, rate);
    AppendBE32(s, channels);
    s.resize(offset < 24 ? 24 : offset, '\0');
    return s + data;
}

// Writes a file into the folder and returns its path.
inline std::string Write(const std::string& path, const std::string& data)
{
    std::FILE* file = platform::OpenFile(path, "wb");
    EXPECT_TRUE(file) << path;
    if (!file) return path;
    EXPECT_EQ(std::fwrite(data.data(), 1, data.size(), file), data.size()) << path;
    std::fclose(file);
    return path;
}

inline std::string ReadFixture(const std::string& name)
{
    std::string data;
    EXPECT_TRUE(platform::ReadFile(std::string(KAVO_SOUND_FIXTURES) + "/" + name, data)) << name;
    return data;
}

// A fake clock, a headless output and a scratch folder (the per-user data folder too).
class SoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mFolder = scratch::FreshFolder("sound-");
        mOldAppData = Kavo::GetAppDataFolder();
        Kavo::SetAppDataFolder(mFolder + "appdata/");
    }
    void TearDown() override { Kavo::SetAppDataFolder(mOldAppData); }

    platform::FakeClock mClock;
    platform::HeadlessSoundOutput mOutput;
    std::string mFolder;
    std::string mOldAppData;
};

} // namespace soundtest

namespace soundtest
{

// A four-channel tracker module: one pattern whose first row starts sample 1 (a square wave of
// length bytes at volume 64) at speed 1, and whose row `rows` breaks to the end of the song.
inline std::string MakeModule(int rows, int length = 2000)
{
    std::string s(20, '\0');
    s.replace(0, 4, "test");
    for (int i = 0; i < 31; ++i)
    {
        std::string header(30, '\0');
        if (i == 0)
        {
            header[22] = char((length / 2) >> 8);
            header[23] = char((length / 2) & 0xFF);
            header[25] = 64; // volume
            header[29] = 1;  // repeat length 1 word: no loop
        }
        s += header;
    }
    s += char(1);   // one order
    s += char(127); // restart
    s += std::string(128, '\0');
    s += "M.K.";
    std::string pattern(64 * 4 * 4, '\0');
    auto cell = [&](int row, int channel, int sample, int period, int effect, int parameter)
    {
        char* c = &pattern[size_t((row * 4 + channel) * 4)];
        c[0] = char((sample & 0xF0) | (period >> 8));
        c[1] = char(period & 0xFF);
        c[2] = char(((sample & 0x0F) << 4) | effect);
        c[3] = char(parameter);
    };
    cell(0, 0, 1, 428, 0xF, 1);  // play sample 1, one tick a row
    cell(rows, 1, 0, 0, 0xD, 0); // end of the pattern
    s += pattern;
    for (int i = 0; i < length; ++i)
        s += char((i / 16) % 2 ? 100 : -100);
    return s;
}

// The largest magnitude among the samples.
inline int Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t v : samples)
        peak = std::max(peak, v < 0 ? -int(v) : int(v));
    return peak;
}

} // namespace soundtest

#include "base/MersenneTwister.h"

#include <functional>

namespace soundtest
{

// Calls check with the file, every prefix of it and rounds copies with one to four bytes
// changed at random.
inline void ForDamagedCopies(const std::string& data, Kavo::MersenneTwister& random, int rounds,
                             const std::function<void(const std::string&)>& check)
{
    check(data);
    for (size_t n = 0; n < data.size(); n += 1 + n / 32)
        check(data.substr(0, n));
    for (int round = 0; round < rounds; ++round)
    {
        std::string copy = data;
        const int flips = 1 + int(random.Next() % 4);
        for (int k = 0; k < flips; ++k)
            copy[random.Next() % copy.size()] = char(random.Next());
        check(copy);
    }
}

} // namespace soundtest
