#include "media/BassMusicInterface.h"
#include "platform/music/BassModule.h"
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

// A "bass.dll" of the test's own that writes down every call the interface makes.
std::vector<std::string> gCalls;
uint32_t gNextHandle = 100;
uint32_t gActive = 1;

void Note(const std::string& call)
{
    gCalls.push_back(call);
}
std::string S(uint64_t v)
{
    return std::to_string(v);
}
std::string I(int64_t v)
{
    return std::to_string(v);
}

uint32_t GetVersion()
{
    return 0x02000000;
}
int Init1(int device, uint32_t freq, uint32_t flags, uint32_t window)
{
    Note("Init " + I(device) + " " + S(freq) + " " + S(flags) + " " + S(window));
    return 1;
}
int Init2(int device, uint32_t freq, uint32_t flags, uint32_t window, const void* classId)
{
    Note("Init " + I(device) + " " + S(freq) + " " + S(flags) + " " + S(window) + (classId ? " id" : " -"));
    return 1;
}
int Free()
{
    return Note("Free"), 1;
}
int Stop()
{
    return Note("Stop"), 1;
}
int Start()
{
    return Note("Start"), 1;
}
int SetGlobalVolumes(int m, int s, int t)
{
    return Note("SetGlobalVolumes " + I(m) + " " + I(s) + " " + I(t)), 1;
}
int SetVolume(uint32_t)
{
    return 1;
}
uint32_t GetVolume()
{
    return 100;
}
int GetInfo(platform::BassInfo*)
{
    return 1;
}
uint32_t SetConfig(uint32_t option, uint32_t value)
{
    return Note("SetConfig " + S(option) + " " + S(value)), value;
}
uint32_t GetConfig(uint32_t)
{
    return 0;
}
int ChannelStop(uint32_t h)
{
    return Note("ChannelStop " + S(h)), 1;
}
int ChannelPlay(uint32_t h, int restart)
{
    return Note("ChannelPlay " + S(h) + " " + I(restart)), 1;
}
int ChannelPause(uint32_t h)
{
    return Note("ChannelPause " + S(h)), 1;
}
int ChannelSetAttributes(uint32_t h, int f, int v, int p)
{
    return Note("ChannelSetAttributes " + S(h) + " " + I(f) + " " + I(v) + " " + I(p)), 1;
}
int ChannelGetAttributes(uint32_t, uint32_t*, uint32_t*, int*)
{
    return 1;
}
int ChannelSetPosition(uint32_t h, uint64_t p)
{
    return Note("ChannelSetPosition " + S(h) + " " + S(p)), 1;
}
uint64_t ChannelGetPosition(uint32_t)
{
    return 0;
}
int ChannelSetFlags(uint32_t h, uint32_t f)
{
    return Note("ChannelSetFlags " + S(h) + " " + S(f)), 1;
}
uint32_t ChannelIsActive(uint32_t)
{
    return gActive;
}
int ChannelSlideAttributes(uint32_t, int, int, int, uint32_t)
{
    return 0;
}
int ChannelIsSliding(uint32_t)
{
    return 0;
}
uint32_t ChannelGetLevel(uint32_t)
{
    return 0;
}
uint32_t ChannelSetFX(uint32_t, uint32_t)
{
    return 0;
}
int ChannelRemoveFX(uint32_t, uint32_t)
{
    return 0;
}
uint32_t ChannelGetData(uint32_t, void*, uint32_t)
{
    return 0;
}
uint32_t ChannelSetSync(uint32_t, uint32_t, uint64_t, void*, void*)
{
    return 0;
}
int ChannelRemoveSync(uint32_t, uint32_t)
{
    return 0;
}
uint32_t MusicLoad1(int mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags)
{
    Note("MusicLoad " + I(mem) + " " + static_cast<const char*>(file) + " " + S(offset) + " " + S(length) +
         " " + S(flags));
    return gNextHandle++;
}
uint32_t MusicLoad2(int mem, const void* file, uint64_t offset, uint32_t length, uint32_t flags,
                    uint32_t freq)
{
    Note("MusicLoad " + I(mem) + " " + static_cast<const char*>(file) + " " + S(offset) + " " + S(length) +
         " " + S(flags) + " " + S(freq));
    return gNextHandle++;
}
int MusicFree(uint32_t h)
{
    return Note("MusicFree " + S(h)), 1;
}
uint32_t StreamCreateFile(int mem, const void* file, uint64_t offset, uint64_t length, uint32_t flags)
{
    Note("StreamCreateFile " + I(mem) + " " + static_cast<const char*>(file) + " " + S(offset) + " " +
         S(length) + " " + S(flags));
    return gNextHandle++;
}
int StreamFree(uint32_t h)
{
    return Note("StreamFree " + S(h)), 1;
}
int FXSetParameters(uint32_t, const void*)
{
    return 0;
}
int FXGetParameters(uint32_t, void*)
{
    return 0;
}
uint32_t MusicGetAttribute(uint32_t, uint32_t)
{
    return 0;
}
uint32_t MusicSetAttribute(uint32_t h, uint32_t a, uint32_t v)
{
    return Note("MusicSetAttribute " + S(h) + " " + S(a) + " " + S(v)), v;
}
uint32_t MusicGetOrders(uint32_t)
{
    return 0;
}
uint32_t MusicGetOrderPosition(uint32_t)
{
    return 0;
}
uint32_t SampleLoad(int, const void*, uint64_t, uint32_t, uint32_t, uint32_t)
{
    return 0;
}
int SampleFree(uint32_t)
{
    return 0;
}
int SampleSetInfo(uint32_t, const void*)
{
    return 0;
}
int SampleGetInfo(uint32_t, void*)
{
    return 0;
}
uint32_t SampleGetChannel(uint32_t, int)
{
    return 0;
}
int SampleStop(uint32_t)
{
    return 0;
}
int ErrorGetCode()
{
    return 0;
}

