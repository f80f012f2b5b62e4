// The flow of a game through the real application object, headless.
#include "base/PathUtils.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/GameChooserScreen.h"
#include "game/LevelChooserScreen.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "game/UserKeyName.h"
#include "platform/files/Files.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/FancyButton.h"
#include "puzzle/YesNoDialog.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/Checkbox.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

namespace
{

using gametest::TestGameApp;
using Kavo::Board;
using Kavo::GameChooserScreen;

constexpr const char* kUntimed = "properties/untimed_config.xml";
constexpr const char* kTimed = "properties/timed_config.xml";

class GameFlow : public ::testing::Test
{
protected:
    void SetUp() override { gametest::PrepareGameFolder(); }

    // A stored player who becomes current at the next start.
    static void StorePlayer(TestGameApp& app, const std::string& name, int guiFlags = 0)
    {
        app.RegistryWriteString(Kavo::UserRegistryPath(name) + "\\DisplayName", name);
        app.RegistryWriteInteger(Kavo::UserRegistryPath(name) + "\\GuiFlags", guiFlags);
        app.RegistryWriteString("Users\\DefaultName", Kavo::UserKeyName(name));
    }
    // Started, on the main menu once its intro has ended.
    static void StartAs(TestGameApp& app, const std::string& name, int guiFlags = 0)
    {
        if (!name.empty()) StorePlayer(app, name, guiFlags);
        app.StartToMainMenu();
        app.RunUpdates(30);
    }
    static std::string SavedGame(TestGameApp& app) { return Board::SavedGamePath(app.SavedGameFileName()); }
    // A game of the rules file on the board (the player skips the tutorial).
    static void PlayOn(TestGameApp& app, const std::string& rules = kUntimed)
    {
        app.mPlayer.mGuiFlags |= Kavo::UserProfile::kSkipTutorial;
        ASSERT_TRUE(app.LoadRulesAndStart(rules));
        app.RunUpdates(25);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    }

    platform::FakeClock clock;
};

TEST_F(GameFlow, ANewPlayerNamesThemselvesAndIsWalkedThroughTheTutorialToTheBoard)
{
    TestGameApp app;
    app.StartToMainMenu();
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_EQ(app.mTitleScreen, nullptr);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(app.mMainMenu.get()));
    EXPECT_FALSE(app.HasDialog(TestGameApp::kNameDialog)) << "not before the intro ends";
    app.RunUpdates(30);
    ASSERT_TRUE(app.HasDialog(TestGameApp::kNameDialog));
    app.Type("Bob");
    app.PressKey("Return");
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(TestGameApp::kNameDialog));
    EXPECT_EQ(app.mPlayer.GetName(), "Bob");

    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kUntimed));
    app.RunUpdates(2);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
    EXPECT_FALSE(app.mGameActive);
    app.RunUpdates(5);
    app.ClickWidget(app.mTutorial->mOkButton);
    app.RunUpdates(30);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_TRUE(app.mGameActive);
    EXPECT_FALSE(app.mSavedGamePresent);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(app.mBoard.get()));
    EXPECT_FALSE(app.mWidgetManager->HasWidget(app.mTutorial.get()));
    EXPECT_EQ(app.mBoard->rules.GameMode, 0);
    EXPECT_EQ(app.mBoard->level, 1);
    EXPECT_TRUE(app.mBoxes.empty());
}

