// The 3D capability test against the renderer SDL runs headless, against injected faults, its
// verdict cache, and its passage through a demo.
#include "tests/display/DisplayRig.h"

#include "display/D3DTester.h"
#include "platform/display/Screen.h"
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

    // A run of the application that decides 3D by the test, on an adapter with 3D hardware (the
    // headless renderer stands in for it): the verdict is cached.
    struct Run
    {
        Run()
        {
            platform::AdapterIdentity hardware;
            hardware.description = "NVIDIA Test Adapter (dummy)";
            platform::GetDisplaySetup().identity = hardware;
            app.AcceptSoftwareRenderer(false);
            app.Initialize();
        }
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
        // The memory check's warning goes with the rest of the verdict when the cache is passed by.
        {"10 MB of video memory", [](platform::DisplaySetup& s) { s.videoMemory = 7u << 20; }, "", ""},
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

// A new verdict on little video memory (above the minimum, below the recommended) keeps 3D on:
// the memory check's warning does not outlive the step that passes the cache by.
TEST_F(D3DTest, LowVideoMemoryLeavesANewVerdictWithout3DOff)
{
    platform::GetDisplaySetup().videoMemory = 7u << 20; // with the dummy desktop's 3 MB: 10 MB
    platform::FakeClock clock;
    TestApp app;
    app.Initialize();
    ASSERT_NE(app.mDDInterface->mD3DTester, nullptr);
    EXPECT_TRUE(app.mDDInterface->mD3DTester->mNewVerdict);
    EXPECT_EQ(app.mDDInterface->mD3DTester->mWarning, "");
    EXPECT_TRUE(app.Is3DAccelerated());
}

// The card check refuses what rasterises in software, by the renderer's name, its acceleration
// flag and OpenGL's renderer string, and a display without a graphics device before any renderer
// is made; the settings' switch lets each pass, and its verdicts are not cached.
TEST_F(D3DTest, SoftwareRasterisersAreRefusedUnlessTheSwitchAcceptsThem)
{
    struct Case
    {
        const char* description;
        const char* renderer;
        bool accelerated;
        bool renderDevice;
        bool accept; // the switch
        const char* failure;
        bool warned; // "Unsupported video card: " + the description
        bool threeD;
    };
    const std::vector<Case> cases = {
        {"llvmpipe (LLVM 15.0.6, 256 bits) (x11)", "opengl", true, true, false, "", true, false},
        {"softpipe (x11)", "opengl", true, true, false, "", true, false},
        {"Mesa DRI swrast (x11)", "opengl", true, true, false, "", true, false},
        {"SDL software renderer (x11)", "software", false, true, false, "", true, false},
        {"Some Card (x11)", "opengl", false, true, false, "", true, false},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2 (x11)", "opengl", true, true, false, "", false, true},
        {"x11 display, no render device", "", true, false, false, "No 3D hardware.", false, false},
        {"llvmpipe (LLVM 15.0.6, 256 bits) (x11)", "opengl", true, true, true, "", false, true},
        {"SDL software renderer (x11)", "software", false, true, true, "", false, true},
        {"x11 display, no render device", "", true, false, true, "", false, true},
    };
    // A driver of today: the driver-age rule lets every card pass.
    const std::string driver = scratch::FreshFolder("driver-") + "driver.so";
    ASSERT_TRUE(platform::WriteFileAtomically(driver, "a driver"));
    for (const Case& c : cases)
    {
        platform::ResetDisplaySetup();
        platform::AdapterIdentity id;
        id.driver = driver;
        id.description = c.description;
        id.renderer = c.renderer;
        id.accelerated = c.accelerated;
        id.hasRenderDevice = c.renderDevice;
        platform::GetDisplaySetup().identity = id;
        const int renderersBefore = platform::RenderersMade();
        platform::FakeClock clock;
        TestApp app;
        app.AcceptSoftwareRenderer(c.accept);
        app.Initialize(); // 3D decided by the test
        const std::string what = std::string(c.description) + (c.accept ? ", accepted by the switch" : "");
        D3DTester* tester = app.mDDInterface->mD3DTester;
        ASSERT_NE(tester, nullptr) << what;
        EXPECT_EQ(tester->mFailureReason, c.failure) << what;
        EXPECT_EQ(tester->mWarning, c.warned ? "Unsupported video card: " + std::string(c.description) : "")
            << what;
        EXPECT_TRUE(tester->mNewVerdict) << what;
        EXPECT_EQ(app.Is3DAccelerated(), c.threeD) << what;
        // Without a graphics device no renderer is made for the test, nor for the software road.
        if (*c.failure)
        {
            EXPECT_EQ(platform::RenderersMade(), renderersBefore) << what;
        }
        if (!c.threeD)
        {
            EXPECT_FALSE(platform::ScreenHasRenderer()) << what;
        }
        EXPECT_EQ(Stored(app, "Version").empty(), c.accept) << what;
    }
}

// A start that finds its verdict in the cache (a software rasteriser refused) makes no renderer:
// the cache is keyed by what is known without one.
TEST_F(D3DTest, ACachedRefusalStartsWithoutARenderer)
{
    platform::AdapterIdentity id;
    id.description = "llvmpipe (LLVM 15.0.6, 256 bits) (x11)";
    id.renderer = "opengl";
    platform::GetDisplaySetup().identity = id;
    platform::FakeClock clock;
    std::string settings;
    {
        TestApp first;
        first.AcceptSoftwareRenderer(false);
        first.Initialize();
        ASSERT_FALSE(first.Is3DAccelerated());
        settings = first.mStore.Serialize();
    }
    TestApp again;
    std::string error;
    ASSERT_TRUE(again.mStore.Deserialize(settings, error)) << error; // the same player's settings
    const int renderersBefore = platform::RenderersMade();
    again.Initialize();
    ASSERT_NE(again.mDDInterface->mD3DTester, nullptr);
    EXPECT_FALSE(again.mDDInterface->mD3DTester->mNewVerdict);
    EXPECT_EQ(again.mDDInterface->mD3DTester->mWarning, "Unsupported video card: " + id.description);
    EXPECT_FALSE(again.Is3DAccelerated());
    EXPECT_EQ(platform::RenderersMade(), renderersBefore);
    EXPECT_FALSE(platform::ScreenHasRenderer());
}

TEST(D3DTesterHelpers, HighestBitIndex)
{
    const std::vector<std::pair<uint32_t, int>> cases = {{0, 0},       {1, 0},         {2, 1},
                                                         {0xF800, 15}, {0xFF0000, 23}, {0x80000000u, 31}};
    for (const auto& c : cases)
        EXPECT_EQ(Kavo::GetHighestBitIndex(c.first), c.second) << c.first;
}

} // namespace