template <typename F>
platform::EntryPoint E(F* f)
{
    return reinterpret_cast<platform::EntryPoint>(f);
}

// The entries of the fake module; version 2 has BASS_SetConfig.
std::vector<platform::LibraryEntry> FakeBass(bool version2, const std::string& leaveOut = "")
{
    std::vector<platform::LibraryEntry> e = {
        {"BASS_GetVersion", E(GetVersion)},
        {"BASS_Init", version2 ? E(Init2) : E(Init1)},
        {"BASS_Free", E(Free)},
        {"BASS_Stop", E(Stop)},
        {"BASS_Start", E(Start)},
        {"BASS_SetGlobalVolumes", E(SetGlobalVolumes)},
        {"BASS_SetVolume", E(SetVolume)},
        {"BASS_GetVolume", E(GetVolume)},
        {"BASS_GetInfo", E(GetInfo)},
        {"BASS_ChannelStop", E(ChannelStop)},
        {"BASS_ChannelPlay", E(ChannelPlay)},
        {"BASS_ChannelPause", E(ChannelPause)},
        {"BASS_ChannelSetAttributes", E(ChannelSetAttributes)},
        {"BASS_ChannelGetAttributes", E(ChannelGetAttributes)},
        {"BASS_ChannelSetPosition", E(ChannelSetPosition)},
        {"BASS_ChannelGetPosition", E(ChannelGetPosition)},
        {"BASS_ChannelSetFlags", E(ChannelSetFlags)},
        {"BASS_ChannelIsActive", E(ChannelIsActive)},
        {"BASS_ChannelSlideAttributes", E(ChannelSlideAttributes)},
        {"BASS_ChannelIsSliding", E(ChannelIsSliding)},
        {"BASS_ChannelGetLevel", E(ChannelGetLevel)},
        {"BASS_ChannelSetFX", E(ChannelSetFX)},
        {"BASS_ChannelRemoveFX", E(ChannelRemoveFX)},
        {"BASS_ChannelGetData", E(ChannelGetData)},
        {"BASS_ChannelSetSync", E(ChannelSetSync)},
        {"BASS_ChannelRemoveSync", E(ChannelRemoveSync)},
        {"BASS_MusicLoad", version2 ? E(MusicLoad2) : E(MusicLoad1)},
        {"BASS_MusicFree", E(MusicFree)},
        {"BASS_StreamCreateFile", E(StreamCreateFile)},
        {"BASS_StreamFree", E(StreamFree)},
        {"BASS_FXSetParameters", E(FXSetParameters)},
        {"BASS_FXGetParameters", E(FXGetParameters)},
        {"BASS_MusicGetAttribute", E(MusicGetAttribute)},
        {"BASS_MusicSetAttribute", E(MusicSetAttribute)},
        {"BASS_MusicGetOrders", E(MusicGetOrders)},
        {"BASS_MusicGetOrderPosition", E(MusicGetOrderPosition)},
        {"BASS_SampleLoad", E(SampleLoad)},
        {"BASS_SampleFree", E(SampleFree)},
        {"BASS_SampleSetInfo", E(SampleSetInfo)},
        {"BASS_SampleGetInfo", E(SampleGetInfo)},
        {"BASS_SampleGetChannel", E(SampleGetChannel)},
        {"BASS_SampleStop", E(SampleStop)},
        {"BASS_ErrorGetCode", E(ErrorGetCode)},
    };
    if (version2)
    {
        e.push_back({"BASS_SetConfig", E(SetConfig)});
        e.push_back({"BASS_GetConfig", E(GetConfig)});
    }
    std::vector<platform::LibraryEntry> kept;
    for (const auto& entry : e)
    {
        std::string name = entry.name;
        bool out = leaveOut == name ||
                   (leaveOut == "volumes" && (name == "BASS_SetGlobalVolumes" || name == "BASS_SetVolume"));
        if (!out) kept.push_back(entry);
    }
    kept.push_back({nullptr, nullptr});
    return kept;
}

