// A new player's first game recorded as a demo through the platform's input, then a challenge
// played from the grid to a medal; replayed headless, the replay must reach the same score, the
// same top-ten entry and the same medal, every time.
#include "base/MersenneTwister.h"
#include "base/TextHelpers.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameChooserScreen.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "platform/files/Files.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/FancyButton.h"
#include "rules/RulesFlags.h"
#include "puzzle/TutorialRow.h"
#include "puzzle/YesNoDialog.h"
#include "tests/ScratchNames.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using gametest::TestGameApp;
using Kavo::Board;
namespace syn = platform::synthetic;

// A copy of the engine's state on which a move can be tried.
class EngineCopy : public Kavo::GameBoardLogic
{
public:
    explicit EngineCopy(const Kavo::GameBoardLogic& engine) { GameBoardLogic::operator=(engine); }
};

// Plays the board as a player would, through the mouse: the slide that clears the most, else the
// next slide in turn; it answers the board's popups and scrambles a stuck board.
class SlidingPlayer
{
public:
    // One action; false while the board is busy and there is nothing to do but wait.
    bool Act(TestGameApp& app)
    {
        Board* board = app.mBoard.get();
        if (Kavo::BoardPopup* popup = board->GetCurrentPopup())
        {
            if (auto* dialog = dynamic_cast<Kavo::YesNoDialog*>(popup))
            {
                if (dialog->mFirstButton == nullptr || !dialog->mFirstButton->mVisible) return false;
                app.ClickWidget(dialog->mFirstButton);
            }
            else
            {
                app.Click(400, 300);
            }
            return true;
        }
        if (board->GetPlayState() != 0 || board->mGameOver) return false;
        if (board->mScrambleButton->mVisible && !board->mScrambleButton->mDisabled)
        {
            app.ClickWidget(board->mScrambleButton);
            return true;
        }
        // The board's own tutorial on the first level: a click to go on, or the square it asks for.
        int x = -1, y = -1;
        if (int step = board->CurrentTutorialStep(); step >= 0)
        {
            const Kavo::TutorialRow& row = Kavo::TutorialRowAt(step);
            if (row.textId != 0 && row.clickContinues)
            {
                app.Click(100, 300);
                return true;
            }
            x = row.squareX;
            y = row.squareY;
        }
        if (x < 0 && !Choose(*board, x, y)) return false;
        app.Click(board->mGridOriginX + Board::kCellPitch * x + Board::kCellWidth / 2,
                  board->mGridOriginY + Board::kCellPitch * y + Board::kCellHeight / 2);
        return true;
    }

private:
    // The slides a player can make: the squares in line with the blank.
    static std::vector<std::pair<int, int>> Slides(const Kavo::GameBoardLogic& engine)
    {
        std::vector<std::pair<int, int>> slides;
        int blankX = 0, blankY = 0;
        if (!engine.FindBlankSquare(blankX, blankY)) return slides;
        for (int y = 0; y < engine.Height(); ++y)
            for (int x = 0; x < engine.Width(); ++x)
                if ((x == blankX) != (y == blankY)) slides.emplace_back(x, y);
        return slides;
    }
    // The pieces a slide clears on a copy of the engine, which it leaves moved; -1 when refused.
    static int Try(EngineCopy& engine, int x, int y)
    {
        const int before = engine.piecesCleared;
        Kavo::MatchGroupList groups;
        int outX = 0, outY = 0;
        if (!engine.ResolveMove(Kavo::mtSlide, x, y, outX, outY, groups)) return -1;
        return engine.piecesCleared - before;
    }
    // Looks two slides ahead: what clears now counts most, what the next slide could clear next;
    // among equals the player's own generator decides.
    bool Choose(const Board& board, int& bestX, int& bestY)
    {
        int bestValue = -1;
        int ties = 0;
        for (const auto& [x, y] : Slides(board))
        {
            EngineCopy first(board);
            int cleared = Try(first, x, y);
            if (cleared < 0) continue;
            int value = cleared * 100;
            if (cleared == 0)
                for (const auto& [x2, y2] : Slides(first))
                {
                    EngineCopy second(first);
                    value = std::max(value, Try(second, x2, y2));
                }
            if (value > bestValue)
            {
                bestValue = value;
                ties = 1;
                bestX = x;
                bestY = y;
            }
            else if (value == bestValue && mRandom.Next() % uint32_t(++ties) == 0)
            {
                bestX = x;
                bestY = y;
            }
        }
        return bestValue >= 0;
    }

    Kavo::MersenneTwister mRandom{20240607};
};

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
    auto* dialog = dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
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
        auto* welcome = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(Kavo::ChallengeGridScreen::kHintPopupId));
        ASSERT_NE(welcome, nullptr);
        app.ClickWidget(welcome->mFirstButton);
        app.RunUpdates(5);
        app.ClickWidget(app.mChallengeGrid->ChallengeButton(0));
        app.RunUpdates(20);
        auto* info = dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
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
