// The player's journeys through the real game application, headless: the board, the menus, the
// player's record and the settings store together, driven by the platform's mouse and keys on
// the fake clock. What a journey starts from is what a player's stored record would hold (a
// name, the levels reached); nothing is set on the application by hand.
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameChooserScreen.h"
#include "game/LevelChooserScreen.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "game/UserKeyName.h"
#include "platform/files/Registry.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/BoardQuickMessage.h"
#include "puzzle/BoardTextOverlay.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/TutorialRow.h"
#include "puzzle/WantRetryPrompt.h"
#include "puzzle/YesNoDialog.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/SlidingPlayer.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

namespace
{

using gametest::SlidingPlayer;
using gametest::TestGameApp;
using Kavo::Board;
using Kavo::GameChooserScreen;
namespace syn = platform::synthetic;

// What a player's stored record holds at the start of a journey.
struct StoredPlayer
{
    StoredPlayer(std::string name, int guiFlags = 0, std::map<std::string, int> topLevels = {},
                 int unlockedGridPages = 0)
        : name(std::move(name)), guiFlags(guiFlags), topLevels(std::move(topLevels)),
          unlockedGridPages(unlockedGridPages)
    {
    }
    std::string name;
    int guiFlags;
    std::map<std::string, int> topLevels; // by mode key
    int unlockedGridPages;
};

void Store(TestGameApp& app, const StoredPlayer& player)
{
    const std::string path = Kavo::UserRegistryPath(player.name);
    app.RegistryWriteString(path + "\\DisplayName", player.name);
    app.RegistryWriteInteger(path + "\\GuiFlags", player.guiFlags);
    app.RegistryWriteInteger(path + "\\UnlockedGridPages", player.unlockedGridPages);
    for (const auto& [mode, level] : player.topLevels)
        app.RegistryWriteInteger(path + "\\TopLevelReached\\" + mode, level);
    app.RegistryWriteString("Users\\DefaultName", Kavo::UserKeyName(player.name));
}

class Journey : public ::testing::Test
{
protected:
    void SetUp() override { gametest::PrepareGameFolder(); }

    // Started with the stored player, on the main menu once its intro has ended.
    static void StartAs(TestGameApp& app, const StoredPlayer& player)
    {
        Store(app, player);
        app.StartToMainMenu();
        app.RunUpdates(30);
    }
    // Runs updates, answering the board's popups while the board shows, until done() holds;
    // false when it did not within limit updates.
    static bool RunUntil(TestGameApp& app, const std::function<bool()>& done, int limit = 20000)
    {
        for (int start = app.mUpdateCount; !done();)
        {
            if (app.mUpdateCount - start > limit) return false;
            if (app.GetShownScreen() != TestGameApp::kBoardScreen || !SlidingPlayer::AnswerPopup(app))
                app.RunUpdates(1);
        }
        return true;
    }
    // The board in play (state 0, no popup, the game running) at level.
    static bool InPlayAt(TestGameApp& app, int level)
    {
        Board* board = app.mBoard.get();
        return app.GetShownScreen() == TestGameApp::kBoardScreen && board->level == level &&
               board->GetPlayState() == Kavo::kPlayOpen && board->GetCurrentPopup() == nullptr &&
               !board->mGameOver;
    }
    // The keys of a word, one by one.
    static void TypeKeys(TestGameApp& app, const std::string& word)
    {
        for (char c : word)
            app.PressKey(std::string(1, c));
    }
    static int Count(const TestGameApp& app, int sound)
    {
        return int(std::count(app.sounds.begin(), app.sounds.end(), sound));
    }
    static bool Greyed(TestGameApp& app, int id) { return app.mMainMenu->Button(id)->IsGreyed(); }