class BassMusic : public soundtest::SoundTest
{
protected:
    void Install(bool version2, const std::string& leaveOut = "")
    {
        mEntries = FakeBass(version2, leaveOut);
        platform::OverrideLibrary("bass.dll", mEntries.data());
        gCalls.clear();
        gNextHandle = 100;
        gActive = 1;
    }
    void SetUp() override
    {
        soundtest::SoundTest::SetUp();
        platform::SetMessageBoxAnswerer(
            [this](const std::string& text, const std::string& title, unsigned)
            {
                mBoxes.push_back(title + ": " + text);
                return platform::IDOK;
            });
    }
    void TearDown() override
    {
        platform::OverrideLibrary("bass.dll", nullptr);
        platform::SetMessageBoxAnswerer({});
        soundtest::SoundTest::TearDown();
    }
    // The calls since the last look.
    std::vector<std::string> Calls()
    {
        std::vector<std::string> calls;
        calls.swap(gCalls);
        return calls;
    }
    // A loaded module (any extension but wav, ogg, mp3) as song 1, handle 100, and a stream as
    // song 2, handle 101.
    void LoadBoth(BassMusicInterface& music)
    {
        soundtest::Write(mFolder + "song.mod", "module");
        ASSERT_TRUE(music.LoadMusic(1, mFolder + "song.mod"));
        ASSERT_TRUE(music.LoadMusic(2, mFolder + "track0.ogg"));
        Calls();
    }

    std::vector<platform::LibraryEntry> mEntries;
    std::vector<std::string> mBoxes;
};

TEST_F(BassMusic, StartsAndStopsTheLibrary)
{
    Install(true);
    {
        BassMusicInterface music(platform::kInvisibleWindow);
        EXPECT_TRUE(music.IsLoaded());
        EXPECT_EQ(Calls(), (std::vector<std::string>{"Init 1 44100 0 2 -", "SetConfig 0 2000", "Start"}));
    }
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Stop", "Free"}));
    Install(false);
    BassMusicInterface older(platform::kInvisibleWindow);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Init -1 44100 0 2", "Start"}));
    EXPECT_TRUE(mBoxes.empty());
}

