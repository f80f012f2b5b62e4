#include "media/BassMusicInterface.h"
#include "media/DSoundManager.h"
#include "media/FMOD_INSTANCE.h"
#include "media/FModMusicInterface.h"
#include "platform/sound/SoundMixer.h"
#include "platform/system/LibraryModules.h"
#include "platform/window/Window.h"
#include "tests/media/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using Kavo::BassMusicInterface;
using Kavo::FModMusicInterface;
using soundtest::FmtChunk;
using soundtest::MakeWave;
using soundtest::Peak;
using soundtest::Samples16;

constexpr int kMs = 441 / 10; // frames per millisecond, rounded down

class MusicPlayback : public soundtest::SoundTest
{
protected:
    std::vector<int16_t> PullMs(int ms) { return mOutput.Pull(ms * 441 / 10); }

    std::string Fixture(const std::string& name, const std::string& as)
    {
        return soundtest::Write(mFolder + as, soundtest::ReadFixture(name));
    }
};

// An Ogg Vorbis stream, an MP3 stream and a tracker module play through the built-in module
// into the mixer, are heard, and end when they should.
TEST_F(MusicPlayback, StreamsAndModulesPlayAndEnd)
{
    BassMusicInterface music(platform::kInvisibleWindow);
    ASSERT_TRUE(music.IsLoaded());
    music.SetVolume(1.0);
    ASSERT_TRUE(music.LoadMusic(0, Fixture("tone_stereo_44100.ogg", "tone.ogg")));
    ASSERT_TRUE(music.LoadMusic(1, Fixture("tone_stereo_44100.mp3", "tone.mp3")));
    ASSERT_TRUE(music.LoadMusic(2, soundtest::Write(mFolder + "short.mod", soundtest::MakeModule(8))));
    struct Case
    {
        int song;
        int heardUntilMs; // still playing then
        int endedByMs;
    } cases[] = {{0, 450, 520}, {1, 450, 600}, {2, 100, 400}};
    for (const Case& c : cases)
    {
        music.PlayMusic(c.song, 0, true);
        EXPECT_GT(Peak(PullMs(c.heardUntilMs)), 3000) << c.song;
        EXPECT_TRUE(music.IsPlaying(c.song)) << c.song;
        PullMs(c.endedByMs - c.heardUntilMs);
        EXPECT_FALSE(music.IsPlaying(c.song)) << c.song;
        EXPECT_EQ(Peak(PullMs(50)), 0) << c.song;
    }
    // Looping, a stream goes on; the clock plays it as well as pulling does.
    music.PlayMusic(0, 0, false);
    mClock.Advance(1700);
    EXPECT_TRUE(music.IsPlaying(0));
    EXPECT_GT(Peak(PullMs(100)), 3000);
    music.FadeOut(0, true, 0.5);
    music.Update();
    music.Update();
    music.Update();
    EXPECT_FALSE(music.IsPlaying(0));
    EXPECT_EQ(platform::SoundMixer::Get().PlayingVoices(), 0);
}

TEST_F(MusicPlayback, VolumesScaleTheOutput)
{
    BassMusicInterface music(platform::kInvisibleWindow);
    ASSERT_TRUE(music.LoadMusic(
        0, soundtest::Write(mFolder + "level.wav",
                            MakeWave({{"fmt ", FmtChunk(1, 44100, 16)},
                                      {"data", Samples16(std::vector<int16_t>(8820, 10000))}}))));
    music.SetVolume(1.0);
    music.PlayMusic(0, 0, false);
    EXPECT_EQ(PullMs(10)[100], 10000);
    music.SetSongVolume(0, 0.5);
    EXPECT_EQ(PullMs(10)[100], 5000);
    music.SetVolume(0.5); // the global music volume on top
    EXPECT_EQ(PullMs(10)[100], 2500);
    music.StopAllMusic();
}

class FModPlayback : public MusicPlayback
{
protected:
    // A mono 44.1 kHz sample of frames frames of value, written where LoadSample finds its cache.
    void CacheSample(const std::string& name, std::vector<int16_t> samples)
    {
        const std::string path = Kavo::GetAppDataFolder() + "cached/" + name + ".wav";
        platform::MakeDirectories(path.substr(0, path.rfind('/')));
        soundtest::Write(path, MakeWave({{"fmt ", FmtChunk(1, 44100, 16)}, {"data", Samples16(samples)}}));
    }
};