    platform::FakeClock clock;
};

// A new player names themselves, is shown the tutorial before the first game, and is then walked
// through the board's own tutorial on the first level: each step asks for its square, refuses
// any other, and the steps of the other mode are skipped; the second level has no tutorial.
TEST_F(Journey, ANewPlayersFirstGameGoesThroughBothTutorials)
{
    TestGameApp app;
    app.StartToMainMenu();
    app.RunUpdates(30);
    ASSERT_TRUE(app.HasDialog(TestGameApp::kNameDialog));
    app.Type("Nova");
    app.PressKey("Return");
    app.RunUpdates(2);
    ASSERT_EQ(app.mPlayer.GetName(), "Nova");

    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kUntimed));
    app.RunUpdates(2);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
    EXPECT_EQ(app.mTutorial->mOkButton->mLabel, Kavo::StringTable::GetString(251));
    EXPECT_TRUE(app.mWidgetManager->HasWidget(app.mTutorial->mSkipCheckbox));
    app.RunUpdates(200);
    app.ClickWidget(app.mTutorial->mOkButton);
    ASSERT_TRUE(RunUntil(
        app, [&] { return InPlayAt(app, 1); }, 300));
    Board* board = app.mBoard.get();
    EXPECT_EQ(board->rules.GameMode, 0);
    ASSERT_EQ(board->CurrentTutorialStep(), 0);

    // Step 0 wants (2, 4): a slide elsewhere is refused and changes nothing.
    auto pieces = [&]
    {
        std::vector<int> all;
        for (int y = 0; y < board->Height(); ++y)
            for (int x = 0; x < board->Width(); ++x)
                all.push_back(board->Square(x, y).piece);
        return all;
    };
    const std::vector<int> before = pieces();
    app.Click(board->mGridOriginX + Board::kCellPitch * 2 + 30, board->mGridOriginY + 30);
    app.RunUpdates(5);
    EXPECT_EQ(board->CurrentTutorialStep(), 0);
    EXPECT_EQ(pieces(), before) << "refused";

    // The player follows the steps to the end of the level.
    SlidingPlayer player;
    std::vector<int> steps;
    ASSERT_TRUE(RunUntil(app,
                         [&]
                         {
                             int step = board->CurrentTutorialStep();
                             if (step >= 0 && Kavo::TutorialRowAt(step).textId != 0 &&
                                 (steps.empty() || steps.back() != step))
                                 steps.push_back(step);
                             if (board->level == 1 && InPlayAt(app, 1)) player.Act(app);
                             return board->level == 2;
                         }));
    ASSERT_GE(steps.size(), 4u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(std::count(steps.begin(), steps.end(), 4), 0) << "Timed's step";
    EXPECT_EQ(board->CurrentTutorialStep(), -1);
    EXPECT_EQ(app.mPlayer.mGuiFlags & Kavo::UserProfile::kSkipTutorial, 0);
    EXPECT_EQ(app.mPlayer.GetTopLevelReached(0, ""), 2);
}

// A level won: the level finishes, the next one is generated and starts, the score carries
// over with the level's bonus, and the completion meter starts again from the new level's own
// progress instead of staying full.
TEST_F(Journey, ALevelWonStartsTheNextWithItsOwnProgressOnTheMeter)
{
    TestGameApp app;
    StartAs(app, {"Orion", Kavo::UserProfile::kSkipTutorial});
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kUntimed));
    ASSERT_TRUE(RunUntil(
        app, [&] { return InPlayAt(app, 1); }, 300));
    Board* board = app.mBoard.get();
    SlidingPlayer player;
    app.sounds.clear();
    ASSERT_TRUE(RunUntil(app,
                         [&]
                         {
                             if (InPlayAt(app, 1)) player.Act(app);
                             return board->mLevelFinishing;
                         }));
    const int score = board->score;
    EXPECT_FLOAT_EQ(board->mTargetCompletion, 1.0f);
    EXPECT_EQ(Count(app, Kavo::SOUND_LEVELFINISHED), 1);
    EXPECT_EQ(app.sounds.back(), Kavo::SOUND_LEVELFINISHED) << "as the level starts finishing";
    app.sounds.clear();
    ASSERT_TRUE(RunUntil(
        app, [&] { return board->level == 2; }, 200));
    EXPECT_EQ(board->score, score + 100) << "the level's bonus";
    EXPECT_EQ(board->piecesCleared, 0);
    app.RunUpdates(1);
    EXPECT_FLOAT_EQ(board->mTargetCompletion, 0.0f);
    EXPECT_FLOAT_EQ(board->mShownCompletion, 0.0f) << "the meter starts again";
    EXPECT_EQ(Count(app, Kavo::SOUND_LEVELUP), 1);

    // Played on, the meter follows the new level from below and never runs ahead of it.
    bool ahead = false;
    ASSERT_TRUE(RunUntil(app,
                         [&]
                         {
                             ahead = ahead || board->mShownCompletion > board->mTargetCompletion + 1e-6f;
                             if (InPlayAt(app, 2)) player.Act(app);
                             return board->mTargetCompletion >= 0.25f;
                         }));
    EXPECT_FALSE(ahead);
    EXPECT_EQ(app.mPlayer.GetTopLevelReached(0, ""), 2);
}

