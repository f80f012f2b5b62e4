// The title screen and the loading of the game's resources behind it.
#include "game/TitleScreen.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "media/ResourceManager.h"
#include "platform/files/Files.h"
#include "puzzle/ResourceIds.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace
{

using gametest::TestGameApp;
using Kavo::TitleScreen;

class TitleScreenTest : public ::testing::Test
{
protected:
    void SetUp() override { gametest::PrepareGameFolder(); }

    // Rewrites the manifest with one replacement in its text.
    static void EditManifest(const std::string& from, const std::string& to)
    {
        std::string manifest;
        ASSERT_TRUE(platform::ReadFile("properties/resources.xml", manifest));
        ASSERT_NE(manifest.find(from), std::string::npos) << from;
        gametest::WriteTextFile("properties/resources.xml", Kavo::StringReplaceAll(manifest, from, to));
    }
    static bool Ready(TestGameApp& app)
    {
        Kavo::ButtonWidget* button = app.mTitleScreen->mContinueButton;
        return button->mVisible && !button->mDisabled;
    }

    platform::FakeClock clock;
};

TEST(TitleScreenProgress, TheShownProgressCatchesUpInSteps)
{
    // From 0 to 1 at once: 0.03 per draw while more than 0.1 behind, then 0.01, then exactly.
    double shown = 0.0;
    std::vector<double> steps;
    for (int draw = 0; draw < 60 && shown != 1.0; ++draw)
    {
        double next = TitleScreen::SmoothProgress(shown, 1.0);
        steps.push_back(next - shown);
        shown = next;
    }
    EXPECT_EQ(shown, 1.0);
    ASSERT_EQ(steps.size(), 30u + 9u + 1u);
    for (size_t i = 0; i < 30; ++i)
        EXPECT_NEAR(steps[i], 0.03, 1e-12) << i;
    for (size_t i = 30; i < 39; ++i) // from 0.90: 0.1 behind is no longer more than 0.1
        EXPECT_NEAR(steps[i], 0.01, 1e-12) << i;
    EXPECT_NEAR(steps[39], 0.01, 1e-9); // the last, exact step
    // A falling progress is followed at once.
    EXPECT_EQ(TitleScreen::SmoothProgress(0.8, 0.3), 0.3);

    EXPECT_EQ(TitleScreen::BadgeText(1.0), Kavo::StringTable::GetString(219));
    EXPECT_EQ(TitleScreen::BadgeText(0.999), Kavo::StringTable::GetString(220, "99"));
    EXPECT_EQ(TitleScreen::BadgeText(0.05), Kavo::StringTable::GetString(220, "05"));
    EXPECT_EQ(TitleScreen::BadgeText(0.0), Kavo::StringTable::GetString(220, "00"));
}

// Without splash pictures the button is ready as soon as loading has been handed over; a click
// anywhere builds the screens and shows the main menu.
TEST_F(TitleScreenTest, WithoutSplashesTheClickIsTakenAsSoonAsLoadingIsDone)
{
    TestGameApp app;
    app.Initialize();
    ASSERT_NE(app.mTitleScreen, nullptr);
    EXPECT_EQ(app.mTitleScreen->mMinUpdates, 0);
    EXPECT_EQ(app.mNumLoadingThreadTasks, app.mResourceManager->CountGroupResources("Game"));
    app.RunUpdates(5);
    EXPECT_FALSE(Ready(app));
    app.StartLoadingThread();
    app.mLoadingThread.join();
    EXPECT_EQ(app.mCompletedLoadingThreadTasks, app.mNumLoadingThreadTasks);
    app.RunUpdates(2);
    EXPECT_TRUE(Ready(app));
    EXPECT_NE(Kavo::IMAGE_PIECES, nullptr);
    EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 1.0);

    app.Click(123, 456);
    EXPECT_EQ(app.mTitleScreen, nullptr);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_EQ(std::count(app.sounds.begin(), app.sounds.end(), Kavo::SOUND_LONGCHAIN), 1);
}

// A double or a triple click on the title: the first click's fade runs all its 30 steps while
// each update readies the button again, the later clicks change nothing, and the game starts
// once: the main menu, and after its intro the name dialog of a new player. Asked at the first,
// a middle and the last steps of the fade.
TEST_F(TitleScreenTest, ADoubleOrTripleClickStartsTheGameOnceAfterTheWholeFade)
{
    const std::vector<std::vector<int>> laterClicks = {{1},    {2},     {15},     {29},    {30},
                                                       {1, 2}, {3, 15}, {12, 24}, {28, 30}};
    for (const std::vector<int>& atSteps : laterClicks)
    {
        SCOPED_TRACE(::testing::PrintToString(atSteps));
        TestGameApp app;
        app.StartUp();
        ASSERT_TRUE(Ready(app));
        auto seen = gametest::ClickDuringFade(
            app, [&app] { return app.mTitleScreen.get(); }, atSteps, 400, 300);
        app.Click(400, 300);
        app.RunUpdates(40);
        app.beforeStep = nullptr;
        EXPECT_EQ(seen->sent, int(atSteps.size()));
        EXPECT_EQ(seen->lastStep, 30) << "the first click's fade ran to its end";
        EXPECT_EQ(app.mTitleScreen, nullptr);
        EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
        EXPECT_TRUE(app.HasDialog(TestGameApp::kNameDialog));
        EXPECT_EQ(std::count(app.sounds.begin(), app.sounds.end(), Kavo::SOUND_LONGCHAIN), 1);
    }
}