// The tutorial's check box sets and clears the player's "skip the tutorial" flag; with it set, a
// new game goes straight to the board.
TEST_F(GameFlow, TheTutorialIsSkippedOnceThePlayerAsksForIt)
{
    TestGameApp app;
    StartAs(app, "Cy");
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTimed));
    app.RunUpdates(2);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
    Kavo::Checkbox* skip = app.mTutorial->mSkipCheckbox;
    ASSERT_TRUE(app.mWidgetManager->HasWidget(skip));
    app.ClickWidget(skip);
    EXPECT_EQ(app.mPlayer.mGuiFlags & Kavo::UserProfile::kSkipTutorial, Kavo::UserProfile::kSkipTutorial);
    app.ClickWidget(skip);
    EXPECT_EQ(app.mPlayer.mGuiFlags & Kavo::UserProfile::kSkipTutorial, 0);
    app.ClickWidget(skip);
    app.ClickWidget(app.mTutorial->mOkButton);
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_EQ(app.mBoard->rules.GameMode, 1);

    // The next game: no tutorial at all.
    app.ShowMainMenu();
    app.RunUpdates(30);
    const int scriptTime = app.mTutorial->mScriptTime;
    app.AbandonGame(true);
    app.StartGame(1);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_EQ(app.mTutorial->mScriptTime, scriptTime) << "the tutorial was never shown";
    EXPECT_TRUE(app.mGameActive);

    // A level below 1 goes back to the menu and leaves the board alone.
    app.mBoard->mPendingNewGame = false;
    app.StartGame(0);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_FALSE(app.mBoard->mPendingNewGame);
}

// A mode whose first level offers the level chooser opens it once the player has reached level 3
// of that mode.
TEST_F(GameFlow, TheLevelChooserOpensFromLevelThreeReached)
{
    const struct
    {
        int topLevel;
        int screen;
    } cases[] = {
        {0, TestGameApp::kBoardScreen},
        {2, TestGameApp::kBoardScreen},
        {3, TestGameApp::kLevelChooserScreen},
        {12, TestGameApp::kLevelChooserScreen},
    };
    TestGameApp app;
    StartAs(app, "Di", Kavo::UserProfile::kSkipTutorial);
    for (const auto& c : cases)
    {
        app.mPlayer.mTopLevelReached.clear();
        app.mPlayer.RaiseTopLevelReached(0, "", c.topLevel);
        app.ShowMainMenu();
        ASSERT_TRUE(app.LoadRulesAndStart(kUntimed));
        EXPECT_EQ(app.GetShownScreen(), c.screen) << c.topLevel;
        if (c.screen == TestGameApp::kLevelChooserScreen)
        {
            EXPECT_TRUE(app.mWidgetManager->HasWidget(app.mLevelChooser.get()));
        }
        else
        {
            EXPECT_EQ(app.mBoard->level, 1);
        }
    }
    // Rules whose first level offers no chooser: any top level starts at level 1.
    gametest::WriteTextFile("properties/nochooser.xml",
                            Kavo::StringReplaceAll(gametest::ShippedRules("untimed_config.xml"),
                                                   " gcfShowLevelChooserScreen", ""));
    app.mPlayer.RaiseTopLevelReached(0, "", 20);
    ASSERT_TRUE(app.LoadRulesAndStart("properties/nochooser.xml"));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
}

TEST_F(GameFlow, AnUnopenableOrUnreadableRulesFileSaysSoAndChangesNothing)
{
    TestGameApp app;
    StartAs(app, "Ed");
    gametest::WriteTextFile("properties/broken.xml", "<rules><general><nWidth value=\"7\"/>");
    EXPECT_FALSE(app.LoadRulesAndStart("properties/missing.xml"));
    EXPECT_FALSE(app.LoadRulesAndStart("properties/broken.xml"));
    ASSERT_EQ(app.mBoxes.size(), 2u);
    EXPECT_EQ(app.mBoxes[0], ": " + Kavo::StringTable::GetString(103, "properties/missing.xml"));
    EXPECT_EQ(app.mBoxes[1], ": " + Kavo::StringTable::GetString(104));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_FALSE(app.mGameActive);
}