// The first win of Untimed opens Mastermind and the first win of Timed opens Speedblitz: each
// shows its first-win message, and back on the menu the mode's button is no longer grey and
// promises no more; the next start finds both open. A player who has reached the last planet
// of both modes chooses it in the level chooser and finishes its three levels, Untimed's by play
// (the game lands on the list with the points played).
TEST_F(Journey, TheFirstUntimedWinOpensMastermindAndTheFirstTimedWinSpeedblitz)
{
    platform::RegistryStore store;
    {
        TestGameApp app(&store);
        StartAs(app, {"Vega", Kavo::UserProfile::kSkipTutorial, {{"untimed", 31}, {"timed", 31}}});
        EXPECT_TRUE(Greyed(app, GameChooserScreen::kMastermind));
        EXPECT_TRUE(Greyed(app, GameChooserScreen::kSpeedblitz));

        const struct
        {
            int modeButton;
            int mode;
            int message;
            int opens;
            int description;
            int guiFlags;
            bool byPlay;
        } modes[] = {
            {GameChooserScreen::kUntimed, 0, 127, GameChooserScreen::kMastermind, 261, 1 | 2, true},
            // The sliding player does not beat the last planet's clock: its levels end with the
            // hidden word that finishes a level.
            {GameChooserScreen::kTimed, 1, 128, GameChooserScreen::kSpeedblitz, 263, 1 | 2 | 4, false},
        };
        for (const auto& m : modes)
        {
            app.ClickWidget(app.mMainMenu->Button(m.modeButton));
            app.RunUpdates(2);
            ASSERT_EQ(app.GetShownScreen(), TestGameApp::kLevelChooserScreen) << m.mode;
            app.ClickWidget(app.mLevelChooser->PlanetButton(11));
            SlidingPlayer player;
            for (int level = 31; level <= 33; ++level)
            {
                ASSERT_TRUE(RunUntil(
                    app, [&] { return InPlayAt(app, level); }, 1000))
                    << m.mode << " " << level;
                Board* board = app.mBoard.get();
                EXPECT_EQ(board->rules.GameMode, m.mode);
                if (!m.byPlay)
                {
                    TypeKeys(app, "quillbend"); // finishes the level at once
                    continue;
                }
                ASSERT_TRUE(RunUntil(
                    app,
                    [&]
                    {
                        if (InPlayAt(app, level)) player.Act(app);
                        return board->mLevelFinishing || board->mGameOver;
                    },
                    100000))
                    << m.mode << " " << level;
                ASSERT_FALSE(board->mGameOver && !board->mLevelWon) << "lost " << m.mode << " " << level;
            }
            const int score = app.mBoard->score;
            if (m.byPlay)
            {
                EXPECT_GT(score, 0);
            }
            // The last level won: the first win's message, then the game ends in the list.
            ASSERT_TRUE(RunUntil(
                app, [&] { return app.mBoard->GetCurrentPopup() != nullptr; }, 300));
            auto* message = dynamic_cast<Kavo::BoardQuickMessage*>(app.mBoard->GetCurrentPopup());
            ASSERT_NE(message, nullptr) << m.mode;
            EXPECT_EQ(message->mHeader, Kavo::StringTable::GetString(126));
            EXPECT_EQ(message->mLines, Kavo::StringTable::GetString(m.message));
            EXPECT_TRUE(app.mBoard->mLevelWon);
            EXPECT_EQ(app.mPlayer.mGuiFlags, m.guiFlags) << m.mode;
            ASSERT_TRUE(RunUntil(
                app, [&] { return app.GetShownScreen() == TestGameApp::kTopTenScreen; }, 600));
            EXPECT_EQ(app.mTopTenList->mLastGamePage, m.mode);
            EXPECT_EQ(app.mTopTenList->mLastLevel, 33);
            EXPECT_EQ(app.mTopTenList->mLastScore, app.mBoard->score) << m.mode;
            EXPECT_GE(app.mBoard->score, score) << m.mode;

            app.ClickWidget(app.mTopTenList->mButtons[0]); // the main menu
            app.RunUpdates(30);
            ASSERT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
            EXPECT_FALSE(Greyed(app, m.opens)) << m.mode;
            // Resting on the opened mode tells of it, not of how to open it.
            Kavo::FancyButton* opened = app.mMainMenu->Button(m.opens);
            syn::MouseMove(opened->mX + opened->mWidth / 2, opened->mY + opened->mHeight / 2);
            app.RunUpdates(2);
            EXPECT_EQ(app.mMainMenu->mDescription, Kavo::StringTable::GetString(m.description)) << m.mode;
            syn::MouseMove(400, 120);
            app.RunUpdates(2);
        }
        EXPECT_FALSE(Greyed(app, GameChooserScreen::kMastermind));
        EXPECT_FALSE(Greyed(app, GameChooserScreen::kSpeedblitz));
    }
    TestGameApp app(&store);
    app.StartToMainMenu();
    app.RunUpdates(30);
    EXPECT_EQ(app.mPlayer.mGuiFlags, 1 | 2 | 4);
    EXPECT_FALSE(Greyed(app, GameChooserScreen::kMastermind));
    EXPECT_FALSE(Greyed(app, GameChooserScreen::kSpeedblitz));
    EXPECT_TRUE(Greyed(app, GameChooserScreen::kCrazy));
}

