#pragma once

#include "base/LoggerFeedbackInterface.h"
#include "puzzle/BoardAnimation.h"
#include "puzzle/BoardLook.h"
#include "puzzle/BoardPlayState.h"
#include "puzzle/BoardPopupListener.h"
#include "puzzle/Fader.h"
#include "puzzle/FloatingText.h"
#include "puzzle/MeterStar.h"
#include "puzzle/TwinklingStars.h"
#include "rules/GameBoardLogic.h"
#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

namespace Kavo
{

class BoardPopup;
class ButtonWidget;
class FancyButton;
class Image;
class KavoAppBase;

// The widget on which a level is played: the view and controller over the rules engine. It
// turns clicks and keys into moves, animates slides, explosions and floating texts, shows the
// level's popups one at a time, runs the level's real-time rules and its end, and saves and
// resumes a running game. The game application reaches it through the operations below and is
// reached through BoardHost (puzzle/BoardHost.h).
//
// The engine operations it overrides call the engine's first and add presentation. Board timing
// counts widget-manager updates (10 ms each).
//
// Play states: BoardPlayState (puzzle/BoardPlayState.h), found by GetPlayState.
//
// Pausing is orthogonal: a paused board runs no update logic, makes no moves, hides its
// scramble and reset buttons and draws no grid or pieces.
//
// What the board draws changes only through its update (and the moves and popups it runs), so
// it marks what changed at the end of each update (MarkChanges), and its drawing changes
// nothing: an animation drawn at its end is dropped once the frame is drawn (FrameDrawn).
//
// Grid layout: the cell pitch is 65; square (x, y) is the cell (originX + 65x, originY + 65y,
// 62 x 60). The origin is set when a board is generated and after a resume (ComputeGridOrigin).
class Board : public Widget,
              public ButtonListener,
              public GameBoardLogic,
              public BoardPopupListener,
              public Fader,
              public LoggerFeedbackInterface
{
public:
    // Button ids.
    enum
    {
        kMainMenuButtonId = 12,
        kScrambleButtonId = 17,
        kResetButtonId = 18,
    };

    // Popup ids.
    enum
    {
        kMessagePopup = 105,
        kEndStoryPopup = 106,
        kStartStoryPopup = 108,
        kRetryPopup = 115,
    };

    static constexpr int kCellPitch = 65;
    static constexpr int kCellWidth = 62;
    static constexpr int kCellHeight = 60;
    // The grid's crossbeam is drawn at this offset from its cell's corner.
    static constexpr int kCrossbeamX = 57;
    static constexpr int kCrossbeamY = 56;
    static constexpr int kCrossFadeUpdates = 180;
    static constexpr int kSavedGameVersion = 22;
    static constexpr int kTutorialRows = 32;
    // The top of the bonus boost's line, under the frame's top bar (its rim at y 36) on the left.
    static constexpr int kBonusBoostY = 46;

    // Stores itself as the process's board, copies the rules into the engine, makes the three
    // buttons and starts a game at level 1 (NewGame(1, false)).
    Board(KavoAppBase* app, const GameRulesConfig& rules);
    ~Board() override;
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // The board of the process, or null.
    static Board* Current();

    // --- Widget ---
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // The background (the one faded from, while the level's fades in over it) covers the board:
    // the plain blue fill without a picture, else the picture when it is opaque and as large.
    bool IsOpaque() override;
    // Drops the slides, explosions and floating texts the frame showed at their end, clearing
    // the squares' animation flags, and plays the sounds drawing starts (the chain's good-move
    // sound, a supernova's explosion, a chain boost's label).
    void FrameDrawn() override;
    using Widget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;
    void KeyDown(int keyCode) override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    // clickCount: 1 or 2 left, -1 or -2 right, 3 middle.
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    // Moves the cell cursor by the host's cursor device and makes its moves.
    virtual void PollCursorDevice();
    // Yes: pauses and shows the main menu; no: unpauses.
    virtual void OnMainMenuAnswer(bool yes);

    // --- ButtonListener ---
    void ButtonDepress(int id) override;

    // --- Engine operations, each calling the engine's first ---
    // The same as NewGame.
    void ResetForLevel(int level, bool generate) override;
    void AdvanceToNextLevel() override;
    void GenerateBoard(bool newGame, bool keepState) override;
    // Refuses a move off the tutorial step's square; advances the tutorial.
    bool ResolveMove(int moveType, int x, int y, int& outX, int& outY, MatchGroupList& groups) override;
    void AwardGroup(MatchGroup& group) override;
    void StartBlackHoleAt(int x, int y) override;
    void OnBlackHoleMatured(int x, int y) override;
    // The engine's state, then the board's; reading is all or nothing (false, board unchanged).
    bool Serialize(Serializer& serializer) override;
    void ReplenishExploded(int colour, int mask[kSquares]) override;
    void OnPieceMoved(int x, int y, int dx, int dy) override;

    // --- BoardPopupListener ---
    void OnPopupClosed(int popupId, int result) override;

    // --- LoggerFeedbackInterface ---
    int GetUpdateCount() override { return mUpdateCounter; }
    int GetScore() override { return score; }
    int GetLevel() override { return level; }
    std::string GetModeName() override;
    std::string GetModeKeyName() override;

    // --- Game ---
    // Starts a game at level: the engine's reset and the board's presentation state; with
    // generate the level's board is built and the grid placed.
    void NewGame(int level, bool generate);
    // Ends the level (and the game) with a win or a loss; the reason goes to the event log.
    void EndLevel(const std::string& reason, bool win);
    BoardPlayState GetPlayState();
    void Pause(const std::string& reason);
    void Unpause(const std::string& reason);
    bool IsPaused() const { return mPaused; }
    // Called by the game application when its window loses or regains the focus.
    void OnLostFocus();
    void OnRegainedFocus();
    void UpdateScrambleButton();
    void UpdateStuckState();
    void ComputeGridOrigin();
    // The square at widget point (px, py); false (x, y untouched) between cells and outside.
    bool HitTest(int px, int py, int& x, int& y) const;

    // --- Popups ---
    // Takes the popup (owned from now on) and shows the next one when it can.
    void QueuePopup(BoardPopup* popup);
    // True while a popup shows.
    bool ShowNextPopup();
    BoardPopup* GetCurrentPopup() const { return mCurrentPopup; }
    const std::list<BoardPopup*>& GetPopupQueue() const { return mPopupQueue; }

    // --- Saved game (file names are taken inside the application-data folder) ---
    // False, with nothing written, once the game is over. Written atomically.
    bool SaveGame(const std::string& fileName);
    // True when the file exists and is of version 22; gameMode gets its game mode.
    bool LoadGame(const std::string& fileName, int& gameMode);
    bool LoadGame(const std::string& fileName);
    // Reads the saved game into the board. False when the file is missing, of another version
    // (a notice is shown) or damaged (the board is left as it was).
    bool ResumeFromSaveFile(const std::string& fileName, bool deleteAfter);
    // The saved game's file name of a player: text 105 with the player's key name (the trimmed
    // upper-case form that identifies a player) as insert.
    static std::string SavedGameFileName(const std::string& playerKeyName);
    // The application-data folder joined to the file name: the one place saved games are found.
    static std::string SavedGamePath(const std::string& fileName);

    // --- Animations ---
    void AddExplosionAnimation(int x, int y, int maskValue);
    // One explosion record's step; false when the record is still waiting.
    void StepAnimations(BoardAnimation& animation, float fraction);
    void PlayGoodMoveSound();
    // The explosion cel a waiting explosion shows (0: the piece itself).
    static int WaitingFrame(const BoardAnimation& explosion);

    // --- What changed on screen ---
    // Marks what changed on screen since the last call: the whole board when the scene changed
    // (BoardLook::Scene) and while the backgrounds cross-fade; else the squares whose look
    // changed (the whole grid while the pieces grow in or shrink out), the panel, the meter and
    // the cursor when theirs changed, and the area of every running animation.
    void MarkChanges();
    // Fills look with the board's look of now (its squares' storage is reused).
    void LookNow(BoardLook& look);
    // Where things are drawn, in the board's coordinates.
    Rect CellArea(int x, int y, bool halo) const;
    Rect SlideArea(const BoardAnimation& slide) const;
    Rect ExplosionArea(const BoardAnimation& explosion) const;
    Rect FloatingTextArea(const FloatingText& text) const;
    Rect GridArea() const;
    Rect MeterArea() const;
    Rect PanelArea() const;
    // A floating text centred on the widget's centre (raised by yOffset).
    void FloatCentredText(const std::string& text, int yOffset = 0, float phase = 0.0f);
    // The current tutorial row (0 to 31), or -1 when none is current.
    int CurrentTutorialStep();
    void AdvanceTutorial();

    // ======== State ========

    KavoAppBase* mApp; // not owned; sounds play through its PlaySample
    ButtonWidget* mMainMenuButton;
    FancyButton* mScrambleButton;
    FancyButton* mResetButton;
    std::vector<BoardAnimation> mSlideAnimations;
    std::vector<BoardAnimation> mExplosionAnimations;
    std::vector<FloatingText> mFloatingTexts;
    bool mLevelStartEffect = false;
    bool mLevelFinishing = false;
    bool mPaused = false;
    float mLevelStartProgress = 0.0f;
    float mLevelFinishingProgress = 0.0f;
    int32_t mUpdateCounter = 0; // updates of this level (drives animations and periodic sounds)
    int32_t mGameOverCounter = 0;
    bool mGameOver = false;
    Image* mPreviousBackground = nullptr; // owned
    Image* mBackground = nullptr;         // the background loader's
    int32_t mCellCursorX = 0;
    int32_t mCellCursorY = 0;
    bool mCursorDeviceOn = false;
    bool mSlideDrag = false;
    bool mStuck = false;
    int32_t mLongestChain = 0; // of the last move
    bool mMoveSettled = false;
    std::list<BoardPopup*> mPopupQueue; // owned
    BoardPopup* mCurrentPopup = nullptr;
    bool mPendingNewGame = false;
    int32_t mStartLevel = 1;
    int32_t mUpdatesSinceStart = 0;
    uint32_t mGameStartTime = 0; // ms
    int32_t mTutorialStep = 0;
    std::string mTypedText;
    float mShownCompletion = 0.0f;
    float mTargetCompletion = 0.0f;
    std::vector<MeterStar> mMeterStars;
    StarList mStars;
    bool mScrambleReminderQueued = false;
    bool mCheckpointHintQueued = false;
    bool mBackgroundCrossFade = false;
    bool mLevelStartSoundPlayed = false;
    bool mRetryRequested = false;
    bool mLevelWon = false;
    bool mFastAnimations = false;
    int32_t mGridOriginX = 320;
    int32_t mGridOriginY = 71;
    bool mLevelOverReported = false;               // GameApp::LevelOver was called for this game's end
    std::optional<BoardPlayState> mShownPlayState; // the play state the buttons were last set for
    BoardLook mShownLook;                          // as MarkChanges last saw it
    BoardLook mSpareLook;                          // MarkChanges' room for the look of now

private:
    float AnimationSpeed() const;
    void PlaySound(int soundId);
    void LogBoardEvent(const std::string& event, const std::string& detail = std::string());
    void ReportLevelOver();
    void QueueHintBox(int hintBit);
    void CheckpointNotice();
    void TypeKey(int keyCode);
    bool SerializeBoardState(Serializer& serializer);
    void DrawBackground(Graphics* g);
    void DrawCompletionMeter(Graphics* g);
    void DrawGrid(Graphics* g);
    void DrawPieces(Graphics* g, BoardPlayState playState);
    void DrawExplosions(Graphics* g);
    void DrawSlides(Graphics* g);
    void DrawPanel(Graphics* g, BoardPlayState playState);
    void DrawFloatingTexts(Graphics* g);
    void FinishExplosions();
    void FinishSlides();
    void FinishFloatingTexts();
    void DrawTutorialBox(Graphics* g, BoardPlayState playState);
    void DeletePopups();
    void DeletePreviousBackground();
};

} // namespace Kavo
