// The main menu: its layout, its planet, its buttons.
#include "base/PathUtils.h"
#include "base/StringTable.h"
#include "game/ChallengeGridScreen.h"
#include "game/GameChooserScreen.h"
#include "game/UserKeyName.h"
#include "platform/files/Files.h"
#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "puzzle/Board.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

using gametest::TestGameApp;
using Kavo::GameChooserScreen;
namespace syn = platform::synthetic;

class MainMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        app.RegistryWriteString("Users\\RIA\\DisplayName", "Ria");
        app.RegistryWriteString("Users\\DefaultName", "RIA");
    }
    void Start()
    {
        app.StartToMainMenu();
        menu = app.mMainMenu.get();
        app.RunUpdates(30);
    }
    Kavo::FancyButton* Button(int id) { return menu->Button(id); }
    // The mouse onto the middle of a button (or onto empty space for null).
    void Hover(int id)
    {
        if (id == 0)
        {
            syn::MouseMove(400, 120);
        }
        else
        {
            Kavo::FancyButton* button = Button(id);
            syn::MouseMove(button->mX + button->mWidth / 2, button->mY + button->mHeight / 2);
        }
        app.RunUpdates(2); // the move, then the fractional update that reacts to it
    }
    int Count(int sound) { return int(std::count(app.sounds.begin(), app.sounds.end(), sound)); }

    platform::FakeClock clock;
    TestGameApp app;
    GameChooserScreen* menu = nullptr;
};

TEST_F(MainMenu, LaysItsButtonsOutWithResumeOnlyForAGameToGoBackTo)
{
    app.StartToMainMenu();
    menu = app.mMainMenu.get();
    EXPECT_EQ(menu->mState, GameChooserScreen::kIntro);
    EXPECT_FALSE(Button(GameChooserScreen::kUntimed)->mVisible) << "hidden while the intro runs";
    EXPECT_TRUE(Button(GameChooserScreen::kQuit)->mVisible);
    app.RunUpdates(30);
    EXPECT_EQ(menu->mState, GameChooserScreen::kIdle);
    EXPECT_TRUE(Button(GameChooserScreen::kUntimed)->mVisible);

    const struct
    {
        int id;
        int y;
    } column[] = {{GameChooserScreen::kUntimed, 178},       {GameChooserScreen::kTimed, 217},
                  {GameChooserScreen::kChallengeGrid, 256}, {GameChooserScreen::kMastermind, 295},
                  {GameChooserScreen::kSpeedblitz, 334},    {GameChooserScreen::kCrazy, 373}};
    for (const auto& c : column)
    {
        EXPECT_EQ(Button(c.id)->GetRect(), Kavo::Rect(53, c.y, 220, 39)) << c.id;
        EXPECT_TRUE(app.mWidgetManager->HasWidget(Button(c.id))) << c.id;
    }
    EXPECT_EQ(Button(GameChooserScreen::kOptions)->GetRect(), Kavo::Rect(83, 555, 140, 60));
    EXPECT_EQ(Button(GameChooserScreen::kQuit)->GetRect(), Kavo::Rect(627, 555, 100, 60));
    EXPECT_EQ(Button(GameChooserScreen::kTopTen)->mLabel, Kavo::StringTable::GetString(185));
    EXPECT_FALSE(app.mWidgetManager->HasWidget(Button(GameChooserScreen::kResume)));

    // A player with a saved game: resume on top, enabled again, the column one row lower.
    Button(GameChooserScreen::kResume)->SetDisabled(true);
    app.mSavedGamePresent = true;
    menu->RefreshForPlayer();
    EXPECT_TRUE(app.mWidgetManager->HasWidget(Button(GameChooserScreen::kResume)));
    EXPECT_FALSE(Button(GameChooserScreen::kResume)->mDisabled);
    EXPECT_EQ(Button(GameChooserScreen::kResume)->GetRect(), Kavo::Rect(53, 164, 220, 39));
    EXPECT_EQ(Button(GameChooserScreen::kUntimed)->mY, 203);
    EXPECT_EQ(Button(GameChooserScreen::kCrazy)->mY, 398);
}

