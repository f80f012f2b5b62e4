#pragma once

#include "app/KavoAppBase.h"
#include "game/TopScores.h"
#include "game/TutorialScreenListener.h"
#include "game/UserProfile.h"
#include "puzzle/BoardHost.h"

#include <atomic>
#include <memory>
#include <string>

namespace Kavo
{

class BackgroundLoader;
class Board;
class ChallengeGridScreen;
class ChallengeRecord;
class GameChooserScreen;
class LevelChooserScreen;
class Logger;
class TitleScreen;
class TopTenList;
class TutorialScreen;
class Widget;
class XMLParser;

// The game's application object: the framework's application with the game's screens, its
// resources ("Init" and "TitleScreen" at start-up, "Game" on the loading thread), the four
// music tracks, the current player and the top scores, and the flow of a game from the main
// menu to the top-ten list. The board reaches it through BoardHost, the tutorial through
// TutorialScreenListener.
//
// Screens (exactly one of them lies in the widget manager once the title screen has gone):
//
// | id | screen         | name for the event log | music when shown                 |
// |----|----------------|------------------------|----------------------------------|
// | 1  | main menu      | "mainmenu"             | track 0                          |
// | 2  | board          | "gameboard"            | unchanged (the board picks it)   |
// | 3  | top-ten list   | "toptenlist"           | track 0                          |
// | 4  | tutorial       | "tutorial"             | track 0                          |
// | 5  | level chooser  | "levelchooser"         | track 0                          |
// | 6  | challenge grid | "challengegrid"        | track 0                          |
//
// Game states:
//
// | state              | game active | saved game present | entered by                              |
// |--------------------|-------------|--------------------|-----------------------------------------|
// | no game            | false       | false              | start-up without a saved game,          |
// |                    |             |                    | abandoning, the end of a game           |
// | saved game waiting | false       | true               | start-up or a player switch finding the |
// |                    |             |                    | player's saved game                     |
// | game running       | true        | false              | showing the board                       |
//
// A player's saved game is the file text 105 (with the player's key form as insert) in the
// application-data folder (Board::SavedGamePath joins them); a player without a name has none.
class GameApp : public KavoAppBase, public TutorialScreenListener, public BoardHost
{
public:
    enum ScreenId
    {
        kNoScreen = 0,
        kMainMenuScreen = 1,
        kBoardScreen = 2,
        kTopTenScreen = 3,
        kTutorialScreen = 4,
        kLevelChooserScreen = 5,
        kChallengeGridScreen = 6,
    };
    enum DialogId
    {
        kOptionsDialog = 100,
        kNameDialog = 101,
        kNoticeDialog = 104,
        kAccountsDialog = 112,
        kSettingsNoticeDialog = 116,
    };
    // The four music tracks "music/track0.ogg" to "music/track3.ogg"; track 0 plays on the menus.
    static constexpr int kMusicTracks = 4;

    GameApp();
    ~GameApp() override;

    // --- Start-up and shut-down ---
    void Initialize() override;
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;
    void DeletingDestructor(int flags) override;
    void PreShutdown() override;
    // 1 as soon as there is nothing to load.
    double GetLoadingThreadProgress() override;
    // Whether the display's test recommends 3D acceleration (the twinkling stars' default).
    virtual bool DisplayRecommends3D();
    // Builds every screen and shows the main menu (the title screen's continue button).
    virtual void CreateScreens();

    // --- Screens ---
    // Shows the screen in place of the shown one, beneath any open dialog, which stays on top
    // and modal (the screen takes the focus when it closes).
    void ShowScreen(int id);
    void ShowMainMenu() override;
    bool ShowTopTenList();
    bool ShowChallengeGrid();
    void FocusCurrentScreen();
    void RemoveCurrentScreen();
    // The widget of the shown screen, or null.
    Widget* CurrentScreenWidget();
    int GetShownScreen() const { return mShownScreen; }

    // --- Dialogs, focus, display ---
    Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                      const std::string& footer, int buttonMode) override;
    bool OpenOptionsDialog();
    void SwitchScreenMode(bool windowed, bool is3D, bool force = false) override;
    void GotFocus() override;
    void LostFocus() override;

