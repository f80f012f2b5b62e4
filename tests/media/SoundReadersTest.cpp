#include "base/MersenneTwister.h"
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PakWriter.h"
#include "media/DSoundManager.h"
#include "tests/media/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using Kavo::DSoundManager;
using soundtest::FmtChunk;
using soundtest::MakeAu;
using soundtest::MakeWave;
using soundtest::Samples16;

struct Loaded
{
    int channels = 0;
    uint32_t rate = 0;
    int bits = 0;
    std::string data;
};

class SoundReaders : public soundtest::SoundTest
{
protected:
    // What the slot holds: its format and data bytes (empty format when it holds nothing).
    static Loaded SlotOf(DSoundManager& manager, int soundId)
    {
        Loaded loaded;
        platform::SoundBuffer* buffer = manager.GetSourceSound(soundId);
        if (!buffer) return loaded;
        platform::SoundFormat format;
        buffer->GetFormat(format);
        loaded.channels = format.channels;
        loaded.rate = format.samplesPerSecond;
        loaded.bits = format.bitsPerSample;
        uint8_t* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, buffer->Size(), data), platform::DS_OK);
        loaded.data.assign(reinterpret_cast<char*>(data), buffer->Size());
        buffer->Unlock();
        EXPECT_EQ(manager.GetSourceDataSize(soundId), buffer->Size());
        return loaded;
    }

    std::string Path(const std::string& name) { return mFolder + name; }
};