TEST_F(MainMenu, TheHarderModesStayGreyUntilThePlayerOpensThem)
{
    Start();
    const struct
    {
        int guiFlags, gridPages;
        bool mastermind, speedblitz, crazy;
    } cases[] = {{0, 0, true, true, true},
                 {2, 0, false, true, true},
                 {4, 2, true, false, true},
                 {6, 3, false, false, false}};
    for (const auto& c : cases)
    {
        app.mPlayer.mGuiFlags = c.guiFlags;
        app.mPlayer.mUnlockedGridPages = c.gridPages;
        menu->RefreshForPlayer();
        EXPECT_EQ(Button(GameChooserScreen::kMastermind)->IsGreyed(), c.mastermind) << c.guiFlags;
        EXPECT_EQ(Button(GameChooserScreen::kSpeedblitz)->IsGreyed(), c.speedblitz) << c.guiFlags;
        EXPECT_EQ(Button(GameChooserScreen::kCrazy)->IsGreyed(), c.crazy) << c.gridPages;
        EXPECT_FALSE(Button(GameChooserScreen::kUntimed)->IsGreyed());
    }
    // A greyed mode tells how to open it, and pressing it does nothing.
    app.mPlayer.mGuiFlags = 0;
    menu->RefreshForPlayer();
    Hover(GameChooserScreen::kMastermind);
    EXPECT_EQ(menu->mDescription, Kavo::StringTable::GetString(262));
    app.ClickWidget(Button(GameChooserScreen::kMastermind));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
}

// A player stored when the first wins were kept as 4 (Untimed) and 16 (Timed) finds open what
// those wins earned.
TEST(MainMenuOfAStoredPlayer, WithTheOldFirstWinsFindsTheirModesOpen)
{
    gametest::PrepareGameFolder();
    platform::FakeClock clock;
    const struct
    {
        int stored;
        bool mastermind, speedblitz;
    } cases[] = {{4, false, true}, {16, true, false}, {20, false, false}};
    for (const auto& c : cases)
    {
        TestGameApp app;
        app.RegistryWriteString("Users\\RIA\\DisplayName", "Ria");
        app.RegistryWriteString("Users\\DefaultName", "RIA");
        app.RegistryWriteInteger("Users\\RIA\\GuiFlags", c.stored);
        app.StartToMainMenu();
        app.RunUpdates(30);
        EXPECT_EQ(app.mMainMenu->Button(GameChooserScreen::kMastermind)->IsGreyed(), c.mastermind)
            << c.stored;
        EXPECT_EQ(app.mMainMenu->Button(GameChooserScreen::kSpeedblitz)->IsGreyed(), c.speedblitz)
            << c.stored;
    }
}

// The planet zooms in while the mouse rests on a mode and out when it leaves.
TEST_F(MainMenu, ThePlanetFollowsTheHoveredMode)
{
    Start();
    Hover(GameChooserScreen::kUntimed);
    EXPECT_EQ(menu->mHoveredId, GameChooserScreen::kUntimed);
    EXPECT_EQ(menu->mDescription, Kavo::StringTable::GetString(259));
    EXPECT_EQ(menu->mState, GameChooserScreen::kZoomingIn);
    EXPECT_EQ(Count(Kavo::SOUND_ZOOMIN), 1);
    app.RunUpdates(51);
    EXPECT_EQ(menu->mState, GameChooserScreen::kPlanetShown);
    EXPECT_EQ(menu->mShownId, GameChooserScreen::kUntimed);

    // Another mode while the planet shows: it stays, with the new description at once.
    Hover(GameChooserScreen::kTimed);
    EXPECT_EQ(menu->mState, GameChooserScreen::kPlanetShown);
    EXPECT_EQ(menu->mDescription, Kavo::StringTable::GetString(260));

    // A button without a description counts as leaving.
    Hover(GameChooserScreen::kOptions);
    EXPECT_EQ(menu->mHoveredId, 0);
    EXPECT_EQ(menu->mState, GameChooserScreen::kZoomingOut);
    EXPECT_EQ(Count(Kavo::SOUND_ZOOMOUT), 1);
    app.RunUpdates(41);
    EXPECT_EQ(menu->mState, GameChooserScreen::kIdle);
    EXPECT_EQ(menu->mShownId, 0);

    // Leaving while it zooms in: it ends with nothing shown and zooms out again.
    Hover(GameChooserScreen::kCrazy);
    EXPECT_EQ(menu->mState, GameChooserScreen::kZoomingIn);
    Hover(0);
    for (int i = 0; i < 60 && menu->mState == GameChooserScreen::kZoomingIn; ++i)
        app.RunUpdates(1);
    EXPECT_EQ(menu->mState, GameChooserScreen::kPlanetShown);
    EXPECT_EQ(menu->mShownId, 0);
    app.RunUpdates(1);
    EXPECT_EQ(menu->mState, GameChooserScreen::kZoomingOut);
}