// Where the end of a game leads, by mode; every end is recorded in the scores and the list.
TEST_F(GameFlow, TheEndOfAGameLeadsOnByMode)
{
    const struct
    {
        int mode;
        const char* key;
        int screen;
    } cases[] = {
        {0, "", TestGameApp::kTopTenScreen},     {1, "", TestGameApp::kTopTenScreen},
        {2, "", TestGameApp::kTopTenScreen},     {3, "", TestGameApp::kTopTenScreen},
        {4, "", TestGameApp::kTopTenScreen},     {5, "E3", TestGameApp::kChallengeGridScreen},
        {6, "W1", TestGameApp::kMainMenuScreen},
    };
    TestGameApp app;
    StartAs(app, "Flo");
    int score = 1000;
    for (const auto& c : cases)
    {
        app.mPlayer.mTopLevelReached.clear(); // no level chooser
        PlayOn(app);
        app.mPlayer.mChallengeScores.clear();
        app.mPlayer.RecordChallengeScore(c.mode, c.key, 40, 1);
        ++score;
        app.LevelOver(c.mode, c.key, score, 4, 77, false);
        EXPECT_EQ(app.GetShownScreen(), c.screen) << c.mode;
        EXPECT_FALSE(app.mGameActive) << c.mode;
        EXPECT_FALSE(app.mSavedGamePresent) << c.mode;
        EXPECT_EQ(app.mTopTenList->mLastScore, score) << c.mode;
        EXPECT_EQ(app.mTopTenList->mLastGamePage, Kavo::TopTenList::PageOfMode(c.mode, c.key)) << c.mode;
        if (c.mode <= 4)
        {
            EXPECT_EQ(app.mTopScores.List(c.mode)->top(), Kavo::ScoreEntry("Flo", score, 4)) << c.mode;
        }
        else
        {
            EXPECT_EQ(app.mPlayer.GetChallengeScore(c.key), score) << c.mode;
        }
        if (c.mode == 5)
        {
            EXPECT_EQ(app.mTopScores.mChallengeScores.at("E3").score, score);
        }
        if (c.mode == 6)
        {
            EXPECT_EQ(app.mMainMenu->mWeeklyResult, "W1");
            EXPECT_EQ(app.mMainMenu->mWeeklyPreviousBest, 40);
            EXPECT_EQ(app.mMainMenu->mWeeklyExtra, 77);
        }
    }
    // The levels reached count for the modes whose levels offer the chooser (Untimed does).
    EXPECT_EQ(app.mPlayer.GetTopLevelReached(0, ""), 4);
}

// A retry keeps the game running on the same board, which starts the level again; the scramble
// hint it showed once is not shown again.
TEST_F(GameFlow, ARetryStartsTheLevelAgainOnTheSameBoard)
{
    TestGameApp app;
    StartAs(app, "Gil");
    PlayOn(app);
    app.mBoard->score = 900;
    app.mBoard->mScrambleReminderQueued = true;
    app.LevelOver(0, "", 900, 3, 0, true);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(app.mBoard.get()));
    EXPECT_TRUE(app.mGameActive);
    EXPECT_EQ(app.mBoard->level, 3);
    EXPECT_EQ(app.mBoard->score, 0);
    EXPECT_FALSE(app.mBoard->mPendingNewGame);
    EXPECT_TRUE(app.mBoard->mScrambleReminderQueued);
    EXPECT_EQ(app.mTopScores.List(0)->top(), Kavo::ScoreEntry("Gil", 900, 3)) << "the try counts";
}