// A whole game of Timed, from the board's tutorial until the clock runs out: the game is lost,
// the player declines to try the level again, and the game lands on Timed's page of the top-ten
// list as its highlighted row; the program ends with the row in the store.
TEST_F(Journey, AWholeGameEndsOnTheTopTenList)
{
    platform::RegistryStore store;
    int score = 0;
    {
        TestGameApp app(&store);
        StartAs(app, {"Lyra", Kavo::UserProfile::kSkipTutorial});
        app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTimed));
        ASSERT_TRUE(RunUntil(
            app, [&] { return InPlayAt(app, 1); }, 300));
        Board* board = app.mBoard.get();
        // The tutorial's two slides make the first group; then the player lets the clock run.
        SlidingPlayer player;
        ASSERT_TRUE(RunUntil(
            app,
            [&]
            {
                if (InPlayAt(app, 1) && board->CurrentTutorialStep() < 2) player.Act(app);
                return board->score > 0 && board->GetPlayState() == Kavo::kPlayOpen;
            },
            600));
        score = board->score;
        ASSERT_TRUE(RunUntil(
            app, [&] { return board->mGameOver; }, 20000));
        EXPECT_FALSE(board->mLevelWon);
        EXPECT_EQ(board->timeLeft, 0.0f);
        EXPECT_EQ(Count(app, Kavo::SOUND_GAMEOVER), 1);
        // The retry question, answered no.
        for (int i = 0; i < 200 && board->GetCurrentPopup() == nullptr; ++i)
            app.RunUpdates(1);
        auto* retry = dynamic_cast<Kavo::WantRetryPrompt*>(board->GetCurrentPopup());
        ASSERT_NE(retry, nullptr);
        EXPECT_EQ(board->mGameOverCounter, 100);
        app.RunUpdates(20);
        app.ClickWidget(retry->mSecondButton);
        ASSERT_TRUE(RunUntil(
            app, [&] { return app.GetShownScreen() == TestGameApp::kTopTenScreen; }, 100));
        EXPECT_FALSE(app.mGameActive);
        EXPECT_EQ(app.mTopTenList->mPage, 1);
        const std::vector<Kavo::TopTenList::Row> rows = app.mTopTenList->PageRows();
        auto highlighted =
            std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.highlighted; });
        ASSERT_NE(highlighted, rows.end());
        EXPECT_EQ(highlighted->entry, Kavo::ScoreEntry("Lyra", score, 1));
        EXPECT_EQ(highlighted->label, "1.");
    }
    std::string stored;
    TestGameApp app(&store);
    ASSERT_TRUE(app.RegistryReadString("TopScores\\TimedModeScores\\0", &stored));
    EXPECT_EQ(stored, std::to_string(score) + " 1 \"Lyra\"");
}