    // --- Game flow ---
    // Reads the rules file and starts a game with it; false (a message box says why) when it
    // cannot be opened or read. A challenge of the grid gives the rules its name, its display
    // lines and the player's next medal.
    bool LoadRulesAndStart(const std::string& path, const ChallengeRecord* challenge = nullptr);
    bool StartGameWithRules(XMLParser& parser, const ChallengeRecord* challenge = nullptr);
    // A level below 1 shows the main menu; otherwise the board gets a pending game at the level,
    // shown after the tutorial unless the player skips it.
    void StartGame(int level);
    void AbandonGame(bool deleteSavedGame);
    bool ReturnToGame();
    bool ResumeSavedGame();
    // The current player's record and the top scores, as one rewrite of the settings file.
    void SavePlayerAndScores();
    // Saves the current player (and a running game), then makes name the current player.
    void SwitchUser(const std::string& name);
    // The current player was deleted: no game runs or waits any more, and the player is
    // unnamed until another is chosen.
    void ForgetCurrentPlayer();
    // Deletes the player's saved-game file (a missing file is no error).
    void RemoveSavedGameOf(const std::string& name);
    bool OpenPlayerDialog();
    // Tells the player of the next settings problem not yet told (KavoAppBase's
    // mUntoldDamagedSettings, then mUntoldUnwritableSettings) in a notice over the screen:
    // texts 324 and 325 (the place the damaged file was kept as insert), 326 and 327 (the
    // settings file as insert). Its OK shows the next one, or the player dialog on the main menu
    // when there is no player. False when there was nothing to tell.
    bool ShowSettingsNotice();
    int GetTopLevelReached();
    void DialogButtonDepress(int dialogId, int buttonId) override;

    // --- TutorialScreenListener ---
    void OnTutorialFinished() override;
    void SetSkipTutorial() override;
    void ClearSkipTutorial() override;

    // --- BoardHost ---
    void LevelOver(int gameMode, const std::string& challengeKey, int score, int level, int extra,
                   bool retry) override;
    void PlayMusicTrack(int track) override;
    void RecordTopLevelReached(int level) override;
    int GetGuiFlags() override { return mPlayer.mGuiFlags; }
    void SetGuiFlags(int flags) override { mPlayer.mGuiFlags = flags; }
    int GetDisabledHints() override { return mPlayer.mDisabledHints; }
    void SetDisabledHints(int hints) override { mPlayer.mDisabledHints = hints; }
    bool TwinklingStarsOn() override { return mTwinklingStars; }
    BackgroundLoader* GetBackgroundLoader() override { return mBackgroundLoader.get(); }

    // The current player's saved-game file name (inside the application-data folder), or ""
    // while the player has no name.
    std::string SavedGameFileName() const;
    // The same for any player's name.
    static std::string SavedGameFileNameOf(const std::string& name);

    // ======== State ========

    std::unique_ptr<GameChooserScreen> mMainMenu;
    std::unique_ptr<Board> mBoard;
    std::unique_ptr<TitleScreen> mTitleScreen; // null once the other screens are built
    std::unique_ptr<TopTenList> mTopTenList;
    std::unique_ptr<TutorialScreen> mTutorial;
    std::unique_ptr<LevelChooserScreen> mLevelChooser;
    std::unique_ptr<ChallengeGridScreen> mChallengeGrid;
    std::unique_ptr<Logger> mLogger;
    std::unique_ptr<BackgroundLoader> mBackgroundLoader;
    UserProfile mPlayer;
    TopScores mTopScores;
    int mShownScreen = kNoScreen;
    int mMusicTrack = -1; // the track last faded in; -1 none
    bool mGameActive = false;
    bool mSavedGamePresent = false;
    bool mTwinklingStars = false;
    // Whether the display decides 3D acceleration by its test.
    bool mAutoEnable3D = false;

private:
    bool mPlayerDataLoaded = false; // the player and the scores were read (Initialize)
    // What went wrong on the loading thread, shown by the main thread at the hand-over.
    std::string mLoadingError;
    std::atomic<bool> mLoadingFailed{false};
};

} // namespace Kavo