// A running game is kept in the player's file when the program ends and waits on the menu's
// resume button the next time; resuming plays on from where it was.
TEST_F(GameFlow, AGameLeftRunningWaitsOnTheResumeButtonNextTime)
{
    platform::RegistryStore store;
    std::string file;
    int score = 0, level = 0, piece = 0;
    {
        TestGameApp app(&store);
        StartAs(app, "Hal");
        PlayOn(app, kTimed);
        app.mBoard->score = 1234;
        score = app.mBoard->score;
        level = app.mBoard->level;
        piece = app.mBoard->Square(2, 3).piece;
        file = SavedGame(app);
        EXPECT_EQ(Kavo::GetFileName(file), "savegame_HAL");
    }
    ASSERT_TRUE(platform::PathExists(file));

    TestGameApp app(&store);
    app.StartToMainMenu();
    EXPECT_TRUE(app.mSavedGamePresent);
    EXPECT_FALSE(app.mGameActive);
    Kavo::FancyButton* resume = app.mMainMenu->Button(GameChooserScreen::kResume);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(resume));
    EXPECT_EQ(app.mMainMenu->Button(GameChooserScreen::kUntimed)->mY, 203);
    app.RunUpdates(30);
    app.ClickWidget(resume);
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_TRUE(app.mGameActive);
    EXPECT_FALSE(app.mSavedGamePresent);
    EXPECT_EQ(app.mBoard->rules.GameMode, 1);
    EXPECT_EQ(app.mBoard->score, score);
    EXPECT_EQ(app.mBoard->level, level);
    EXPECT_EQ(app.mBoard->Square(2, 3).piece, piece);
    EXPECT_TRUE(platform::PathExists(file)) << "read, and kept";

    // The game ends: its file goes with it, so it is not offered again.
    app.LevelOver(1, "", app.mBoard->score, level, 0, false);
    EXPECT_FALSE(platform::PathExists(file));
}

TEST_F(GameFlow, AbandoningDeletesTheSavedGameOnlyWhenAsked)
{
    TestGameApp app;
    StartAs(app, "Ida");
    PlayOn(app);
    ASSERT_TRUE(app.mBoard->SaveGame(app.SavedGameFileName()));
    app.AbandonGame(false);
    EXPECT_FALSE(app.mGameActive);
    EXPECT_TRUE(platform::PathExists(SavedGame(app)));
    EXPECT_EQ(app.mBoard->mUpdateCounter, 0);

    app.mSavedGamePresent = true;
    app.AbandonGame(true);
    EXPECT_FALSE(app.mSavedGamePresent);
    EXPECT_FALSE(platform::PathExists(SavedGame(app)));
}

// "Bob" and "BOB" are one player with one saved game; switching writes the running game of the
// player who leaves, and an unknown name makes a new player.
TEST_F(GameFlow, SwitchingPlayersKeepsEachPlayersGame)
{
    TestGameApp app;
    StartAs(app, "Bob");
    PlayOn(app);
    const std::string bobs = SavedGame(app);
    app.ShowMainMenu();
    app.SwitchUser("Jo");
    EXPECT_TRUE(platform::PathExists(bobs));
    EXPECT_EQ(app.mPlayer.GetName(), "Jo");
    EXPECT_FALSE(app.mGameActive);
    EXPECT_FALSE(app.mSavedGamePresent);
    EXPECT_FALSE(app.mWidgetManager->HasWidget(app.mMainMenu->Button(GameChooserScreen::kResume)));
    std::string stored;
    EXPECT_TRUE(app.RegistryReadString("Users\\BOB\\DisplayName", &stored)) << "Bob was saved";

    app.SwitchUser(" bOB ");
    EXPECT_EQ(app.mPlayer.GetName(), "Bob");
    EXPECT_TRUE(app.mSavedGamePresent);
    EXPECT_EQ(SavedGame(app), bobs);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(app.mMainMenu->Button(GameChooserScreen::kResume)));
}

// A player without a name has no saved game: nothing is written for them, whether the program
// ends, the player is switched or the game abandoned.
TEST_F(GameFlow, NoSavedGameIsWrittenForAPlayerWithoutAName)
{
    const std::string nameless = Board::SavedGamePath(Board::SavedGameFileName(""));
    {
        TestGameApp app;
        app.StartToMainMenu();
        ASSERT_EQ(app.mPlayer.GetName(), "");
        app.KillDialog(TestGameApp::kNameDialog);
        PlayOn(app);
        EXPECT_EQ(app.SavedGameFileName(), "");
        app.SwitchUser("Kim");
        EXPECT_FALSE(platform::PathExists(nameless));
        app.SwitchUser("");
        PlayOn(app);
        ASSERT_TRUE(platform::WriteFileAtomically(nameless, "someone's file"));
        app.AbandonGame(true);
        EXPECT_TRUE(platform::PathExists(nameless)) << "not the nameless player's to delete";
        platform::RemoveFile(nameless);
        PlayOn(app);
    }
    EXPECT_FALSE(platform::PathExists(nameless));
}