// A challenge on the second page of the grid: chosen from its page, played to its end, and the
// grid comes back on that page with the challenge's dialog telling the new best and its medal,
// which the challenge's button now shows.
TEST_F(Journey, AChallengePlayedReopensTheGridOnItsPageWithItsMedal)
{
    TestGameApp app;
    StartAs(app, {"Rigel", Kavo::UserProfile::kSkipTutorial, {}, 1});
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kChallengeGrid));
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);
    Kavo::ChallengeGridScreen* grid = app.mChallengeGrid.get();
    auto* welcome = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(Kavo::ChallengeGridScreen::kHintPopupId));
    ASSERT_NE(welcome, nullptr);
    app.RunUpdates(15);
    app.ClickWidget(welcome->mFirstButton);
    app.ClickWidget(grid->mNextButton);
    ASSERT_EQ(grid->mPage, 1);
    const int e4 = grid->Page(1).IndexOfId("E4");
    ASSERT_GE(e4, 0);
    EXPECT_EQ(grid->ChallengeButton(e4)->mMedal, 0);
    app.ClickWidget(grid->ChallengeButton(e4));
    app.RunUpdates(20);
    auto* info =
        dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
    ASSERT_NE(info, nullptr);
    app.ClickWidget(info->mPlayButton);
    ASSERT_TRUE(RunUntil(
        app, [&] { return InPlayAt(app, 1); }, 300));
    EXPECT_EQ(app.mBoard->rules.sChallengeModeID, "E4");

    SlidingPlayer player;
    app.sounds.clear();
    ASSERT_TRUE(RunUntil(
        app,
        [&]
        {
            if (InPlayAt(app, 1)) player.Act(app);
            return app.GetShownScreen() != TestGameApp::kBoardScreen;
        },
        20000));
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);
    ASSERT_FALSE(app.sounds.empty());
    EXPECT_EQ(app.sounds.back(), Kavo::SOUND_LONGCHAIN) << "the dialog of a new medal";
    app.RunUpdates(2);
    const int best = app.mPlayer.GetChallengeScore("E4");
    const int medal = grid->Page(1).GetMedalLevel(e4, -1);
    ASSERT_GE(medal, 1) << "best " << best;
    EXPECT_EQ(grid->mPage, 1);
    info = dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mIndex, e4);
    EXPECT_EQ(info->mEarlierBest, 0);
    EXPECT_EQ(info->mBest, best);
    EXPECT_FALSE(info->mZoom) << "a new medal shows at once";
    EXPECT_EQ(grid->ChallengeButton(e4)->mMedal, medal);
    EXPECT_EQ(app.mTopScores.mChallengeScores.at("E4").score, best);
    EXPECT_EQ(app.mTopTenList->mLastGamePage, 6);
}

// The shipped Timed rules with the first level's clock set to `seconds`.
std::string TimedRulesWithFirstLevelTime(int seconds)
{
    std::string rules = gametest::ShippedRules("timed_config.xml");
    const std::string key = "<fInitialTimeLeft value=\"";
    const size_t level = rules.find("<level_1>");
    const size_t at = rules.find(key, level);
    const size_t end = level == std::string::npos || at == std::string::npos
                           ? std::string::npos
                           : rules.find('"', at + key.size());
    if (end == std::string::npos || end > rules.find("</level_1>", level)) return "";
    return rules.replace(at + key.size(), end - at - key.size(), std::to_string(seconds));
}

// A level with an ending story: once the level has finished, the story is told over the level's
// background and the next level waits for it; a click ends it and the next level starts.
TEST_F(Journey, AnEndingStoryLeadsToTheNextLevel)
{
    const std::string story = "The first planet falls behind.~Ahead, a second one glows.";
    gametest::WriteTextFile(
        "properties/untimed_config.xml",
        Kavo::StringReplaceAll(gametest::ShippedRules("untimed_config.xml"), "<nPiecesInLevel value=\"24\"/>",
                               "<nPiecesInLevel value=\"24\"/>\n    <sEndLevelStoryText value=\"" + story +
                                   "\"/>"));
    TestGameApp app;
    StartAs(app, {"Deneb", Kavo::UserProfile::kSkipTutorial});
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kUntimed));
    ASSERT_TRUE(RunUntil(
        app, [&] { return InPlayAt(app, 1); }, 300));
    Board* board = app.mBoard.get();
    ASSERT_EQ(board->LevelConfig().sEndLevelStoryText, story);
    TypeKeys(app, "quillbend");
    ASSERT_TRUE(RunUntil(
        app, [&] { return board->mLevelFinishing; }, 10));
    for (int i = 0; i < 200 && board->GetCurrentPopup() == nullptr; ++i)
        app.RunUpdates(1);
    auto* overlay = dynamic_cast<Kavo::BoardTextOverlay*>(board->GetCurrentPopup());
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->mPopupId, Board::kEndStoryPopup);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(overlay));
    app.RunUpdates(300);
    EXPECT_EQ(board->level, 1) << "the next level waits for the story";
    EXPECT_EQ(board->GetCurrentPopup(), overlay);
    app.sounds.clear();
    app.Click(400, 300);
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);
    EXPECT_EQ(board->level, 2);
    EXPECT_FALSE(board->mLevelFinishing);
    ASSERT_TRUE(RunUntil(
        app, [&] { return InPlayAt(app, 2); }, 300));
    EXPECT_EQ(Count(app, Kavo::SOUND_LEVELUP), 1);
    EXPECT_FALSE(board->mGameOver);
}