TEST_F(BassMusic, LoadsStreamsAndModules)
{
    const std::string module = soundtest::Write(mFolder + "tune.XM", "xm");
    Install(true);
    {
        BassMusicInterface music(platform::kInvisibleWindow);
        Calls();
        EXPECT_TRUE(music.LoadMusic(0, "music/track0.ogg"));
        EXPECT_TRUE(music.LoadMusic(1, module));
        EXPECT_FALSE(music.LoadMusic(2, mFolder + "absent.it")); // a module must open
        EXPECT_EQ(Calls(), (std::vector<std::string>{"StreamCreateFile 0 music/track0.ogg 0 0 0",
                                                     "MusicLoad 0 " + module + " 0 0 516 0"}));
        EXPECT_EQ(music.GetSong(0)->mHStream, 100u);
        EXPECT_EQ(music.GetSong(1)->mHMusic, 101u);
        // An id already loaded keeps its song, and the new handle is freed.
        EXPECT_TRUE(music.LoadMusic(0, "other.mp3"));
        EXPECT_TRUE(music.LoadMusic(1, module));
        EXPECT_EQ(Calls(),
                  (std::vector<std::string>{"StreamCreateFile 0 other.mp3 0 0 0", "StreamFree 102",
                                            "MusicLoad 0 " + module + " 0 0 516 0", "MusicFree 103"}));
        EXPECT_EQ(music.GetSong(0)->mHStream, 100u);
    }
    Install(false);
    BassMusicInterface older(platform::kInvisibleWindow);
    Calls();
    EXPECT_TRUE(older.LoadMusic(1, module));
    EXPECT_EQ(Calls(), (std::vector<std::string>{"MusicLoad 0 " + module + " 0 0 4"}));
}

TEST_F(BassMusic, PlaysModulesFromAnOrderAndStreamsFromAPosition)
{
    Install(true);
    BassMusicInterface music(platform::kInvisibleWindow);
    LoadBoth(music);
    music.PlayMusic(1, 3, false);
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"ChannelSetAttributes 100 -1 100 -101", "ChannelStop 100",
                                        "ChannelStop 100", "ChannelSetPosition 100 18446744071562067971",
                                        "ChannelSetFlags 100 33284", "ChannelPlay 100 0"}));
    music.PlayMusic(1, 0, true);
    EXPECT_EQ(Calls()[4], "ChannelSetFlags 100 33280");
    music.PlayMusic(2, 0, false);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelSetAttributes 101 -1 100 -101", "ChannelStop 101",
                                                 "ChannelSetFlags 101 4", "ChannelPlay 101 1"}));
    music.PlayMusic(2, -1, true);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelSetAttributes 101 -1 100 -101", "ChannelStop 101",
                                                 "ChannelSetFlags 101 0", "ChannelPlay 101 0"}));
    music.PlayMusic(2, 4000, false);
    EXPECT_EQ(Calls().back(), "ChannelSetPosition 101 4000");
    music.PlayMusic(7, 0, false); // unknown: nothing
    EXPECT_TRUE(Calls().empty());

    // A fade-in keeps the volume; a module from where it stands restarts.
    music.SetSongVolume(1, 0.25);
    Calls();
    music.FadeIn(1, -1, 0.1, false);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelStop 100", "ChannelSetAttributes 100 -1 25 -101",
                                                 "ChannelPlay 100 1"}));
    music.FadeIn(1, 2, 0.1, true);
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"ChannelStop 100", "ChannelSetAttributes 100 -1 25 -101",
                                        "ChannelStop 100", "ChannelSetPosition 100 18446744071562067970",
                                        "ChannelSetFlags 100 512", "ChannelPlay 100 0"}));
}

TEST_F(BassMusic, Fades)
{
    Install(true);
    BassMusicInterface music(platform::kInvisibleWindow);
    LoadBoth(music);
    music.StopMusic(1);
    music.FadeIn(1, -1, 0.01, false);
    for (int update = 1; update <= 99; ++update)
        music.Update();
    EXPECT_NEAR(music.GetSong(1)->mVolume, 0.99, 1e-9);
    EXPECT_EQ(music.GetSong(1)->mVolumeAdd, 0.01);
    music.Update(); // the hundredth reaches the top and stays there
    EXPECT_EQ(music.GetSong(1)->mVolume, 1.0);
    EXPECT_EQ(music.GetSong(1)->mVolumeAdd, 0.0);
    Calls();
    music.Update();
    EXPECT_TRUE(Calls().empty());

    // At volume 0 a fade-out changes nothing.
    music.StopMusic(2);
    music.FadeOut(2, true, 0.5);
    EXPECT_EQ(music.GetSong(2)->mVolumeAdd, 0.0);

    music.SetSongVolume(1, 0.8);
    Calls();
    music.SetSongMaxVolume(1, 0.5);
    EXPECT_EQ(music.GetSong(1)->mVolume, 0.5);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelSetAttributes 100 -1 50 -101"}));

    music.FadeOut(1, true, 0.3);
    music.Update();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelSetAttributes 100 -1 20 -101"}));
    music.Update(); // below 0: silent, stopped
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelStop 100", "ChannelSetAttributes 100 -1 0 -101"}));

    // FadeOutAll fades every song, whatever its volume.
    music.FadeOutAll(false, 0.1);
    EXPECT_EQ(music.GetSong(1)->mVolumeAdd, -0.1);
    EXPECT_EQ(music.GetSong(2)->mVolumeAdd, -0.1);
    music.Update();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelSetAttributes 100 -1 0 -101",
                                                 "ChannelSetAttributes 101 -1 0 -101"}));
}