TEST_F(FModPlayback, SampleSongsLoopOnlyWhenLoadedSo)
{
    FModMusicInterface music(platform::kInvisibleWindow);
    ASSERT_TRUE(music.IsLoaded());
    const std::string once = Fixture("tone_mono_22050.ogg", "once.ogg");
    const std::string loops = Fixture("tone_mono_22050.ogg", "loops.ogg");
    const std::string name = mFolder + "once";
    ASSERT_TRUE(music.LoadSampleSong(3, name, false));
    ASSERT_TRUE(music.LoadSampleSong(4, mFolder + "loops", true));
    music.PlayMusic(3, 0, false); // its no-loop argument does not matter
    music.PlayMusic(4, 0, true);
    EXPECT_GT(Peak(PullMs(100)), 1000);
    mClock.Advance(2000);
    EXPECT_FALSE(music.IsPlaying(3));
    EXPECT_TRUE(music.IsPlaying(4));

    // Decoded once: the next load of the name comes from the cache.
    std::remove(once.c_str());
    ASSERT_TRUE(music.LoadSampleSong(5, name, false));
    EXPECT_FALSE(music.LoadSampleSong(6, mFolder + "absent", false));
}

TEST_F(FModPlayback, TheCacheKeepsFoldersApart)
{
    FModMusicInterface music(platform::kInvisibleWindow);
    platform::MakeDirectories(mFolder + "a");
    platform::MakeDirectories(mFolder + "b");
    Fixture("tone_mono_22050.ogg", "a/x.ogg");
    Fixture("tone_stereo_44100.ogg", "b/x.ogg");
    platform::FSoundSample* a = music.LoadSample(mFolder + "a/x");
    platform::FSoundSample* b = music.LoadSample(mFolder + "b/x");
    ASSERT_TRUE(a && b);
    Kavo::FMOD_INSTANCE* fmod = Kavo::AcquireFModInstance();
    EXPECT_TRUE(fmod->FSOUND_Sample_GetMode(a) & platform::FSOUND_MONO);
    EXPECT_TRUE(fmod->FSOUND_Sample_GetMode(b) & platform::FSOUND_STEREO);
    fmod->FSOUND_Sample_Free(a);
    fmod->FSOUND_Sample_Free(b);
    Kavo::ReleaseFModInstance();
    EXPECT_TRUE(platform::PathExists(Kavo::GetAppDataFolder() + "cached/" + mFolder + "a/x.wav"));
    EXPECT_TRUE(platform::PathExists(Kavo::GetAppDataFolder() + "cached/" + mFolder + "b/x.wav"));
}

// The joined song plays the intro once and then repeats the whole loop part.
TEST_F(FModPlayback, JoinedSamplesRepeatTheWholeLoopPart)
{
    FModMusicInterface music(platform::kInvisibleWindow);
    std::vector<int16_t> loopPart(4410, 20000);
    std::fill(loopPart.begin() + 2205, loopPart.end(), 30000);
    CacheSample("joined/intro", std::vector<int16_t>(4410, 10000));
    CacheSample("joined/loop", loopPart);
    ASSERT_TRUE(music.LoadJoinedSample(1, "joined/intro", "joined/loop", true));
    music.SetVolume(1.0);
    music.PlayMusic(1, 0, false);
    // Channel volume 100 of 255.
    const int intro = 10000 * 100 / 255, first = 20000 * 100 / 255, second = 30000 * 100 / 255;
    auto levels = [&](const std::vector<int16_t>& s, int level)
    {
        int count = 0;
        for (size_t i = 0; i < s.size(); i += 2)
            count += std::abs(s[i] - level) <= 2;
        return count;
    };
    std::vector<int16_t> start = PullMs(100);
    EXPECT_EQ(levels(start, intro), 4410);
    std::vector<int16_t> later = PullMs(300);
    EXPECT_EQ(levels(later, intro), 0);
    EXPECT_GT(levels(later, first), 6000);
    EXPECT_GT(levels(later, second), 6000);

    // Parts of two rates do not join.
    const std::string fast = "joined/fast";
    CacheSample("joined/fast", std::vector<int16_t>(100, 1));
    Fixture("tone_mono_22050.ogg", "slow.ogg");
    EXPECT_FALSE(music.LoadJoinedSample(2, mFolder + "slow", fast, true));
    EXPECT_EQ(music.GetSong(2), nullptr);
}

