#include "AppTestSupport.h"

#include "media/BassMusicInterface.h"
#include "media/DSoundManager.h"
#include "media/FModMusicInterface.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/sound/HeadlessSoundOutput.h"
#include "platform/sound/SoundFilePlayer.h"
#include "platform/sound/SoundMixer.h"

#include <cstdlib>
#include <typeinfo>

namespace
{

using apptest::TestApp;
using namespace platform;

// A short mono 16-bit wave of one level.
std::string Wave(int frames, int16_t level)
{
    std::string data;
    for (int i = 0; i < frames; ++i)
        AppendLE16(data, uint16_t(level));
    std::string s = "RIFF";
    AppendLE32(s, uint32_t(36 + data.size()));
    s += "WAVEfmt ";
    AppendLE32(s, 16);
    AppendLE16(s, 1);
    AppendLE16(s, 1);
    AppendLE32(s, 44100);
    AppendLE32(s, 88200);
    AppendLE16(s, 2);
    AppendLE16(s, 16);
    s += "data";
    AppendLE32(s, uint32_t(data.size()));
    return s + data;
}

TEST(SoundServices, TheApplicationMakesTheSoundManagerAndTheMusicBackEnd)
{
    FakeClock clock;
    HeadlessSoundOutput output;
    TestApp app;
    app.Initialize();
    auto* sounds = dynamic_cast<Kavo::DSoundManager*>(app.GetSoundManager());
    ASSERT_TRUE(sounds);
    EXPECT_TRUE(sounds->IsInitialized());
    auto* music = dynamic_cast<Kavo::BassMusicInterface*>(app.mMusicInterface);
    ASSERT_TRUE(music);

    // A sample plays once and releases itself.
    ASSERT_TRUE(WriteFileAtomically("services-blip.wav", Wave(441, 1000)));
    ASSERT_TRUE(sounds->LoadSoundFile(4, "services-blip"));
    app.PlaySamplePanned(4, -10000);
    EXPECT_EQ(SoundMixer::Get().PlayingVoices(), 1);
    std::vector<int16_t> out = output.Pull(2);
    EXPECT_EQ(out[0], 845); // at the effects volume 0.85: -146 hundredths of a decibel
    EXPECT_EQ(out[1], 0);   // panned hard left
    clock.Advance(50);
    app.RunUpdates(1);
    output.CatchUp();
    EXPECT_EQ(SoundMixer::Get().PlayingVoices(), 0);

    // Every update moves the music's fades on.
    ASSERT_TRUE(WriteFileAtomically("services-song.wav", Wave(44100, 2000)));
    ASSERT_TRUE(music->LoadMusic(1, "services-song.wav"));
    music->FadeIn(1, 0, 0.1, false);
    app.RunUpdates(3);
    EXPECT_NEAR(music->GetSong(1)->mVolume, 0.3, 1e-9);
    EXPECT_TRUE(music->IsPlaying(1));
    app.Shutdown(); // stops every song
    EXPECT_FALSE(music->IsPlaying(1));
}

TEST(SoundServices, TheFlagsChooseTheMusic)
{
    FakeClock clock;
    HeadlessSoundOutput output;
    {
        TestApp app;
        app.mNoSoundNeeded = true;
        app.Initialize();
        EXPECT_EQ(typeid(*app.mMusicInterface), typeid(Kavo::MusicInterface));
        EXPECT_FALSE(static_cast<Kavo::DSoundManager*>(app.GetSoundManager())->IsInitialized());
    }
    {
        TestApp app;
        app.mWantFMod = true;
        app.Initialize();
        EXPECT_TRUE(dynamic_cast<Kavo::FModMusicInterface*>(app.mMusicInterface));
    }
    // A music library that is missing is said in its box; the game goes on without music.
    setenv("KAVO_MISSING_LIBRARIES", "bass.dll", 1);
    {
        TestApp app;
        app.Initialize();
        EXPECT_EQ(typeid(*app.mMusicInterface), typeid(Kavo::MusicInterface));
        EXPECT_EQ(app.mBoxes, std::vector<std::string>{"Error: Can't find bass.dll."});
        EXPECT_TRUE(app.GetSoundManager()->IsInitialized());
    }
    unsetenv("KAVO_MISSING_LIBRARIES");
}

TEST(SoundServices, CtrlAltDPlaysTheMenuSound)
{
    FakeClock clock;
    HeadlessSoundOutput output;
    const std::string sound = ProgramFolder() + "sounds/menu_command.wav";
    MakeDirectories(ProgramFolder() + "sounds");
    ASSERT_TRUE(WriteFileAtomically(sound, Wave(4410, 3000)));
    TestApp app;
    app.mNoSoundNeeded = true; // the menu sound is the desktop's, not the game's
    app.Initialize();
    for (uint64_t key : {uint64_t(VK_CONTROL), uint64_t(VK_MENU), uint64_t('D')})
    {
        Message m;
        m.message = WM_KEYDOWN;
        m.wParam = key;
        m.window = kMainWindow;
        app.WindowProc(m);
    }
    app.RunUpdates(1);
    EXPECT_TRUE(app.mDebugKeysEnabled);
    EXPECT_EQ(output.Pull(1), (std::vector<int16_t>{3000, 3000}));
    SoundFilePlayer::Stop();
    RemoveFile(sound);
}

} // namespace