TEST_F(BassMusic, VolumesPausesAndUnloading)
{
    Install(true);
    {
        BassMusicInterface music(platform::kInvisibleWindow);
        LoadBoth(music);
        music.SetVolume(0.85);
        EXPECT_EQ(Calls(), (std::vector<std::string>{"SetConfig 6 85", "SetConfig 5 85"}));
        music.SetMusicAmplify(1, 0.5);
        EXPECT_EQ(Calls(), (std::vector<std::string>{"MusicSetAttribute 100 0 50"}));

        gActive = 1;
        EXPECT_TRUE(music.IsPlaying(1));
        EXPECT_FALSE(music.IsPlaying(9));
        music.PauseAllMusic();
        music.ResumeAllMusic(); // none paused
        EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelPause 100", "ChannelPause 101"}));
        gActive = 3;
        EXPECT_FALSE(music.IsPlaying(1));
        music.ResumeAllMusic();
        EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelPlay 100 0", "ChannelPlay 101 0"}));

        music.UnloadMusic(1);
        EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelStop 100", "MusicFree 100"}));
        EXPECT_EQ(music.GetSong(1), nullptr);
        music.UnloadAllMusic();
        EXPECT_EQ(Calls(), (std::vector<std::string>{"ChannelStop 101", "StreamFree 101"}));
    }
    Install(false);
    BassMusicInterface older(platform::kInvisibleWindow);
    Calls();
    older.SetVolume(0.85);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"SetGlobalVolumes 34 34 34"}));
}

// A missing module or entry is said in a box; the interface then plays nothing.
TEST_F(BassMusic, AMissingLibraryLeavesSilence)
{
    struct Case
    {
        const char* leaveOut;
        const char* box;
    } cases[] = {
        {"BASS_ChannelPlay", "Error: BASS_ChannelPlay function not found in bass.dll"},
        {"volumes", "Error: Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll"},
    };
    for (const Case& c : cases)
    {
        Install(true, c.leaveOut);
        mBoxes.clear();
        BassMusicInterface music(platform::kInvisibleWindow);
        EXPECT_FALSE(music.IsLoaded()) << c.leaveOut;
        EXPECT_EQ(mBoxes, std::vector<std::string>{c.box});
        EXPECT_FALSE(music.LoadMusic(0, "music/track0.ogg"));
        EXPECT_TRUE(Calls().empty()) << c.leaveOut;
    }
    // Optional entries may be missing.
    Install(true, "BASS_ChannelGetLength");
    EXPECT_TRUE(BassMusicInterface(platform::kInvisibleWindow).IsLoaded());

    platform::OverrideLibrary("bass.dll", nullptr);
    setenv("KAVO_MISSING_LIBRARIES", "bass.dll", 1);
    mBoxes.clear();
    {
        BassMusicInterface first(platform::kInvisibleWindow);
        BassMusicInterface second(platform::kInvisibleWindow); // the table is shared: one box
        EXPECT_FALSE(first.IsLoaded());
        EXPECT_FALSE(second.LoadMusic(0, "music/track0.ogg"));
        second.SetVolume(0.5);
        second.Update();
    }
    unsetenv("KAVO_MISSING_LIBRARIES");
    EXPECT_EQ(mBoxes, std::vector<std::string>{"Error: Can't find bass.dll."});
}

} // namespace
