// Clicks that arrive while a screen fades: the frames a fade runs take the player's input, and
// a double click on a button that fades its screen out must leave the screen once.
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameChooserScreen.h"
#include "game/NameDialog.h"
#include "game/TopTenList.h"
#include "game/UserKeyName.h"
#include "puzzle/Board.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/SlidingPlayer.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

using gametest::TestGameApp;
using Kavo::GameChooserScreen;

class FadeClicks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        app.RegistryWriteString("Users\\RIA\\DisplayName", "Ria");
        app.RegistryWriteInteger("Users\\RIA\\GuiFlags", Kavo::UserProfile::kSkipTutorial);
        app.RegistryWriteString("Users\\DefaultName", "RIA");
        app.StartToMainMenu();
        app.RunUpdates(30);
    }
    static int Count(const std::vector<std::string>& list, const std::string& item)
    {
        return int(std::count(list.begin(), list.end(), item));
    }

    platform::FakeClock clock;
    TestGameApp app;
};

// The screen a case starts on, the button double clicked there, and what the click leads to.
struct LeaveCase
{
    const char* name;
    std::function<void(TestGameApp&)> open; // from the main menu to the screen
    std::function<Kavo::Fader*(TestGameApp&)> screen;
    std::function<Kavo::Widget*(TestGameApp&)> button;
    int nextScreen;
    const char* nextScreenName; // as the event log is told
    const char* event;          // the press as the event log is told (a control or a board event)
};

// A double or triple click on a button that fades its screen out, the later clicks at several
// moments of the 20-step fade: the fade runs to its end, the press is taken once, and the next
// screen is shown once.
TEST_F(FadeClicks, ADoubleClickOnAFadingButtonLeavesTheScreenOnce)
{
    const std::vector<LeaveCase> cases = {
        {"main menu to top ten", [](TestGameApp&) {}, [](TestGameApp& a) { return a.mMainMenu.get(); },
         [](TestGameApp& a) { return a.mMainMenu->Button(GameChooserScreen::kTopTen); },
         TestGameApp::kTopTenScreen, "toptenlist", "mainmenu_toptenlist"},
        {"top ten to main menu",
         [](TestGameApp& a)
         {
             a.ShowTopTenList();
             a.RunUpdates(5);
         },
         [](TestGameApp& a) { return a.mTopTenList.get(); },
         [](TestGameApp& a)
         {
             Kavo::Widget* found = nullptr;
             for (Kavo::ButtonWidget* button : a.mTopTenList->mButtons)
                 if (button->mId == Kavo::TopTenList::kMainMenu) found = button;
             return found;
         },
         TestGameApp::kMainMenuScreen, "mainmenu", "toptenlist_mainmenu"},
        {"challenge grid to main menu",
         [](TestGameApp& a)
         {
             a.ShowChallengeGrid();
             a.RunUpdates(5);
             a.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId); // its welcome
             a.RunUpdates(1);
         },
         [](TestGameApp& a) { return a.mChallengeGrid.get(); },
         [](TestGameApp& a) { return a.mChallengeGrid->mMainMenuButton; }, TestGameApp::kMainMenuScreen,
         "mainmenu", "challengegrid_mainmenu"},
        {"board to main menu",
         [](TestGameApp& a)
         {
             if (a.mGameActive)
                 a.ReturnToGame();
             else
                 a.ClickWidget(a.mMainMenu->Button(GameChooserScreen::kUntimed));
             for (int i = 0; i < 400; ++i)
                 if (!gametest::SlidingPlayer::AnswerPopup(a)) a.RunUpdates(1);
         },
         [](TestGameApp& a) { return a.mBoard.get(); },
         [](TestGameApp& a) { return a.mBoard->mMainMenuButton; }, TestGameApp::kMainMenuScreen, "mainmenu",
         "board_mainmenu"},
    };
    const std::vector<std::vector<int>> laterClicks = {{1}, {10}, {20}, {2, 14}};
    for (const LeaveCase& c : cases)
        for (const std::vector<int>& atSteps : laterClicks)
        {
            SCOPED_TRACE(c.name + (" " + ::testing::PrintToString(atSteps)));
            app.ShowMainMenu();
            app.RunUpdates(30);
            app.KillDialog(GameChooserScreen::kMenuHintPopupId); // over the menu while a game runs
            c.open(app);
            Kavo::Widget* button = c.button(app);
            ASSERT_TRUE(app.mWidgetManager->HasWidget(button));
            ASSERT_EQ(app.GetDialogCount(), 0);
            gametest::RecordingLogger& log = app.RecordEvents();
            const Kavo::Point at = button->GetAbsPos();
            const int x = at.mX + button->mWidth / 2, y = at.mY + button->mHeight / 2;
            auto seen = gametest::ClickDuringFade(
                app, [&] { return c.screen(app); }, atSteps, x, y);
            app.Click(x, y);
            app.RunUpdates(10);
            app.beforeStep = nullptr;
            EXPECT_EQ(seen->sent, int(atSteps.size()));
            EXPECT_EQ(seen->lastStep, 20) << "the fade ran to its end";
            EXPECT_EQ(app.GetShownScreen(), c.nextScreen);
            EXPECT_EQ(Count(log.screens, c.nextScreenName), 1) << "shown once";
            EXPECT_EQ(Count(log.controls, c.event) + Count(log.boardEvents, c.event), 1) << "taken once";
        }
}

