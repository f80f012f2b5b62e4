#include "media/DSoundManager.h"
#include "platform/sound/SoundMixer.h"
#include "platform/window/Window.h"
#include "tests/media/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Kavo::DSoundInstance;
using Kavo::DSoundManager;
using soundtest::FmtChunk;
using soundtest::MakeWave;
using soundtest::Samples16;

struct ProgramExit
{
    int code;
};

class SoundManagerTest : public soundtest::SoundTest
{
protected:
    // A mono 16-bit sound of frames frames at rate Hz, loaded into soundId.
    void LoadTone(DSoundManager& manager, int soundId, uint32_t rate, int frames,
                  const std::string& name = "tone")
    {
        std::vector<int16_t> samples(size_t(frames), 1000);
        std::string path = mFolder + name + std::to_string(soundId);
        soundtest::Write(path + ".wav",
                         MakeWave({{"fmt ", FmtChunk(1, rate, 16)}, {"data", Samples16(samples)}}));
        ASSERT_TRUE(manager.LoadSoundFile(soundId, path));
    }

    static int32_t Volume(DSoundInstance* instance)
    {
        int32_t volume = 1;
        instance->GetSoundBuffer()->GetVolume(volume);
        return volume;
    }
    static int32_t Pan(DSoundInstance* instance)
    {
        int32_t pan = 1;
        instance->GetSoundBuffer()->GetPan(pan);
        return pan;
    }
    static uint32_t Frequency(DSoundInstance* instance)
    {
        uint32_t frequency = 0;
        instance->GetSoundBuffer()->GetFrequency(frequency);
        return frequency;
    }
};

TEST_F(SoundManagerTest, VolumesBecomeDecibels)
{
    struct Case
    {
        double volume;
        int decibels;
    } cases[] = {{1.0, 0}, {0.5, -605}, {0.1, -1682}, {0.05, -1956}, {0.04, -10000}, {0.0, -10000}};
    for (const Case& c : cases)
        EXPECT_EQ(DSoundManager::VolumeToDecibels(c.volume), c.decibels) << c.volume;

    // An instance's volume is its own x the sound's base volume x the manager's.
    DSoundManager manager(platform::kMainWindow, false);
    LoadTone(manager, 3, 22050, 100);
    ASSERT_TRUE(manager.SetBaseVolume(3, 0.5));
    DSoundInstance* instance = manager.GetSoundInstance(3);
    ASSERT_TRUE(instance);
    EXPECT_EQ(Volume(instance), -605);
    instance->SetVolume(0.2);
    EXPECT_EQ(Volume(instance), -1682);
    EXPECT_DOUBLE_EQ(instance->GetVolume(), 0.2);
    manager.SetVolume(0.5); // 0.2 x 0.5 x 0.5
    EXPECT_EQ(Volume(instance), DSoundManager::VolumeToDecibels(0.05));
    EXPECT_EQ(Volume(instance), -1956);
}

TEST_F(SoundManagerTest, PansAddUp)
{
    DSoundManager manager(platform::kMainWindow, false);
    LoadTone(manager, 0, 22050, 100);
    ASSERT_TRUE(manager.SetBasePan(0, 300));
    DSoundInstance* instance = manager.GetSoundInstance(0);
    ASSERT_TRUE(instance);
    EXPECT_EQ(Pan(instance), 300);
    instance->SetPan(-1000);
    EXPECT_EQ(Pan(instance), -700);
    instance->SetBasePan(0);
    EXPECT_EQ(Pan(instance), -1000);
}

TEST_F(SoundManagerTest, PitchIsTheTwelfthRootOfTwoPerSemitone)
{
    DSoundManager manager(platform::kMainWindow, false);
    LoadTone(manager, 0, 22050, 100);
    DSoundInstance* instance = manager.GetSoundInstance(0);
    ASSERT_TRUE(instance);
    EXPECT_EQ(Frequency(instance), 22050u);
    struct Case
    {
        double steps;
        uint32_t frequency;
    } cases[] = {{12, 44100}, {-12, 11024}, {0, 22050}, {-120, 100}, {60, 100000}, {7, 33037}};
    for (const Case& c : cases) // truncated: 11024.99... Hz is 11024
    {
        instance->AdjustPitch(c.steps);
        EXPECT_EQ(Frequency(instance), c.frequency) << c.steps;
    }
}