// The file name comes from the stored name too: nothing in it leads out of the folder.
TEST_F(GameFlow, ASavedGameStaysInTheApplicationDataFolder)
{
    TestGameApp app;
    StartAs(app, "Lu");
    app.mPlayer.mDisplayName = "../../x\\y";
    EXPECT_EQ(app.SavedGameFileName(), Board::SavedGameFileName(".._.._X_Y"));
}

// A saved game of another version is not offered; resuming it directly shows the yes/no notice,
// which any button closes.
TEST_F(GameFlow, ASavedGameOfAnotherVersionIsNotOffered)
{
    platform::RegistryStore store;
    std::string file;
    {
        TestGameApp app(&store);
        StartAs(app, "Mo");
        PlayOn(app);
        file = SavedGame(app);
    }
    std::string bytes;
    ASSERT_TRUE(platform::ReadFile(file, bytes));
    bytes[0] = 21;
    ASSERT_TRUE(platform::WriteFileAtomically(file, bytes));

    TestGameApp app(&store);
    app.StartToMainMenu();
    EXPECT_FALSE(app.mSavedGamePresent);
    EXPECT_FALSE(app.ResumeSavedGame());
    EXPECT_FALSE(app.HasDialog(TestGameApp::kNoticeDialog)) << "checked before reading";
    EXPECT_FALSE(app.mBoard->ResumeFromSaveFile(app.SavedGameFileName(), false));
    auto* notice = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(TestGameApp::kNoticeDialog));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->mHeader, Kavo::StringTable::GetString(218));
    EXPECT_EQ(notice->mLines, Kavo::StringTable::GetString(129));
    ASSERT_NE(notice->mSecondButton, nullptr);
    app.RunUpdates(20);
    app.ClickWidget(notice->mSecondButton);
    EXPECT_FALSE(app.HasDialog(TestGameApp::kNoticeDialog));
}

// With a game running or waiting, a mode button asks first; "no" leaves everything as it was.
TEST_F(GameFlow, StartingAnewAsksBeforeDroppingTheOldGame)
{
    TestGameApp app;
    StartAs(app, "Nia", Kavo::UserProfile::kSkipTutorial);
    PlayOn(app);
    ASSERT_TRUE(app.mBoard->SaveGame(app.SavedGameFileName()));
    app.ShowMainMenu();
    app.RunUpdates(30);
    // Over the menu of a running game, its hint first.
    auto* hint = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(GameChooserScreen::kMenuHintPopupId));
    ASSERT_NE(hint, nullptr);
    app.RunUpdates(20);
    app.ClickWidget(hint->mFirstButton);
    ASSERT_FALSE(app.HasDialog(GameChooserScreen::kMenuHintPopupId));
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTimed));
    auto* ask = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(GameChooserScreen::kConfirmDialogId));
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->mHeader, Kavo::StringTable::GetString(190));
    app.RunUpdates(20);
    app.ClickWidget(ask->mSecondButton);
    EXPECT_FALSE(app.HasDialog(GameChooserScreen::kConfirmDialogId));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_TRUE(app.mGameActive);
    EXPECT_TRUE(platform::PathExists(SavedGame(app)));

    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kTimed));
    ask = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(GameChooserScreen::kConfirmDialogId));
    ASSERT_NE(ask, nullptr);
    app.RunUpdates(20);
    app.ClickWidget(ask->mFirstButton);
    app.RunUpdates(25);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_EQ(app.mBoard->rules.GameMode, 1);
    EXPECT_FALSE(platform::PathExists(SavedGame(app)));
}

