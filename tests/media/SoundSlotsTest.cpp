// The sound manager's table of sound ids that the resource manager fills.
#include "media/DSoundManager.h"
#include "tests/media/SoundTestSupport.h"

#include <gtest/gtest.h>

namespace
{

class SoundSlots : public soundtest::SoundTest
{
};

TEST_F(SoundSlots, IdsAreTakenLowestFirstAndRefusedOutOfRange)
{
    soundtest::Write(mFolder + "click.wav",
                     soundtest::MakeWave({{"fmt ", soundtest::FmtChunk(1, 22050, 16)},
                                          {"data", soundtest::Samples16({1, 2, 3, 4})}}));
    Kavo::DSoundManager sounds(platform::kMainWindow, false);
    Kavo::SoundManager& manager = sounds;

    EXPECT_EQ(manager.GetFreeSoundId(), 0);
    EXPECT_TRUE(manager.LoadSoundFile(0, mFolder + "click")); // found with an extension
    EXPECT_EQ(manager.GetFreeSoundId(), 1);
    EXPECT_FALSE(manager.LoadSoundFile(1, mFolder + "nosuch"));
    EXPECT_EQ(manager.GetFreeSoundId(), 1);
    manager.ReleaseSound(0);
    EXPECT_EQ(manager.GetFreeSoundId(), 0);

    // Every id outside 0 to 255 is refused, negative ones included.
    for (int id : {-1, -256, 256, 1000})
    {
        EXPECT_FALSE(manager.LoadSoundFile(id, mFolder + "click")) << id;
        EXPECT_FALSE(manager.SetBaseVolume(id, 0.5)) << id;
        EXPECT_FALSE(manager.SetBasePan(id, 100)) << id;
        manager.ReleaseSound(id); // nothing to release
    }
    EXPECT_TRUE(manager.SetBaseVolume(255, 0.5));
    EXPECT_TRUE(manager.SetBasePan(0, -100));

    for (int id = 0; id < Kavo::SoundManager::kMaxSounds; ++id)
        ASSERT_TRUE(manager.LoadSoundFile(id, mFolder + "click"));
    EXPECT_EQ(manager.GetFreeSoundId(), -1);
    EXPECT_EQ(manager.GetNumSounds(), 256);
    manager.ReleaseSound(200);
    EXPECT_EQ(manager.GetFreeSoundId(), 200);
}

} // namespace