TEST_F(FModPlayback, ModulesPlayOnceWhenAsked)
{
    FModMusicInterface music(platform::kInvisibleWindow);
    ASSERT_TRUE(music.LoadMusic(5, soundtest::Write(mFolder + "short.mod", soundtest::MakeModule(8))));
    music.PlayMusic(5, 0, true);
    EXPECT_GT(Peak(PullMs(50)), 1000);
    mClock.Advance(1000);
    EXPECT_FALSE(music.IsPlaying(5));
    music.PlayMusic(5, 0, false);
    mClock.Advance(1000);
    EXPECT_TRUE(music.IsPlaying(5));
    music.StopMusic(5);
    EXPECT_FALSE(music.IsPlaying(5));
}

TEST_F(FModPlayback, FadeOutAllStopsEverySong)
{
    FModMusicInterface music(platform::kInvisibleWindow);
    Fixture("tone_mono_22050.ogg", "f.ogg");
    for (int id = 0; id < 3; ++id)
    {
        ASSERT_TRUE(music.LoadSampleSong(id, mFolder + "f", true));
        music.PlayMusic(id, 0, false);
    }
    music.FadeOutAll(true, 0.01);
    for (int update = 0; update < 50; ++update)
        music.Update();
    for (int id = 0; id < 3; ++id)
        EXPECT_TRUE(music.IsPlaying(id)) << id;
    for (int update = 0; update < 51; ++update)
        music.Update();
    for (int id = 0; id < 3; ++id)
    {
        EXPECT_FALSE(music.IsPlaying(id)) << id;
        EXPECT_EQ(music.GetSong(id)->mVolume, 0.0);
    }
}

// With the alternative flag the sound manager decodes ".mp3" effects through the module.
TEST_F(FModPlayback, TheSoundManagerReadsMp3ThroughIt)
{
    Kavo::DSoundManager manager(platform::kMainWindow, true);
    const std::string name = mFolder + "blip";
    Fixture("tone_stereo_44100.mp3", "blip.mp3");
    ASSERT_TRUE(manager.LoadSoundFile(0, name));
    platform::SoundFormat format;
    manager.GetSourceSound(0)->GetFormat(format);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSecond, 44100u);
    EXPECT_GE(manager.GetSourceDataSize(0), 22050u * 4);
    EXPECT_TRUE(platform::PathExists(Kavo::DSoundManager::CachePathOf(name)));
    Kavo::DSoundManager plain(platform::kMainWindow, false);
    EXPECT_FALSE(plain.LoadSoundFile(0, mFolder + "blip2")); // no ".mp3" without it
}

TEST_F(FModPlayback, AMissingLibraryIsSaidOnce)
{
    std::vector<std::string> boxes;
    platform::SetMessageBoxAnswerer(
        [&](const std::string& text, const std::string& title, unsigned)
        {
            boxes.push_back(title + ": " + text);
            return platform::IDOK;
        });
    setenv("KAVO_MISSING_LIBRARIES", "fmod.dll", 1);
    {
        Kavo::DSoundManager manager(platform::kMainWindow, true);
        FModMusicInterface music(platform::kInvisibleWindow);
        EXPECT_FALSE(music.IsLoaded());
        EXPECT_FALSE(music.LoadMusic(0, "x.mod"));
        EXPECT_TRUE(manager.IsInitialized());
    }
    unsetenv("KAVO_MISSING_LIBRARIES");
    static const platform::LibraryEntry partial[] = {{"_FSOUND_SetBufferSize@4", nullptr},
                                                     {nullptr, nullptr}};
    platform::OverrideLibrary("fmod.dll", partial);
    EXPECT_FALSE(FModMusicInterface(platform::kInvisibleWindow).IsLoaded());
    platform::OverrideLibrary("fmod.dll", nullptr);
    platform::SetMessageBoxAnswerer({});
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "Error: Can't find fmod.dll.",
                         "Error: \"_FSOUND_SetBufferSize@4\" function not found in fmod.dll"}));
}

} // namespace