// Rules that count a game as won when the clock runs out on enough points: with the points the
// time-out is a win (the winning sound, no retry question, and as Timed's first win it opens
// Speedblitz); without them it is a loss, and the retry question comes.
TEST_F(Journey, ATimeOutEndsInAWinWithTheScoreAndInALossWithout)
{
    std::string rules = TimedRulesWithFirstLevelTime(10);
    ASSERT_NE(rules.find("<nWinningLevelRequirement value=\"34\"/>"), std::string::npos);
    rules = Kavo::StringReplaceAll(rules, "<nWinningLevelRequirement value=\"34\"/>",
                                   "<nWinningLevelRequirement value=\"34\"/>\n"
                                   "    <nWinningScoreRequirementAfterGame value=\"1\"/>");
    gametest::WriteTextFile("properties/timed_config.xml", rules);
    const struct
    {
        bool scores;
        bool win;
        int guiFlags;
    } cases[] = {{true, true, 1 | 4}, {false, false, 1}};
    for (const auto& c : cases)
    {
        TestGameApp app;
        StartAs(app, {"Altair", Kavo::UserProfile::kSkipTutorial});
        app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTimed));
        ASSERT_TRUE(RunUntil(
            app, [&] { return InPlayAt(app, 1); }, 300));
        Board* board = app.mBoard.get();
        ASSERT_EQ(board->rules.nWinningScoreRequirementAfterGame, 1);
        SlidingPlayer player;
        if (c.scores)
        {
            ASSERT_TRUE(RunUntil(
                app,
                [&]
                {
                    if (InPlayAt(app, 1) && board->CurrentTutorialStep() < 2) player.Act(app);
                    return board->score > 0 && board->GetPlayState() == Kavo::kPlayOpen;
                },
                600));
        }
        ASSERT_TRUE(RunUntil(
            app, [&] { return board->mGameOver; }, 5000));
        EXPECT_EQ(board->mLevelWon, c.win) << c.win;
        EXPECT_EQ(Count(app, Kavo::SOUND_YOUWIN), c.win ? 1 : 0);
        EXPECT_EQ(Count(app, Kavo::SOUND_GAMEOVER), c.win ? 0 : 1);
        bool retryAsked = false;
        ASSERT_TRUE(RunUntil(
            app,
            [&]
            {
                retryAsked =
                    retryAsked || dynamic_cast<Kavo::WantRetryPrompt*>(board->GetCurrentPopup()) != nullptr;
                if (retryAsked && board->GetCurrentPopup() != nullptr)
                {
                    auto* retry = static_cast<Kavo::WantRetryPrompt*>(board->GetCurrentPopup());
                    if (retry->mSecondButton->mVisible) app.ClickWidget(retry->mSecondButton);
                }
                return app.GetShownScreen() == TestGameApp::kTopTenScreen;
            },
            1000));
        EXPECT_EQ(retryAsked, !c.win) << c.win;
        EXPECT_EQ(app.mPlayer.mGuiFlags, c.guiFlags) << c.win;
        EXPECT_EQ(app.mTopTenList->mLastScore, board->score);
    }
}