// At rest (the intro over, no planet, the stars off) the menu marks nothing, so the screen stands
// still; a shown planet takes another mode's description with the hover itself, not an update
// later.
TEST_F(MainMenu, AtRestItMarksNothingAndAHoverShowsAtOnce)
{
    Start();
    Hover(0);
    app.RunUpdates(60);
    Kavo::WidgetManager& manager = *app.mWidgetManager;
    for (int i = 0; i < 20; ++i)
    {
        app.RunUpdates(1);
        EXPECT_TRUE(manager.DrawnRects().empty()) << i;
    }
    Hover(GameChooserScreen::kUntimed);
    app.RunUpdates(60);
    ASSERT_EQ(menu->mState, GameChooserScreen::kPlanetShown);
    manager.DrawScreen();
    ASSERT_TRUE(manager.DirtyRects().empty());
    menu->ButtonMouseLeave(GameChooserScreen::kUntimed);
    menu->ButtonMouseEnter(GameChooserScreen::kTimed);
    EXPECT_EQ(manager.DirtyRects(), std::vector<Kavo::Rect>{Kavo::Rect(0, 0, 800, 600)});
}

TEST_F(MainMenu, TheOtherButtonsActAtOnce)
{
    Start();
    app.ClickWidget(Button(GameChooserScreen::kOptions));
    EXPECT_TRUE(app.HasDialog(TestGameApp::kOptionsDialog));
    app.KillDialog(TestGameApp::kOptionsDialog);
    app.RunUpdates(1);
    app.ClickWidget(Button(GameChooserScreen::kChoosePlayer));
    EXPECT_TRUE(app.HasDialog(TestGameApp::kAccountsDialog));
    app.KillDialog(TestGameApp::kAccountsDialog);
    app.RunUpdates(1);
    app.ClickWidget(Button(GameChooserScreen::kChallengeGrid));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);
    app.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId); // the grid's welcome, over it
    app.ShowMainMenu();
    app.RunUpdates(30);

    app.ClickWidget(Button(GameChooserScreen::kTopTen));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kTopTenScreen);
    app.ShowMainMenu();
    app.RunUpdates(30);
    app.ClickWidget(Button(GameChooserScreen::kQuit));
    EXPECT_TRUE(app.mShutdown);
}

// The menu's two links, the survey (26) and the bug report (27), are the menu's own and never
// laid out on it; the survey's press opens the survey page in the browser, the bug report's
// opens nothing. Each press is reported first.
TEST_F(MainMenu, TheSurveyLinkOpensTheSurveyPage)
{
    std::vector<std::string> opened;
    platform::SetURLOpener(
        [&](const std::string& url)
        {
            opened.push_back(url);
            return true;
        });
    Start();
    gametest::RecordingLogger& log = app.RecordEvents();
    Kavo::HyperlinkWidget* links[] = {menu->mSurveyLink, menu->mReportBugLink};
    const int ids[] = {GameChooserScreen::kSurveyLink, GameChooserScreen::kReportBugLink};
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_NE(links[i], nullptr);
        EXPECT_EQ(links[i]->mId, ids[i]);
        EXPECT_EQ(links[i]->mButtonListener, menu);
        EXPECT_FALSE(app.mWidgetManager->HasWidget(links[i]));
    }
    menu->mReportBugLink->mButtonListener->ButtonDepress(GameChooserScreen::kReportBugLink);
    EXPECT_TRUE(opened.empty());
    menu->mSurveyLink->mButtonListener->ButtonDepress(GameChooserScreen::kSurveyLink);
    EXPECT_EQ(opened, std::vector<std::string>{GameChooserScreen::kSurveyAddress});
    EXPECT_EQ(log.controls, (std::vector<std::string>{"mainmenu_reportbug", "mainmenu_survey"}));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    platform::SetURLOpener({});
}

// A saved game that turns out unreadable leaves the player on the menu with resume disabled.
TEST_F(MainMenu, AResumeThatFailsDisablesTheButton)
{
    Start();
    std::string file = Kavo::Board::SavedGamePath(app.SavedGameFileName());
    std::string damaged = std::string("\x16\0\0\0\0\0\0\0", 8) + "not a game";
    ASSERT_TRUE(platform::MakeDirectories(Kavo::GetFileDir(file)));
    ASSERT_TRUE(platform::WriteFileAtomically(file, damaged));
    app.mSavedGamePresent = true;
    menu->RefreshForPlayer();
    app.ClickWidget(Button(GameChooserScreen::kResume));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_TRUE(Button(GameChooserScreen::kResume)->mDisabled);
    EXPECT_FALSE(app.mGameActive);
    EXPECT_FALSE(app.mSavedGamePresent);
}

} // namespace