TEST_F(GameFlow, MusicCrossFadesBetweenTheMenusAndTheLevels)
{
    TestGameApp app;
    app.Initialize();
    std::vector<std::string> expected = {"load 0 music/track0.ogg", "load 1 music/track1.ogg",
                                         "load 2 music/track2.ogg", "load 3 music/track3.ogg",
                                         "fadein 0 0.002"};
    EXPECT_EQ(app.Music().log, expected);
    app.PlayMusicTrack(0);
    EXPECT_EQ(app.Music().log.size(), expected.size()) << "already playing";

    app.StartLoadingThread();
    app.mLoadingThread.join();
    app.RunUpdates(2);
    app.Click(400, 300);
    StorePlayer(app, "Ola");
    app.SwitchUser("Ola");
    app.Music().log.clear();
    PlayOn(app); // Untimed's first levels play track 1
    app.ShowScreen(TestGameApp::kBoardScreen);
    app.ShowTopTenList();
    app.ShowTopTenList();
    expected = {"fadeout 0 0.004", "fadein 1 0.002", "fadeout 1 0.004", "fadein 0 0.002"};
    EXPECT_EQ(app.Music().log, expected);
}

TEST_F(GameFlow, FocusReachesTheBoardOnlyWhileItIsShown)
{
    TestGameApp app;
    StartAs(app, "Pim");
    PlayOn(app);
    app.LostFocus();
    EXPECT_TRUE(app.mBoard->IsPaused());
    app.GotFocus();
    EXPECT_FALSE(app.mBoard->IsPaused());
    app.ShowMainMenu();
    app.mBoard->mPaused = false;
    app.LostFocus();
    EXPECT_FALSE(app.mBoard->IsPaused());
    app.ReturnToGame();
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
}

TEST_F(GameFlow, TwinklingStarsFollowTheDisplayUnlessThePlayerChose)
{
    const struct
    {
        bool recommends3D;
        int stored; // -1 none
        bool stars;
    } cases[] = {{false, -1, false}, {true, -1, true}, {true, 0, false}, {false, 1, true}};
    for (const auto& c : cases)
    {
        TestGameApp app;
        app.recommends3D = c.recommends3D;
        if (c.stored >= 0) app.RegistryWriteBoolean("TwinklingStars", c.stored != 0);
        app.Initialize();
        EXPECT_EQ(app.TwinklingStarsOn(), c.stars) << c.recommends3D << " " << c.stored;
    }
}

// Ending without a running game writes no saved game but keeps the player and the scores.
TEST_F(GameFlow, EndingWithoutAGameSavesThePlayerAndTheScores)
{
    platform::RegistryStore store;
    std::string file;
    {
        TestGameApp app(&store);
        StartAs(app, "Quin");
        app.mPlayer.mViewedTips = 9;
        app.mTopScores.AddScore(2, "", 5000, 8, "Quin");
        file = SavedGame(app);
    }
    EXPECT_FALSE(platform::PathExists(file));
    TestGameApp app(&store);
    app.Initialize();
    EXPECT_EQ(app.mPlayer.GetName(), "Quin");
    EXPECT_EQ(app.mPlayer.mViewedTips, 9);
    EXPECT_EQ(app.mTopScores.List(2)->top(), Kavo::ScoreEntry("Quin", 5000, 8));
    bool stars = true;
    EXPECT_TRUE(app.RegistryReadBoolean("TwinklingStars", &stars));
    EXPECT_FALSE(stars);
}

// An application that never started leaves the stored players and scores alone.
TEST_F(GameFlow, AnApplicationThatNeverStartedWritesNothing)
{
    platform::RegistryStore store;
    {
        TestGameApp app(&store);
        app.RegistryWriteString("TopScores\\UntimedModeScores\\0", "10 1 \"Kept\"");
    }
    TestGameApp app(&store);
    std::string entry;
    ASSERT_TRUE(app.RegistryReadString("TopScores\\UntimedModeScores\\0", &entry));
    EXPECT_EQ(entry, "10 1 \"Kept\"");
}

} // namespace
