#pragma once

// Sound files made byte by byte, and a headless sound output on a fake clock for the tests.
#include "base/PathUtils.h"
#include "platform/FakeClock.h"
#include "platform/Files.h"
#include "platform/HeadlessSoundOutput.h"
#include "platform/LittleEndian.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

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