// The ogg page checksum: CRC-32 with the polynomial 0x04C11DB7, not reflected, over the page
// with its checksum field zeroed.
uint32_t OggCrc(const std::string& page)
{
    uint32_t crc = 0;
    for (unsigned char byte : page)
    {
        crc ^= uint32_t(byte) << 24;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x80000000u ? crc << 1 ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The file with the granule position of its last page replaced (and the page's checksum fixed).
std::string WithLastGranule(std::string ogg, int64_t granule)
{
    size_t last = ogg.rfind("OggS");
    size_t segments = uint8_t(ogg[last + 26]);
    size_t size = 27 + segments;
    for (size_t i = 0; i < segments; ++i)
        size += uint8_t(ogg[last + 27 + i]);
    std::string page = ogg.substr(last, size);
    for (int i = 0; i < 8; ++i)
        page[6 + size_t(i)] = char(uint8_t(uint64_t(granule) >> (8 * i)));
    std::memset(&page[22], 0, 4);
    uint32_t crc = OggCrc(page);
    for (int i = 0; i < 4; ++i)
        page[22 + size_t(i)] = char(uint8_t(crc >> (8 * i)));
    return ogg.replace(last, size, page);
}

TEST_F(SoundReaders, WaveFiles)
{
    const std::string mono = Samples16({100, -200, 300, -400});
    std::string keyed = mono;
    for (char& c : keyed)
        c = char(c ^ 0x5A);
    std::string depName(300, 'n'); // read as 255 bytes; the next 8 (zeros) are taken as the time
    std::fill(depName.begin() + 255, depName.begin() + 263, '\0');
    std::string dep300;
    platform::AppendLE16(dep300, 300);
    dep300 += depName;
    platform::AppendLE64(dep300, 0x1234);
    std::string source = soundtest::Write(Path("source.txt"), "x");
    std::string staleDep;
    platform::AppendLE16(staleDep, uint16_t(source.size()));
    staleDep += source;
    platform::AppendLE64(staleDep, 12345);
    std::string hugeData = MakeWave({{"fmt ", FmtChunk(1, 44100, 16)}, {"data", mono}});
    platform::StoreLE32(reinterpret_cast<uint8_t*>(&hugeData[40]), 0xFFFFFFFFu);
    std::string longData = hugeData;
    platform::StoreLE32(reinterpret_cast<uint8_t*>(&longData[40]), 9);
    std::string shortFmt = MakeWave({{"fmt ", FmtChunk(1, 44100, 16).substr(0, 8)}, {"data", mono}});

    struct Case
    {
        const char* what;
        std::string file;
        bool loads;
        int channels;
        uint32_t rate;
        int bits;
        std::string data;
    } cases[] = {
        {"mono 16-bit", MakeWave({{"fmt ", FmtChunk(1, 44100, 16)}, {"data", mono}}), true, 1, 44100, 16,
         mono},
        {"stereo 8-bit", MakeWave({{"fmt ", FmtChunk(2, 11025, 8)}, {"data", "\x10\xF0\x80\x81"}}), true, 2,
         11025, 8, "\x10\xF0\x80\x81"},
        {"data before fmt: defaults", MakeWave({{"data", mono}, {"fmt ", FmtChunk(2, 8000, 8)}}), true, 1,
         22050, 16, mono},
        {"other chunks skipped",
         MakeWave({{"LIST", "abcd"}, {"fmt ", FmtChunk(1, 8000, 16)}, {"data", mono}}), true, 1, 8000, 16,
         mono},
        {"scrambled", MakeWave({{"fmt ", FmtChunk(1, 8000, 16)}, {"xor ", "\x5A"}, {"data", keyed}}), true, 1,
         8000, 16, mono},
        {"dep name of 300 bytes",
         MakeWave({{"dep ", dep300}, {"fmt ", FmtChunk(1, 8000, 16)}, {"data", mono}}), true, 1, 8000, 16,
         mono},
        {"stale dep", MakeWave({{"dep ", staleDep}, {"data", mono}}), false, 0, 0, 0, ""},
        {"format 3", MakeWave({{"fmt ", FmtChunk(1, 8000, 32, 3)}, {"data", mono}}), false, 0, 0, 0, ""},
        {"no channels", MakeWave({{"fmt ", FmtChunk(0, 8000, 16)}, {"data", mono}}), false, 0, 0, 0, ""},
        {"no bits", MakeWave({{"fmt ", FmtChunk(1, 8000, 0)}, {"data", mono}}), false, 0, 0, 0, ""},
        {"12 bits", MakeWave({{"fmt ", FmtChunk(1, 8000, 12)}, {"data", mono}}), false, 0, 0, 0, ""},
        {"short fmt", shortFmt, false, 0, 0, 0, ""},
        {"no data", MakeWave({{"fmt ", FmtChunk(1, 8000, 16)}}), false, 0, 0, 0, ""},
        {"data larger than the file", hugeData, false, 0, 0, 0, ""},
        {"data one byte short", longData, false, 0, 0, 0, ""},
        {"empty data", MakeWave({{"fmt ", FmtChunk(1, 8000, 16)}, {"data", ""}}), false, 0, 0, 0, ""},
        {"not RIFF", "RIFX" + MakeWave({{"data", mono}}).substr(4), false, 0, 0, 0, ""},
        {"not WAVE", MakeWave({{"data", mono}}).replace(8, 4, "AVI "), false, 0, 0, 0, ""},
        {"empty file", "", false, 0, 0, 0, ""},
    };
    DSoundManager manager(platform::kMainWindow, false);
    for (const Case& c : cases)
    {
        manager.ReleaseSound(9);
        const bool loaded = manager.LoadWave(9, soundtest::Write(Path("case.wav"), c.file));
        EXPECT_EQ(loaded, c.loads) << c.what;
        if (!c.loads || !loaded) continue;
        Loaded slot = SlotOf(manager, 9);
        EXPECT_EQ(slot.channels, c.channels) << c.what;
        EXPECT_EQ(slot.rate, c.rate) << c.what;
        EXPECT_EQ(slot.bits, c.bits) << c.what;
        EXPECT_EQ(slot.data, c.data) << c.what;
    }
}

TEST_F(SoundReaders, AuFiles)
{
    const std::string linear("\x00\x7F\x80\xFF", 4);
    const std::string muLaw("\x00\xFF\x80\x7F\x8F\x0F", 6);
    struct Case
    {
        const char* what;
        std::string file;
        bool loads;
        int channels;
        int bits;
        std::string data;
    } cases[] = {
        // Signed 8-bit samples become unsigned: -128 is 0x00, 0 is 0x80.
        {"8-bit linear", MakeAu(2, 8000, 1, linear), true, 1, 8, std::string("\x80\xFF\x00\x7F", 4)},
        // 0x00 and 0x80 are the loudest, 0xFF and 0x7F silence.
        {"mu-law", MakeAu(1, 8000, 2, muLaw), true, 2, 16, Samples16({-31616, 0, 31616, 0, 16256, -16256})},
        {"data further in", MakeAu(2, 8000, 1, linear, 40), true, 1, 8, std::string("\x80\xFF\x00\x7F", 4)},
        {"size unknown: to the end", MakeAu(2, 8000, 1, linear, 24, 0xFFFFFFFFu), true, 1, 8,
         std::string("\x80\xFF\x00\x7F", 4)},
        {"encoding 3", MakeAu(3, 8000, 1, linear), false, 0, 0, ""},
        {"size beyond the file", MakeAu(2, 8000, 1, linear, 24, 5), false, 0, 0, ""},
        {"huge size", MakeAu(1, 8000, 1, linear, 24, 0x7FFFFFFF), false, 0, 0, ""},
        {"offset beyond the file", MakeAu(2, 8000, 1, "", 4096).substr(0, 24), false, 0, 0, ""},
        {"offset inside the header", MakeAu(2, 8000, 1, linear).replace(4, 4, std::string("\0\0\0\x08", 4)),
         false, 0, 0, ""},
        {"no channels", MakeAu(2, 8000, 0, linear), false, 0, 0, ""},
        {"three channels", MakeAu(2, 8000, 3, linear + "xx"), false, 0, 0, ""},
        {"rate 0", MakeAu(2, 0, 1, linear), false, 0, 0, ""},
        {"not .snd", "RIFF" + MakeAu(2, 8000, 1, linear).substr(4), false, 0, 0, ""},
        {"header cut", MakeAu(2, 8000, 1, linear).substr(0, 20), false, 0, 0, ""},
    };
    DSoundManager manager(platform::kMainWindow, false);
    for (const Case& c : cases)
    {
        manager.ReleaseSound(2);
        const bool loaded = manager.LoadAu(2, soundtest::Write(Path("case.au"), c.file));
        EXPECT_EQ(loaded, c.loads) << c.what;
        if (!c.loads || !loaded) continue;
        Loaded slot = SlotOf(manager, 2);
        EXPECT_EQ(slot.channels, c.channels) << c.what;
        EXPECT_EQ(slot.rate, 8000u) << c.what;
        EXPECT_EQ(slot.bits, c.bits) << c.what;
        EXPECT_EQ(slot.data, c.data) << c.what;
    }
}

// Every mu-law code: the ends of each of the eight segments exactly, a louder sample for every
// lower code from 255 down to 128 (so the loudest code is no quiet click), and the codes below
// 128 the same samples negated.
TEST_F(SoundReaders, MuLawCodes)
{
    std::string codes;
    for (int b = 0; b < 256; ++b)
        codes += char(b);
    DSoundManager manager(platform::kMainWindow, false);
    ASSERT_TRUE(manager.LoadAu(3, soundtest::Write(Path("codes.au"), MakeAu(1, 8000, 1, codes))));
    const std::string data = SlotOf(manager, 3).data;
    ASSERT_EQ(data.size(), 512u);
    auto sample = [&](int b)
    { return int(int16_t(platform::LoadLE16(reinterpret_cast<const uint8_t*>(&data[2 * b])))); };
    const std::pair<int, int> ends[] = {
        {255, 0},    {240, 120},   {239, 128},   {224, 368},   {223, 384},   {208, 864},
        {207, 896},  {192, 1856},  {191, 1920},  {176, 3840},  {175, 3968},  {160, 7808},
        {159, 8064}, {144, 15744}, {143, 16256}, {129, 30592}, {128, 31616},
    };
    for (const auto& [code, value] : ends)
    {
        EXPECT_EQ(sample(code), value) << code;
        EXPECT_EQ(sample(code - 128), -value) << code - 128;
    }
    for (int b = 128; b < 255; ++b)
    {
        EXPECT_GT(sample(b), sample(b + 1)) << b;
        EXPECT_EQ(sample(b - 128), -sample(b)) << b;
    }
}

TEST_F(SoundReaders, OggVorbis)
{
    DSoundManager manager(platform::kMainWindow, false);
    const std::string ogg = soundtest::ReadFixture("tone_mono_22050.ogg");
    ASSERT_TRUE(manager.LoadOgg(1, soundtest::Write(Path("tone.ogg"), ogg)));
    Loaded slot = SlotOf(manager, 1);
    EXPECT_EQ(slot.channels, 1);
    EXPECT_EQ(slot.rate, 22050u);
    EXPECT_EQ(slot.bits, 16);
    ASSERT_EQ(slot.data.size(), 11025u * 2);
    int16_t loudest = 0;
    for (size_t i = 0; i < slot.data.size(); i += 2)
        loudest = std::max<int16_t>(loudest,
                                    int16_t(platform::LoadLE16(reinterpret_cast<uint8_t*>(&slot.data[i]))));
    EXPECT_NEAR(loudest, 16384, 1200); // the tone's amplitude is 0.5

    // A length the file cannot hold is refused before anything is made.
    const std::string longOgg = soundtest::ReadFixture("tone_mono_22050_long.ogg");
    ASSERT_TRUE(manager.LoadOgg(1, soundtest::Write(Path("long.ogg"), longOgg)));
    EXPECT_EQ(manager.GetSourceDataSize(1), 88200u * 2);
    for (int64_t granule : {int64_t(50000000), int64_t(1) << 40})
    {
        manager.ReleaseSound(1);
        EXPECT_FALSE(
            manager.LoadOgg(1, soundtest::Write(Path("long.ogg"), WithLastGranule(longOgg, granule))))
            << granule;
        EXPECT_EQ(manager.GetSourceSound(1), nullptr) << granule;
    }
    EXPECT_FALSE(manager.LoadOgg(1, soundtest::Write(Path("wave.ogg"), MakeWave({{"data", "abcd"}}))));
    EXPECT_FALSE(manager.LoadOgg(1, Path("absent.ogg")));
}

// The cache file written after a decode, byte by byte.
TEST_F(SoundReaders, TheWaveCacheLayout)
{
    DSoundManager manager(platform::kMainWindow, false);
    const std::string name = Path("beep");
    soundtest::Write(name + ".au", MakeAu(2, 8000, 1, std::string("\x01\x02\x03\x04", 4)));
    ASSERT_TRUE(manager.LoadSoundFile(0, name));
    std::string cache;
    ASSERT_TRUE(platform::ReadFile(DSoundManager::CachePathOf(name), cache));

    uint64_t time = 0;
    ASSERT_TRUE(Kavo::GetFileLastWriteTime(name + ".au", time));
    const std::string source = name + ".au";
    std::string expected = "RIFF";
    platform::AppendLE32(expected, uint32_t(source.size() + 4 + 63));
    expected += "WAVEfmt ";
    expected += std::string("\x10\0\0\0\x01\0\x01\0", 8);
    platform::AppendLE32(expected, 8000);
    platform::AppendLE32(expected, 8000);
    expected += std::string("\x01\0\x08\0", 4);
    expected += "dep ";
    platform::AppendLE32(expected, uint32_t(source.size() + 10));
    platform::AppendLE16(expected, uint16_t(source.size()));
    expected += source;
    platform::AppendLE64(expected, time);
    expected += std::string("xor \x01\0\0\0\xB3", 9);
    expected += "data";
    platform::AppendLE32(expected, 4);
    expected += std::string("\x81\x82\x83\x84", 4);
    for (size_t i = expected.size() - 4; i < expected.size(); ++i)
        expected[i] = char(uint8_t(expected[i]) ^ 0xB3);
    EXPECT_EQ(cache, expected);
    EXPECT_EQ(cache.size(), source.size() + 4 + 71);
    EXPECT_EQ(SlotOf(manager, 0).data, std::string("\x81\x82\x83\x84", 4)); // still playable

    // Absolute names have no cache entry.
    const std::string absolute = std::filesystem::absolute(Path("abs")).string();
    soundtest::Write(absolute + ".au", MakeAu(2, 8000, 1, "abcd"));
    ASSERT_TRUE(manager.LoadSoundFile(1, absolute));
    EXPECT_FALSE(platform::PathExists(DSoundManager::CachePathOf(absolute)));
}

// The cache serves the next load, until its source changes.
TEST_F(SoundReaders, TheWaveCacheIsReusedUntilTheSourceChanges)
{
    const std::string name = Path("tone");
    const std::string ogg = soundtest::Write(name + ".ogg", soundtest::ReadFixture("tone_mono_22050.ogg"));
    const std::string cachePath = DSoundManager::CachePathOf(name);
    std::string decoded;
    {
        DSoundManager manager(platform::kMainWindow, false);
        ASSERT_TRUE(manager.LoadSoundFile(0, name));
        decoded = SlotOf(manager, 0).data;
    }
    std::string cache;
    ASSERT_TRUE(platform::ReadFile(cachePath, cache));
    // Mark the cached data: a load that shows the mark came from the cache.
    cache[cache.size() - 1] = char(0x11 ^ 0xB3);
    ASSERT_TRUE(platform::WriteFileAtomically(cachePath, cache));
    {
        DSoundManager manager(platform::kMainWindow, false);
        ASSERT_TRUE(manager.LoadSoundFile(0, name));
        Loaded slot = SlotOf(manager, 0);
        EXPECT_EQ(slot.rate, 22050u);
        EXPECT_EQ(slot.data.substr(0, decoded.size() - 1), decoded.substr(0, decoded.size() - 1));
        EXPECT_EQ(slot.data.back(), '\x11');
    }
    // A newer source: the entry is refused, the sound decoded again and the entry rewritten.
    std::filesystem::last_write_time(ogg, std::filesystem::last_write_time(ogg) + std::chrono::seconds(5));
    {
        DSoundManager manager(platform::kMainWindow, false);
        ASSERT_TRUE(manager.LoadSoundFile(0, name));
        EXPECT_EQ(SlotOf(manager, 0).data, decoded);
    }
    std::string rewritten;
    ASSERT_TRUE(platform::ReadFile(cachePath, rewritten));
    uint64_t time = 0;
    ASSERT_TRUE(Kavo::GetFileLastWriteTime(ogg, time));
    const size_t stamp = 46 + (name + ".ogg").size();
    EXPECT_EQ(platform::LoadLE64(reinterpret_cast<const uint8_t*>(rewritten.data() + stamp)), time);
    EXPECT_NE(rewritten.back(), cache.back());
}

// A source only in the archive has no time on the disk: its entry carries 0 and stays valid.
TEST_F(SoundReaders, ArchivedSourcesKeepTheirCacheEntries)
{
    const std::string name = "sfx/" + scratch::TestName() + "/chime";
    Kavo::PakWriter writer;
    writer.AddFile(name + ".au", MakeAu(2, 8000, 1, std::string("\x05\x06\x07\x08", 4)));
    const std::string pak = mFolder + "a.pak";
    ASSERT_TRUE(writer.WriteFile(pak));
    Kavo::PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(pak));
    Kavo::PakInterfaceBase* previous = Kavo::SetPakInterfacePointer(&archive);
    {
        DSoundManager manager(platform::kMainWindow, false);
        ASSERT_TRUE(manager.LoadSoundFile(0, name));
    }
    std::string cache;
    ASSERT_TRUE(platform::ReadFile(DSoundManager::CachePathOf(name), cache));
    const size_t stamp = 46 + (name + ".au").size();
    EXPECT_EQ(platform::LoadLE64(reinterpret_cast<const uint8_t*>(cache.data() + stamp)), 0u);
    cache.back() = char(0x22 ^ 0xB3);
    ASSERT_TRUE(platform::WriteFileAtomically(DSoundManager::CachePathOf(name), cache));
    {
        DSoundManager manager(platform::kMainWindow, false);
        ASSERT_TRUE(manager.LoadSoundFile(0, name));
        EXPECT_EQ(SlotOf(manager, 0).data, std::string("\x85\x86\x87\x22", 4));
    }
    Kavo::SetPakInterfacePointer(previous);
}

// The order of the readers: the cache, ".wav", ".ogg", ".au".
TEST_F(SoundReaders, ReadersAreTriedInOrder)
{
    DSoundManager manager(platform::kMainWindow, false);
    const std::string name = Path("both");
    soundtest::Write(name + ".wav", MakeWave({{"fmt ", FmtChunk(1, 11025, 8)}, {"data", "wave"}}));
    soundtest::Write(name + ".au", MakeAu(2, 8000, 1, "au"));
    ASSERT_TRUE(manager.LoadSoundFile(0, name));
    EXPECT_EQ(SlotOf(manager, 0).data, "wave");
    EXPECT_FALSE(platform::PathExists(DSoundManager::CachePathOf(name))); // a wave is not cached
    EXPECT_FALSE(manager.LoadSoundFile(1, Path("none")));
    EXPECT_EQ(manager.GetSourceSound(1), nullptr);
}

// Every prefix and many corrupted copies of each kind of file: a reader may refuse or load,
// but never crashes, reads outside its data or makes a buffer its file cannot fill.
TEST_F(SoundReaders, HostileFiles)
{
    struct Fixture
    {
        const char* name;
        std::string data;
        bool (DSoundManager::*load)(int, const std::string&);
    } fixtures[] = {
        {"f.wav",
         MakeWave({{"fmt ", FmtChunk(2, 22050, 16)}, {"LIST", "ab"}, {"data", Samples16({1, 2, 3, 4})}}),
         &DSoundManager::LoadWave},
        {"f.au", MakeAu(1, 8000, 1, "mulawdata"), &DSoundManager::LoadAu},
        {"g.au", MakeAu(2, 8000, 2, "linear"), &DSoundManager::LoadAu},
        {"f.ogg", soundtest::ReadFixture("tone_mono_22050.ogg"), &DSoundManager::LoadOgg},
    };
    DSoundManager manager(platform::kMainWindow, false);
    // A cache entry too.
    soundtest::Write(Path("c.au"), MakeAu(1, 8000, 1, "cached"));
    ASSERT_TRUE(manager.LoadAu(0, Path("c.au")));
    ASSERT_TRUE(manager.WriteCachedWave(0, Path("c.au"), Path("c.wav")));
    std::string cache;
    ASSERT_TRUE(platform::ReadFile(Path("c.wav"), cache));
    Fixture cached{"c.wav", cache, &DSoundManager::LoadWave};

    Kavo::MersenneTwister random(5);
    std::vector<Fixture> all(std::begin(fixtures), std::end(fixtures));
    all.push_back(cached);
    for (const Fixture& f : all)
    {
        const std::string path = Path(f.name);
        ASSERT_TRUE((manager.*f.load)(1, soundtest::Write(path, f.data))) << f.name;
        auto check = [&](const std::string& data)
        {
            manager.ReleaseSound(1);
            if ((manager.*f.load)(1, soundtest::Write(path, data)))
            {
                platform::SoundBuffer* buffer = manager.GetSourceSound(1);
                ASSERT_TRUE(buffer);
                ASSERT_LE(buffer->Size(), 2 * data.size() + 11025 * 2 * 4);
            }
        };
        soundtest::ForDamagedCopies(f.data, random, 200, check);
    }
}

} // namespace