TEST_F(SoundManagerTest, ThirtyTwoInstancesAndTheSweep)
{
    DSoundManager manager(platform::kMainWindow, false);
    LoadTone(manager, 7, 44100, 4410); // 100 ms
    mClock.Advance(2000);              // the first search sweeps and notes the time
    std::vector<DSoundInstance*> instances;
    for (int i = 0; i < 32; ++i)
    {
        DSoundInstance* instance = manager.GetSoundInstance(7);
        ASSERT_TRUE(instance) << i;
        ASSERT_TRUE(instance->Play(false, true));
        instances.push_back(instance);
    }
    EXPECT_EQ(manager.GetSoundInstance(7), nullptr); // all 32 still play
    EXPECT_TRUE(instances[0]->IsPlaying());

    mClock.Advance(150); // every one has ended and releases itself when asked
    DSoundInstance* next = manager.GetSoundInstance(7);
    ASSERT_TRUE(next);
    EXPECT_EQ(manager.GetNumInstanceSlotsInUse(), 32); // slot 0 was reused, the rest wait for the sweep
    ASSERT_TRUE(next->Play(true, false));

    mClock.Advance(700); // 850 ms since the last sweep: none yet
    ASSERT_TRUE(manager.GetSoundInstance(7));
    EXPECT_EQ(manager.GetNumInstanceSlotsInUse(), 32);

    mClock.Advance(200); // past a second: the released ones go
    ASSERT_TRUE(manager.GetSoundInstance(7));
    EXPECT_EQ(manager.GetNumInstanceSlotsInUse(), 3); // the looping one, the last two made
    EXPECT_TRUE(next->IsPlaying());
}

TEST_F(SoundManagerTest, IdsOutsideTheSlotsAreRefused)
{
    DSoundManager manager(platform::kMainWindow, false);
    LoadTone(manager, 0, 22050, 100);
    for (int id : {-1, -256, 256, 1000})
    {
        EXPECT_EQ(manager.GetSoundInstance(id), nullptr) << id;
        EXPECT_FALSE(manager.SetBaseVolume(id, 0.5)) << id;
        EXPECT_FALSE(manager.SetBasePan(id, 10)) << id;
        EXPECT_FALSE(manager.LoadSoundFile(id, mFolder + "tone0")) << id;
        EXPECT_FALSE(manager.WriteCachedWave(id, "x.ogg", mFolder + "x.wav")) << id;
        EXPECT_FALSE(manager.LoadWave(id, mFolder + "tone0.wav")) << id;
        manager.ReleaseSound(id);
    }
    EXPECT_EQ(manager.GetNumSounds(), 1);
}

TEST_F(SoundManagerTest, SlotsAndNames)
{
    DSoundManager manager(platform::kMainWindow, false);
    EXPECT_TRUE(manager.IsInitialized());
    EXPECT_EQ(manager.GetFreeSoundId(), 0);
    LoadTone(manager, 0, 22050, 100);
    EXPECT_EQ(manager.GetFreeSoundId(), 1);
    const std::string known = mFolder + "tone0";
    EXPECT_EQ(manager.FindOrLoadSound(known), 0); // already loaded: no new slot

    soundtest::Write(mFolder + "a.wav", MakeWave({{"data", Samples16({1, 2, 3, 4})}}));
    soundtest::Write(mFolder + "b.wav", MakeWave({{"data", Samples16({1, 2, 3, 4})}}));
    EXPECT_EQ(manager.FindOrLoadSound(mFolder + "a"), 255);
    EXPECT_EQ(manager.FindOrLoadSound(mFolder + "b"), 254);
    EXPECT_EQ(manager.FindOrLoadSound(mFolder + "a"), 255);
    EXPECT_EQ(manager.FindOrLoadSound(mFolder + "missing"), -1);
    EXPECT_EQ(manager.GetNumSounds(), 3);

    manager.ReleaseSound(255);
    EXPECT_EQ(manager.GetSourceSound(255), nullptr);
    EXPECT_EQ(manager.GetNumSounds(), 2);
    manager.ReleaseAllSounds();
    EXPECT_EQ(manager.GetNumSounds(), 0);
    EXPECT_EQ(manager.GetSoundInstance(0), nullptr); // no sound in the slot
}

