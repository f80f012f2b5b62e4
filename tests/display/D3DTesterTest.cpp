// The 3D capability test against the renderer SDL runs headless, against injected faults, its
// verdict cache, and its passage through a demo.
#include "tests/display/DisplayRig.h"

#include "display/D3DTester.h"
#include "platform/files/Files.h"
#include "platform/files/Registry.h"
#include "tests/ScratchNames.h"

#include <filesystem>

namespace
{

using apptest::TestApp;
using Kavo::D3DTester;

class D3DTest : public ::testing::Test
{
protected:
    void TearDown() override { platform::ResetDisplaySetup(); }

    // A run of the application that decides 3D by the test.
    struct Run
    {
        Run() { app.Initialize(); }
        D3DTester* Tester() { return app.mDDInterface->mD3DTester; }
        platform::FakeClock clock;
        TestApp app;
    };

    std::string Stored(TestApp& app, const char* name)
    {
        uint32_t type = 0;
        std::string data;
        app.ReadTest3DValue(name, type, data);
        return data.substr(0, data.find('\0'));
    }
};

TEST_F(D3DTest, TheRendererPassesTheFiveBlendChecksAndTheVerdictIsCached)
{
    Run run;
    ASSERT_NE(run.Tester(), nullptr);
    EXPECT_EQ(run.Tester()->mFailureReason, "");
    EXPECT_EQ(run.Tester()->mWarning, "");
    EXPECT_TRUE(run.Tester()->mNewVerdict);
    EXPECT_TRUE(run.app.Is3DAccelerated()); // decided by the test: on
    // The read-back of the last check: one-pixel stripes, odd columns white.
    EXPECT_EQ(run.Tester()->mReadBack.GetPixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(run.Tester()->mReadBack.GetPixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(run.Tester()->mReadBack.GetPixel(61, 61) & 0xFFFFFF, 0xFFFFFFu);

    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(run.app.ReadTest3DValue("Version", type, data));
    EXPECT_EQ(type, platform::kRegDword);
    EXPECT_EQ(data, std::string("\x02\0\0\0", 4));
    ASSERT_TRUE(run.app.ReadTest3DValue("DisplayGUID", type, data));
    EXPECT_EQ(data.size(), 16u);
    ASSERT_TRUE(run.app.ReadTest3DValue("FailureReason", type, data));
    EXPECT_EQ(data, std::string(1, '\0')); // an empty text with its terminator

    // The next start takes the cached verdict: no new verdict, same decision.
    D3DTester again(&run.app);
    again.Run(platform::kMainWindow, nullptr);
    EXPECT_FALSE(again.mNewVerdict);
    EXPECT_EQ(again.mFailureReason, "");
}

TEST_F(D3DTest, ACacheOfAnotherAdapterOrOtherLimitsIsIgnoredAndACachedFailureIsTestedAgain)
{
    Run run;
    ASSERT_NE(run.Tester(), nullptr);
    // Another adapter.
    platform::AdapterIdentity other;
    other.guid[0] = 0x42;
    other.description = "NVIDIA Test Adapter";
    platform::GetDisplaySetup().identity = other;
    D3DTester anotherAdapter(&run.app);
    anotherAdapter.Run(platform::kMainWindow, nullptr);
    EXPECT_TRUE(anotherAdapter.mNewVerdict);
    // Other limits.
    D3DTester otherLimits(&run.app);
    otherLimits.SetVidMemoryLimits(8, 14);
    otherLimits.Run(platform::kMainWindow, nullptr);
    EXPECT_TRUE(otherLimits.mNewVerdict);
    // A cached failure is not believed: the test runs again and passes (the verdict counts as
    // the cache's, whose adapter and limits it matched).
    run.app.WriteTest3DValue("FailureReason", platform::kRegString, std::string("Clip problem", 12) + '\0');
    D3DTester retest(&run.app);
    retest.SetVidMemoryLimits(8, 14);
    retest.Run(platform::kMainWindow, nullptr);
    EXPECT_FALSE(retest.mNewVerdict);
    EXPECT_EQ(retest.mFailureReason, "");
    EXPECT_EQ(Stored(run.app, "FailureReason"), "");
}

// An adapter of that name whose driver has no date.
std::function<void(platform::DisplaySetup&)> Adapter(const char* description)
{
    return [description](platform::DisplaySetup& s)
    {
        platform::AdapterIdentity id;
        id.description = description;
        s.identity = id;
    };
}

TEST_F(D3DTest, EachFaultGivesItsOwnReason)
{
    struct Case
    {
        const char* name;
        std::function<void(platform::DisplaySetup&)> fault;
        const char* failure;
        const char* warning;
    };
    // The dummy desktop's frame buffer counts in: 1024 x 768 x 4 bytes is 3 MB.
    const std::vector<Case> cases = {
        {"no device", [](platform::DisplaySetup& s) { s.faults.createDevice = true; },
         "DXError - CreateDevice: D3DERR_INVALID_DEVICE", ""},
        {"no surface", [](platform::DisplaySetup& s) { s.faults.createSurface = true; },
         "DXError - CreateSurface (Primary): DDERR_OUTOFVIDEOMEMORY", ""},
        {"no lock", [](platform::DisplaySetup& s) { s.faults.lock = true; },
         "DXError - Lock Texture: DDERR_SURFACEBUSY", ""},
        {"no drawing", [](platform::DisplaySetup& s) { s.faults.drawPrimitive = true; },
         "DXError - DrawPrimitive: DDERR_GENERIC", ""},
        {"4 MB of video memory", [](platform::DisplaySetup& s) { s.videoMemory = 1u << 20; },
         "Not enough video memory.", ""},
        {"10 MB of video memory", [](platform::DisplaySetup& s) { s.videoMemory = 7u << 20; }, "",
         "Low video memory."},
        {"an unknown card with an old driver", Adapter("Acme Graphics 3000"), "",
         "Unsupported video card: Acme Graphics 3000"},
        {"a RADEON with an old driver", Adapter("ATI Technologies RADEON 7000"), "", ""},
    };
    for (const Case& c : cases)
    {
        platform::ResetDisplaySetup();
        platform::FakeClock clock;
        TestApp app;
        app.Initialize(); // a window for the test to run on
        c.fault(platform::GetDisplaySetup());
        D3DTester tester(&app);
        tester.mUseCache = false;
        tester.Run(platform::kMainWindow, nullptr);
        EXPECT_EQ(tester.mFailureReason, c.failure) << c.name;
        EXPECT_EQ(tester.mWarning, c.warning) << c.name;
        EXPECT_EQ(platform::LockedDisplaySurfaces(), 0) << c.name;
    }
}

TEST_F(D3DTest, AFailedTestKeeps3DOffAndVoidsAStoredWish)
{
    platform::GetDisplaySetup().faults.createDevice = true;
    platform::FakeClock clock;
    TestApp app;
    app.RegistryWriteBoolean("Is3D", true);
    app.Initialize();
    EXPECT_FALSE(app.Is3DAccelerated());
    EXPECT_TRUE(app.mDDInterface->mInitialized);
    EXPECT_FALSE(app.Is3DAccelerationSupported());
    int stored = 0;
    EXPECT_FALSE(app.RegistryReadInteger("Is3D", &stored));
}

TEST_F(D3DTest, DemoPlaybackTakesTheRecordedVerdict)
{
    const std::string demoFile =
        std::filesystem::current_path().string() + "/verdict-" + scratch::TestName() + ".dmo";
    platform::RemoveFile(demoFile);
    {
        platform::FakeClock clock;
        TestApp app;
        app.SetCommandLine("-record \"-demofile=" + demoFile + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mRecordingDemo);
        EXPECT_TRUE(app.Is3DAccelerated());
        app.RunUpdates(3);
    }
    ASSERT_TRUE(platform::PathExists(demoFile));
    // Played back on a machine whose 3D device cannot be made: nothing is tested, and the
    // recorded verdict decides.
    platform::GetDisplaySetup().faults.createDevice = true;
    {
        platform::FakeClock clock;
        TestApp app;
        app.SetCommandLine("-play \"-demofile=" + demoFile + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mPlayingDemo);
        ASSERT_NE(app.mDDInterface->mD3DTester, nullptr);
        EXPECT_EQ(app.mDDInterface->mD3DTester->mFailureReason, "");
        EXPECT_TRUE(app.mDDInterface->mD3DTester->mNewVerdict);
        EXPECT_TRUE(app.mDDInterface->mTestFailureReason.empty());
    }
    platform::RemoveFile(demoFile);
}

TEST(D3DTesterHelpers, HighestBitIndex)
{
    const std::vector<std::pair<uint32_t, int>> cases = {{0, 0},       {1, 0},         {2, 1},
                                                         {0xF800, 15}, {0xFF0000, 23}, {0x80000000u, 31}};
    for (const auto& c : cases)
        EXPECT_EQ(Kavo::GetHighestBitIndex(c.first), c.second) << c.first;
}

} // namespace