// The board's sounds at their moments through a short game of Timed: the level's start, the
// tutorial's first group when its slide ends (the sound of its chain), the clock's warning
// every hundred updates while the time is short, and the loss when it runs out.
TEST_F(Journey, TheBoardsSoundsPlayAtTheirMoments)
{
    const std::string rules = TimedRulesWithFirstLevelTime(20);
    ASSERT_FALSE(rules.empty());
    gametest::WriteTextFile("properties/timed_config.xml", rules);
    TestGameApp app;
    StartAs(app, {"Mira", Kavo::UserProfile::kSkipTutorial});
    app.sounds.clear();
    app.soundUpdates.clear();
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTimed));
    Board* board = app.mBoard.get();

    // Each update watched: what the board was doing when each of its sounds played.
    struct Heard
    {
        int sound;
        int boardUpdate;  // the board's update counter after the update
        bool slideEnded;  // the update ended the last slide of a move
        int longestChain; // of the last move
        float timeShare;  // time left of the most
        bool gameEnded;   // the update ended the game
    };
    std::vector<Heard> heard;
    int boardUpdates = 0;
    int pressedStep = -1;
    while (!board->mGameOver && boardUpdates < 20000)
    {
        // The tutorial's two slides, pressed without updates of their own.
        const int step = board->CurrentTutorialStep();
        if (InPlayAt(app, 1) && step >= 0 && step < 2 && step != pressedStep)
        {
            const Kavo::TutorialRow& row = Kavo::TutorialRowAt(step);
            const int x = board->mGridOriginX + Board::kCellPitch * row.squareX + Board::kCellWidth / 2;
            const int y = board->mGridOriginY + Board::kCellPitch * row.squareY + Board::kCellHeight / 2;
            syn::MouseMove(x, y);
            syn::MouseButton(1, true, 1, x, y);
            syn::MouseButton(1, false, 1, x, y);
            pressedStep = step;
        }
        const bool sliding = !board->mSlideAnimations.empty();
        const bool over = board->mGameOver;
        const size_t before = app.sounds.size();
        app.RunUpdates(1);
        ++boardUpdates;
        for (size_t i = before; i < app.sounds.size(); ++i)
            heard.push_back({app.sounds[i], board->mUpdateCounter, sliding && board->mSlideAnimations.empty(),
                             board->mLongestChain, board->timeLeft / board->LevelConfig().fMaxTimeLeft,
                             !over && board->mGameOver});
    }
    ASSERT_TRUE(board->mGameOver);
    ASSERT_GT(board->score, 0);

    // In order, from the board's start (the level's start sounds while the board fades in);
    // the menu's own zoom left out.
    std::vector<int> order;
    for (int sound : app.sounds)
        if (sound != Kavo::SOUND_ZOOMIN && sound != Kavo::SOUND_ZOOMOUT &&
            (order.empty() || order.back() != sound))
            order.push_back(sound);
    ASSERT_GE(order.size(), 4u) << ::testing::PrintToString(order);
    EXPECT_EQ(order.front(), Kavo::SOUND_LEVELUP);
    EXPECT_EQ(order.back(), Kavo::SOUND_GAMEOVER);
    EXPECT_EQ(Count(app, Kavo::SOUND_LEVELUP), 1);
    EXPECT_EQ(Count(app, Kavo::SOUND_GAMEOVER), 1);
    EXPECT_EQ(Count(app, Kavo::SOUND_YOUWIN), 0);
    const std::vector<int> goodMoveSounds = {
        Kavo::SOUND_GOODMOVE1, Kavo::SOUND_GOODMOVE2, Kavo::SOUND_GOODMOVE3, Kavo::SOUND_GOODMOVE4,
        Kavo::SOUND_GOODMOVE5, Kavo::SOUND_GOODMOVE6, Kavo::SOUND_GOODMOVE7, Kavo::SOUND_GOODMOVE8,
        Kavo::SOUND_GOODMOVE9, Kavo::SOUND_GOODMOVE10};
    int ticks = 0, goodMoves = 0, lastTick = -1;
    for (const Heard& h : heard)
    {
        if (h.sound == Kavo::SOUND_TICKTOCK)
        {
            ++ticks;
            EXPECT_EQ(h.boardUpdate % 100, 1) << "played on an update whose counter was a multiple of 100";
            EXPECT_LE(h.timeShare, board->LevelConfig().fWarningBellStartTimePercent);
            if (lastTick >= 0)
            {
                EXPECT_EQ(h.boardUpdate - lastTick, 100);
            }
            lastTick = h.boardUpdate;
        }
        auto goodMove = std::find(goodMoveSounds.begin(), goodMoveSounds.end(), h.sound);
        if (goodMove != goodMoveSounds.end())
        {
            ++goodMoves;
            EXPECT_TRUE(h.slideEnded);
            EXPECT_EQ(goodMove - goodMoveSounds.begin() + 1, std::min(h.longestChain, 10));
        }
        if (h.sound == Kavo::SOUND_GAMEOVER)
        {
            EXPECT_TRUE(h.gameEnded);
        }
    }
    EXPECT_EQ(goodMoves, 1) << "the tutorial's one group";
    EXPECT_GE(ticks, 3);
}

} // namespace