TEST_F(SoundManagerTest, StopAllSoundsKeepsOneShotsReleasing)
{
    DSoundManager manager(platform::kMainWindow, false);
    LoadTone(manager, 0, 22050, 22050);
    DSoundInstance* oneShot = manager.GetSoundInstance(0);
    DSoundInstance* looping = manager.GetSoundInstance(0);
    ASSERT_TRUE(oneShot && looping);
    ASSERT_TRUE(oneShot->Play(false, true));
    ASSERT_TRUE(looping->Play(true, false));
    EXPECT_TRUE(looping->IsPlaying());
    manager.StopAllSounds();
    EXPECT_FALSE(oneShot->IsPlaying());
    EXPECT_FALSE(looping->IsPlaying());
    EXPECT_TRUE(oneShot->IsReleased());
    EXPECT_FALSE(looping->IsReleased());
    // A plain stop clears the instance's own auto-release.
    ASSERT_TRUE(looping->Play(false, true));
    looping->Stop();
    EXPECT_FALSE(looping->IsReleased());
}

TEST_F(SoundManagerTest, WithoutAWindowNothingPlays)
{
    DSoundManager manager(platform::kNoWindow, false);
    EXPECT_FALSE(manager.IsInitialized());
    EXPECT_TRUE(manager.LoadSoundFile(4, mFolder + "nothing"));
    EXPECT_EQ(manager.GetNumSounds(), 0);
    DSoundInstance* instance = manager.GetSoundInstance(4);
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance->GetSoundBuffer(), nullptr);
    EXPECT_FALSE(instance->Play(false, true));
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_TRUE(instance->IsReleased());
    EXPECT_EQ(platform::SoundMixer::Get().PlayingVoices(), 0);
}

TEST_F(SoundManagerTest, AFailedDuplicationEndsTheProgram)
{
    std::vector<std::string> boxes;
    platform::SetMessageBoxAnswerer(
        [&](const std::string& text, const std::string& title, unsigned)
        {
            boxes.push_back(title + ": " + text);
            return platform::IDOK;
        });
    auto* previous = DSoundManager::sExitHandler;
    DSoundManager::sExitHandler = [](int code) { throw ProgramExit{code}; };
    {
        DSoundManager manager(platform::kMainWindow, false);
        LoadTone(manager, 0, 22050, 100);
        for (int32_t failure : {platform::DSERR_OUTOFMEMORY, platform::DSERR_NODRIVER})
        {
            platform::SoundDevice::FailNextDuplicate(failure);
            int code = -1;
            try
            {
                manager.GetSoundInstance(0);
            }
            catch (const ProgramExit& exit)
            {
                code = exit.code;
            }
            EXPECT_EQ(code, 0);
        }
        EXPECT_EQ(manager.GetNumInstanceSlotsInUse(), 0);
    }
    DSoundManager::sExitHandler = previous;
    platform::SetMessageBoxAnswerer({});
    EXPECT_EQ(boxes, std::vector<std::string>{"Hey: DSERR_OUTOFMEMORY"}); // only the five named codes
}

TEST_F(SoundManagerTest, TheMixerVolumeIsKept)
{
    DSoundManager manager(platform::kMainWindow, false);
    manager.SetMixerVolume(0.5);
    EXPECT_DOUBLE_EQ(manager.GetMixerVolume(), 32767 / 65535.0);
    manager.SetMixerVolume(1.0);
    EXPECT_DOUBLE_EQ(manager.GetMixerVolume(), 1.0);
}

} // namespace