// Play on a challenge's dialog closes the dialog at once: the grid fades out without it and the
// board fades in with no dialog left over it.
TEST_F(FadeClicks, TheChallengeDialogClosesBeforeTheGridFadesOut)
{
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kChallengeGrid));
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);
    app.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId);
    app.RunUpdates(1);
    app.ClickWidget(app.mChallengeGrid->ChallengeButton(0));
    app.RunUpdates(40);
    auto* info =
        dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
    ASSERT_NE(info, nullptr);

    int gridSteps = 0, boardSteps = 0, withDialog = 0;
    app.beforeStep = [&]
    {
        const bool grid = app.mChallengeGrid->fading, board = app.mBoard->fading;
        gridSteps += grid;
        boardSteps += board;
        withDialog += (grid || board) && app.GetDialogCount() != 0;
    };
    app.ClickWidget(info->mPlayButton);
    app.RunUpdates(5);
    app.beforeStep = nullptr;
    EXPECT_GT(gridSteps, 0);
    EXPECT_GT(boardSteps, 0);
    EXPECT_EQ(withDialog, 0);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
}

// A player without a name clicks Top ten during the menu's intro: the intro ends inside the
// menu's fade and asks for the name, and the list is shown beneath the name dialog, which stays
// on top, modal and with the keys; once named, the list takes the focus.
TEST(FadeClicksOfANewPlayer, AScreenShownWhileADialogOpensGoesBeneathIt)
{
    gametest::PrepareGameFolder();
    platform::FakeClock clock;
    TestGameApp app;
    app.StartToMainMenu();
    app.RunUpdates(4);
    ASSERT_EQ(app.mMainMenu->mState, GameChooserScreen::kIntro);
    int introEndedAt = 0; // the step of the menu's fade in which its intro ended
    app.beforeStep = [&]
    {
        Kavo::GameChooserScreen* menu = app.mMainMenu.get();
        if (introEndedAt == 0 && menu->fading && menu->mState != GameChooserScreen::kIntro)
            introEndedAt = menu->fadeStep;
    };
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTopTen));
    app.RunUpdates(30);
    app.beforeStep = nullptr;
    ASSERT_GT(introEndedAt, 0);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTopTenScreen);
    auto* dialog = dynamic_cast<Kavo::NameDialog*>(app.GetDialog(TestGameApp::kNameDialog));
    ASSERT_NE(dialog, nullptr);
    Kavo::WidgetManager* manager = app.mWidgetManager;
    EXPECT_EQ(manager->mBaseModalWidget, dialog);
    EXPECT_TRUE(manager->IsBelow(app.mTopTenList.get(), dialog));
    EXPECT_EQ(manager->mFocusWidget, static_cast<Kavo::Widget*>(dialog->mNameField));

    app.Type("Vega");
    app.PressKey("Return");
    app.RunUpdates(2);
    EXPECT_EQ(app.mPlayer.GetName(), "Vega");
    EXPECT_FALSE(app.HasDialog(TestGameApp::kNameDialog));
    EXPECT_EQ(manager->mFocusWidget, static_cast<Kavo::Widget*>(app.mTopTenList.get()));
}

} // namespace
