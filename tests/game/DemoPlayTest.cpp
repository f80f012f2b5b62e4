// A new player's first game recorded as a demo through the platform's input, then a challenge
// played from the grid to a medal; replayed headless, the replay must reach the same score, the
// same top-ten entry and the same medal, every time.
#include "base/TextHelpers.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameChooserScreen.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "platform/files/Files.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/YesNoDialog.h"
#include "tests/ScratchNames.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/SlidingPlayer.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

namespace
{

using gametest::SlidingPlayer;
using gametest::TestGameApp;
namespace syn = platform::synthetic;

struct Outcome
{
    int screen = 0;
    int score = -1;
    int level = -1;
    Kavo::ScoreEntry best;
    std::string player;
};

Outcome OutcomeOf(TestGameApp& app)
{
    return {app.GetShownScreen(), app.mTopTenList->mLastScore, app.mTopTenList->mLastLevel,
            app.mTopScores.List(0)->top(), app.mPlayer.GetName()};
}

// The challenge of the grid's first button, as it stood when its info dialog came back.
struct ChallengeOutcome
{
    int best = -1;
    int medal = -1;
    bool dialogBack = false;
};

ChallengeOutcome ChallengeOutcomeOf(TestGameApp& app)
{
    ChallengeOutcome outcome;
    auto* dialog =
        dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
    outcome.dialogBack = dialog != nullptr && app.GetShownScreen() == TestGameApp::kChallengeGridScreen;
    outcome.best = app.mPlayer.GetChallengeScore("A1");
    outcome.medal = app.mChallengeGrid->Page(0).GetMedalLevel(0, -1);
    return outcome;
}

// Plays the board until the game leaves it.
int PlayToTheEnd(TestGameApp& app)
{
    SlidingPlayer player;
    int moves = 0;
    for (int step = 0; step < 20000 && app.GetShownScreen() == TestGameApp::kBoardScreen; ++step)
    {
        if (player.Act(app)) ++moves;
        app.RunUpdates(3);
    }
    return moves;
}

TEST(DemoPlay, ANewPlayersFirstGameAndAChallengeReplayToTheSameScoresTwice)
{
    gametest::PrepareGameFolder();
    // Untimed as shipped, but finishing level 1 wins the game, so the game ends in the list.
    gametest::WriteTextFile("properties/untimed_config.xml",
                            Kavo::StringReplaceAll(gametest::ShippedRules("untimed_config.xml"),
                                                   "<nWinningLevelRequirement value=\"34\"/>",
                                                   "<nWinningLevelRequirement value=\"2\"/>"));
    const std::string demo = platform::CurrentFolder() + "newplayer.dmo";

    Outcome recorded;
    ChallengeOutcome recordedChallenge;
    int moves = 0;
    {
        platform::FakeClock clock;
        TestGameApp app;
        app.SetCommandLine("-record \"-demofile=" + demo + "\"");
        app.StartUp();
        ASSERT_TRUE(app.mRecordingDemo);
        app.Click(400, 300); // the title screen
        app.RunUpdates(30);  // the menu's intro, then the name
        ASSERT_TRUE(app.HasDialog(TestGameApp::kNameDialog));
        app.Type("Nova");
        app.PressKey("Return");
        app.RunUpdates(2);
        app.ClickWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kUntimed));
        app.RunUpdates(60); // watching the tutorial a while
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
        app.ClickWidget(app.mTutorial->mOkButton);
        app.RunUpdates(30);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);

        moves = PlayToTheEnd(app);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTopTenScreen) << "the game ended";
        app.RunUpdates(20);
        recorded = OutcomeOf(app);

        // Then the first challenge of the grid, from its button through its dialog to a medal.
        app.ClickWidget(app.mTopTenList->mButtons[0]);
        app.RunUpdates(30);
        app.ClickWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kChallengeGrid));
        app.RunUpdates(20);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);
        auto* welcome =
            dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(Kavo::ChallengeGridScreen::kHintPopupId));
        ASSERT_NE(welcome, nullptr);
        app.ClickWidget(welcome->mFirstButton);
        app.RunUpdates(5);
        app.ClickWidget(app.mChallengeGrid->ChallengeButton(0));
        app.RunUpdates(20);
        auto* info =
            dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
        ASSERT_NE(info, nullptr);
        app.ClickWidget(info->mPlayButton);
        app.RunUpdates(30);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
        app.ClickWidget(app.mTutorial->mOkButton);
        app.RunUpdates(30);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
        EXPECT_EQ(app.mBoard->rules.sChallengeModeID, "A1");
        moves += PlayToTheEnd(app);
        app.RunUpdates(20);
        recordedChallenge = ChallengeOutcomeOf(app);
        ASSERT_TRUE(recordedChallenge.dialogBack) << "the grid shows the challenge's dialog again";
        syn::Window(syn::WindowEvent::Close);
        for (int i = 0; i < 100 && !app.mShutdown; ++i)
            app.RunUpdates(1);
        ASSERT_TRUE(app.mShutdown);
    }
    ASSERT_TRUE(platform::PathExists(demo));
    EXPECT_GT(moves, 10);
    EXPECT_GT(recorded.score, 0);
    EXPECT_EQ(recorded.player, "Nova");
    EXPECT_EQ(recorded.best, Kavo::ScoreEntry("Nova", recorded.score, recorded.level));
    EXPECT_GE(recordedChallenge.medal, 1) << "a medal, best score " << recordedChallenge.best;

    for (int replay = 0; replay < 2; ++replay)
    {
        platform::FakeClock clock;
        TestGameApp app; // a settings store of its own, empty: what was read comes from the demo
        app.SetCommandLine("-play \"-demofile=" + demo + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mPlayingDemo);
        app.StartLoadingThread();
        app.mLoadingThread.join();
        Outcome replayed;
        ChallengeOutcome replayedChallenge;
        for (int i = 0; i < 4000000 && !app.mShutdown; ++i)
        {
            app.UpdateAppStep(nullptr);
            if (app.mTopTenList != nullptr && app.GetShownScreen() == TestGameApp::kTopTenScreen)
                replayed = OutcomeOf(app);
            if (app.mChallengeGrid != nullptr && app.HasDialog(Kavo::ChallengeInfoDialog::kDialogId) &&
                app.mPlayer.GetChallengeScore("A1") > 0)
                replayedChallenge = ChallengeOutcomeOf(app);
        }
        EXPECT_TRUE(app.mShutdown) << "the recorded close ends the replay";
        EXPECT_EQ(replayed.screen, recorded.screen) << replay;
        EXPECT_EQ(replayed.score, recorded.score) << replay;
        EXPECT_EQ(replayed.level, recorded.level) << replay;
        EXPECT_EQ(replayed.best, recorded.best) << replay;
        EXPECT_EQ(replayed.player, recorded.player) << replay;
        EXPECT_TRUE(replayedChallenge.dialogBack) << replay;
        EXPECT_EQ(replayedChallenge.best, recordedChallenge.best) << replay;
        EXPECT_EQ(replayedChallenge.medal, recordedChallenge.medal) << replay;
    }
}

} // namespace
