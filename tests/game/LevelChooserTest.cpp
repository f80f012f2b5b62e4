// The level chooser: which planets open, and where they lead.
#include "game/LevelChooserScreen.h"
#include "game/UserKeyName.h"
#include "puzzle/Board.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

namespace
{

using gametest::TestGameApp;
using Kavo::LevelChooserScreen;

TEST(LevelChooserPlanets, TheTopLevelOpensThePlanetsUpToItsOwn)
{
    const struct
    {
        int topLevel;
        int planets;
    } cases[] = {{-5, 0}, {0, 0},  {1, 1},   {2, 1},   {3, 2},  {12, 5},
                 {13, 5}, {14, 6}, {31, 12}, {33, 12}, {40, 12}};
    for (const auto& c : cases)
        EXPECT_EQ(LevelChooserScreen::PlanetCountForTopLevel(c.topLevel), c.planets) << c.topLevel;
    const int firstLevels[] = {1, 3, 6, 9, 11, 14, 16, 19, 22, 25, 28, 31};
    for (int i = 0; i < LevelChooserScreen::kPlanets; ++i)
        EXPECT_EQ(LevelChooserScreen::FirstLevelOfPlanet(i), firstLevels[i]) << i;
    EXPECT_EQ(LevelChooserScreen::FirstLevelOfPlanet(-1), 0);
    EXPECT_EQ(LevelChooserScreen::FirstLevelOfPlanet(12), 0);
}

class LevelChooser : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        app.RegistryWriteString("Users\\IVY\\DisplayName", "Ivy");
        app.RegistryWriteInteger("Users\\IVY\\GuiFlags", Kavo::UserProfile::kSkipTutorial);
        app.RegistryWriteString("Users\\DefaultName", "IVY");
        app.StartToMainMenu();
        app.RunUpdates(30);
    }
    // Untimed from the menu, with the player's top level in it.
    void OpenWithTopLevel(int topLevel)
    {
        app.ShowMainMenu();
        app.mPlayer.mTopLevelReached.clear();
        app.mPlayer.RaiseTopLevelReached(0, "", topLevel);
        ASSERT_TRUE(app.LoadRulesAndStart("properties/untimed_config.xml"));
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kLevelChooserScreen);
        chooser = app.mLevelChooser.get();
    }

    platform::FakeClock clock;
    TestGameApp app;
    LevelChooserScreen* chooser = nullptr;
};

// Planets of the levels reached are buttons in the manager, the rest are spots; a planet starts
// its first level.
TEST_F(LevelChooser, PlanetsOfLevelsReachedAreButtons)
{
    for (int topLevel : {3, 12, 33})
    {
        OpenWithTopLevel(topLevel);
        const int open = LevelChooserScreen::PlanetCountForTopLevel(topLevel);
        EXPECT_EQ(chooser->mUnlocked, open);
        for (int i = 0; i < LevelChooserScreen::kPlanets; ++i)
            EXPECT_EQ(app.mWidgetManager->HasWidget(chooser->PlanetButton(i)), i < open)
                << topLevel << " " << i;
        EXPECT_TRUE(app.mWidgetManager->HasWidget(chooser->mMainMenuButton));
    }

    // Level 12 reached: the fourth planet starts level 9.
    OpenWithTopLevel(12);
    app.ClickWidget(chooser->PlanetButton(3));
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_EQ(app.mBoard->level, 9);
    EXPECT_FALSE(app.mWidgetManager->HasWidget(chooser->PlanetButton(0)));

    // The main-menu button leads back without a game.
    app.AbandonGame(true);
    OpenWithTopLevel(3);
    app.ClickWidget(chooser->mMainMenuButton);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_FALSE(app.mGameActive);
}

// A screen shown without any level reached (not reached through the menu) shows no planets and
// reads nothing outside its table.
TEST_F(LevelChooser, NoLevelReachedShowsNoPlanets)
{
    app.mPlayer.mTopLevelReached.clear();
    app.ShowScreen(TestGameApp::kLevelChooserScreen);
    app.RunUpdates(3);
    EXPECT_EQ(app.mLevelChooser->mUnlocked, 0);
    for (int i = 0; i < LevelChooserScreen::kPlanets; ++i)
        EXPECT_FALSE(app.mWidgetManager->HasWidget(app.mLevelChooser->PlanetButton(i)));
}

} // namespace
