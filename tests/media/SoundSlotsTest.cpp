// The sound manager's table of sound ids that the resource manager fills.
#include "media/DSoundManager.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{

TEST(SoundSlots, IdsAreTakenLowestFirstAndRefusedOutOfRange)
{
    std::string folder = scratch::FreshFolder("sounds-");
    std::ofstream(folder + "click.ogg") << "x";
    std::ofstream(folder + "named.raw") << "x";
    Kavo::DSoundManager sounds(platform::kNoWindow, false);
    Kavo::SoundManager& manager = sounds;

    EXPECT_EQ(manager.GetFreeSoundId(), 0);
    EXPECT_TRUE(manager.LoadSoundFile(0, folder + "click")); // found with an extension
    EXPECT_EQ(manager.GetFreeSoundId(), 1);
    EXPECT_TRUE(manager.LoadSoundFile(1, folder + "named.raw")); // found as given
    EXPECT_FALSE(manager.LoadSoundFile(2, folder + "nosuch"));
    EXPECT_EQ(manager.GetFreeSoundId(), 2);
    manager.ReleaseSound(0);
    EXPECT_EQ(manager.GetFreeSoundId(), 0);

    // Every id outside 0 to 255 is refused, negative ones included.
    for (int id : {-1, -256, 256, 1000})
    {
        EXPECT_FALSE(manager.LoadSoundFile(id, folder + "click")) << id;
        EXPECT_FALSE(manager.SetBaseVolume(id, 0.5)) << id;
        EXPECT_FALSE(manager.SetBasePan(id, 100)) << id;
        manager.ReleaseSound(id); // nothing to release
    }
    EXPECT_TRUE(manager.SetBaseVolume(255, 0.5));
    EXPECT_TRUE(manager.SetBasePan(0, -100));

    for (int id = 0; id < Kavo::SoundManager::kMaxSounds; ++id)
        ASSERT_TRUE(manager.LoadSoundFile(id, folder + "click"));
    EXPECT_EQ(manager.GetFreeSoundId(), -1);
    manager.ReleaseSound(200);
    EXPECT_EQ(manager.GetFreeSoundId(), 200);
}

} // namespace