// A splash keeps the click away for its 100 updates, however early loading ends.
TEST_F(TitleScreenTest, OnlyTheSecondSplashShowsForItsTimeAndHoldsTheClickBack)
{
    std::string manifest;
    ASSERT_TRUE(platform::ReadFile("properties/resources.xml", manifest));
    // The second splash gets a real picture: the tutorial's.
    size_t at = manifest.find("id=\"IMAGE_SPLASH2\" path=\"");
    ASSERT_NE(at, std::string::npos);
    size_t pathStart = at + std::string("id=\"IMAGE_SPLASH2\" path=\"").size();
    size_t pathEnd = manifest.find('"', pathStart);
    std::string path = manifest.substr(pathStart, pathEnd - pathStart);
    EditManifest("id=\"IMAGE_SPLASH2\" path=\"" + path,
                 "id=\"IMAGE_SPLASH2\" path=\"" +
                     Kavo::StringReplaceAll(path, "IMAGE_SPLASH2", "IMAGE_TUTORIAL"));

    TestGameApp app;
    app.Initialize();
    EXPECT_EQ(app.mTitleScreen->mMinUpdates, 100);
    app.StartLoadingThread();
    app.mLoadingThread.join();

    Kavo::MemoryImage screen;
    screen.Create(800, 600);
    auto shows = [&](Kavo::Image* image)
    {
        Kavo::Graphics g(&screen);
        app.mTitleScreen->Draw(&g);
        uint32_t expected = static_cast<Kavo::MemoryImage*>(image)->GetBits()[0];
        uint32_t drawn = screen.GetBits()[0];
        for (int shift = 0; shift < 32; shift += 8)
            if (std::abs(int((drawn >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 2) return false;
        return true;
    };
    app.RunUpdates(50);
    EXPECT_FALSE(Ready(app));
    EXPECT_TRUE(shows(Kavo::IMAGE_SPLASH2));
    app.RunUpdates(100 - app.mTitleScreen->mUpdateCount);
    EXPECT_TRUE(Ready(app)) << "from update 100, behind the splash";
    EXPECT_TRUE(shows(Kavo::IMAGE_SPLASH2));
    app.RunUpdates(200 - app.mTitleScreen->mUpdateCount);
    EXPECT_FALSE(shows(Kavo::IMAGE_SPLASH2)) << "the loading view from update 200";
}

// The shown progress follows once per drawn frame, and once it has caught up (the stars off) the
// title screen marks nothing: the screen stands still until the click.
TEST_F(TitleScreenTest, OnceTheBadgeHasCaughtUpTheScreenStandsStill)
{
    TestGameApp app;
    app.StartUp();
    ASSERT_LT(app.mTitleScreen->mShownProgress, 0.5); // drawn a frame or two since loading ended
    app.RunUpdates(100);
    EXPECT_EQ(app.mTitleScreen->mShownProgress, 1.0);
    for (int i = 0; i < 20; ++i)
    {
        app.RunUpdates(1);
        EXPECT_TRUE(app.mWidgetManager->DrawnRects().empty()) << i;
    }
    EXPECT_TRUE(Ready(app));
}

// A group that fails on the loading thread is reported by the main thread when it takes the
// loading over; the title screen never offers to go on, and the program ends.
TEST_F(TitleScreenTest, AFailedLoadIsShownByTheMainThreadAndEndsTheProgram)
{
    EditManifest("IMAGE_TOPTEN_OVERLAY\"/>", "IMAGE_TOPTEN_OVERLAY_MISSING\"/>");
    TestGameApp app;
    std::vector<std::thread::id> boxThreads;
    platform::SetMessageBoxAnswerer(
        [&](const std::string& text, const std::string& title, unsigned)
        {
            app.mBoxes.push_back(title + ": " + text);
            boxThreads.push_back(std::this_thread::get_id());
            return platform::IDOK;
        });
    app.Initialize();
    app.StartLoadingThread();
    app.mLoadingThread.join();
    EXPECT_TRUE(app.mBoxes.empty()) << "nothing shown from the loading thread";
    app.RunUpdates(3);
    ASSERT_EQ(app.mBoxes.size(), 1u);
    EXPECT_NE(app.mBoxes[0].find("IMAGE_TOPTEN_OVERLAY_MISSING"), std::string::npos) << app.mBoxes[0];
    EXPECT_EQ(boxThreads[0], std::this_thread::get_id());
    EXPECT_TRUE(app.mShutdown);
    EXPECT_FALSE(app.mTitleScreen->mLoaded);
}

// With nothing to load the progress reads complete, not 0 of 0.
TEST_F(TitleScreenTest, NothingToLoadReadsAsComplete)
{
    TestGameApp app;
    app.Initialize();
    app.mNumLoadingThreadTasks = 0;
    app.mLoadingThreadStarted = true;
    EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 1.0);
    EXPECT_DOUBLE_EQ(app.KavoAppBase::GetLoadingThreadProgress(), 0.0);
    app.mLoadingThreadStarted = false;
}

} // namespace
