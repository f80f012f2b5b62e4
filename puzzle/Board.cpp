#include "puzzle/Board.h"

#include "app/KavoAppBase.h"
#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Image.h"
#include "platform/system/Clock.h"
#include "puzzle/BackgroundLoader.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/BoardHost.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/BoardTextOverlay.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/TutorialRow.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

Board* sCurrentBoard = nullptr;

constexpr int kDefaultOriginX = 320;
constexpr int kDefaultOriginY = 71;
constexpr int kFadeSteps = 20;
constexpr int kHintBits = 25;

} // namespace

Board::Board(KavoAppBase* app, const GameRulesConfig& newRules)
    : Fader(this), mApp(app), mMainMenuButton(new ButtonWidget(kMainMenuButtonId, this)),
      mScrambleButton(new FancyButton(kScrambleButtonId, this, FancyButton::kDialogStyle)),
      mResetButton(new FancyButton(kResetButtonId, this, FancyButton::kDialogStyle))
{
    sCurrentBoard = this;
    SetRules(newRules);
    mWantsFocus = true;
    NewGame(1, false);
}

Board::~Board()
{
    // Leave the widget manager while still a board, so the buttons and popups leave with it.
    if (mParent != nullptr) mParent->RemoveWidget(this);
    DeletePopups();
    delete mMainMenuButton;
    delete mScrambleButton;
    delete mResetButton;
    DeletePreviousBackground();
    if (sCurrentBoard == this) sCurrentBoard = nullptr;
}

Board* Board::Current()
{
    return sCurrentBoard;
}

void Board::PlaySound(int soundId)
{
    if (mApp != nullptr) mApp->PlaySample(soundId);
}

void Board::LogBoardEvent(const std::string& event, const std::string& detail)
{
    if (Logger* log = Logger::Instance()) log->LogBoardEvent(event, detail);
}

// ---- Life in the widget manager ----

void Board::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mRetryRequested = false;
    mLevelWon = false;
    mMainMenuButton->mOverImage = IMAGE_MAINMENUBTN_HILIGHT;
    mMainMenuButton->mDownImage = IMAGE_MAINMENUBTN_HILIGHT;
    mMainMenuButton->Resize(
        11, 489, IMAGE_MAINMENUBTN_HILIGHT != nullptr ? IMAGE_MAINMENUBTN_HILIGHT->GetWidth() : 0,
        IMAGE_MAINMENUBTN_HILIGHT != nullptr ? IMAGE_MAINMENUBTN_HILIGHT->GetHeight() : 0);
    mScrambleButton->mLabel = StringTable::GetString(123);
    mResetButton->mLabel = StringTable::GetString(124);
    mScrambleButton->Resize(165, 546, 145, 35);
    mResetButton->Resize(165, 546, 145, 35);
    // Directly in front of the board, so a dialog over it stays over them.
    manager->AddWidgetInfront(mMainMenuButton, this);
    manager->AddWidgetInfront(mScrambleButton, mMainMenuButton);
    manager->AddWidgetInfront(mResetButton, mScrambleButton);
    if (mPendingNewGame)
    {
        mUpdateCounter = 0;
        if (Logger* log = Logger::Instance()) log->RestartSession(0);
        NewGame(mStartLevel, true);
    }
    GetBoardHost().PlayMusicTrack(LevelConfig().nSongID);
    LogBoardEvent("Game Board added to manager");
    Unpause(std::string());
    UpdateScrambleButton();
    mSlideDrag = false;
    (void)FadeIn(kFadeSteps, Color::Black);
}

void Board::RemovedFromManager(WidgetManager* manager)
{
    if (BoardPopup* popup = mCurrentPopup)
    {
        mCurrentPopup = nullptr;
        popup->Withdraw();
    }
    DeletePopups();
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mMainMenuButton);
    manager->RemoveWidget(mScrambleButton);
    manager->RemoveWidget(mResetButton);
    DeletePreviousBackground();
    if (mGameOver) mUpdateCounter = 0;
}

void Board::DeletePreviousBackground()
{
    delete mPreviousBackground;
    mPreviousBackground = nullptr;
}

void Board::DeletePopups()
{
    for (BoardPopup* popup : mPopupQueue)
        delete popup;
    mPopupQueue.clear();
}

void Board::OnLostFocus()
{
    if (!mPaused) Pause("lost focus");
    if (mCurrentPopup != nullptr) mCurrentPopup->OnLostFocus();
    mSlideDrag = false;
    MarkDirty();
}

void Board::OnRegainedFocus()
{
    if (mPaused) Unpause("regained focus");
    if (mCurrentPopup != nullptr) mCurrentPopup->OnRegainedFocus();
}

void Board::Pause(const std::string& reason)
{
    if (!mPaused)
    {
        mPaused = true;
        LogBoardEvent("pause", reason);
        MarkDirty(); // no grid and no pieces from now on
    }
    UpdateScrambleButton();
}

void Board::Unpause(const std::string& reason)
{
    if (mPaused)
    {
        mPaused = false;
        LogBoardEvent("unpause", reason);
        MarkDirty();
    }
    UpdateScrambleButton();
}

void Board::DrawOverlay(Graphics* g)
{
    Fader::Draw(g, 0, 0, mWidth, mHeight);
}

std::string Board::GetModeName()
{
    return GameModeName(rules);
}

std::string Board::GetModeKeyName()
{
    return rules.GetModeKeyName();
}

// ---- Games and levels ----

void Board::ResetForLevel(int newLevel, bool generate)
{
    NewGame(newLevel, generate);
}

void Board::NewGame(int newLevel, bool generate)
{
    GameBoardLogic::ResetForLevel(newLevel, false);
    mSlideAnimations.clear();
    mExplosionAnimations.clear();
    mFloatingTexts.clear();
    mMeterStars.clear();
    ClearTrivialList(mStars);
    mLevelStartEffect = mLevelFinishing = mPaused = false;
    mLevelStartProgress = mLevelFinishingProgress = 0.0f;
    mUpdateCounter = mGameOverCounter = 0;
    mGameOver = mPendingNewGame = mSlideDrag = mStuck = false;
    mLongestChain = 0;
    mMoveSettled = false;
    mUpdatesSinceStart = 0;
    mTutorialStep = 0;
    mShownCompletion = mTargetCompletion = 0.0f;
    mScrambleReminderQueued = mCheckpointHintQueued = mBackgroundCrossFade = false;
    mLevelStartSoundPlayed = mFastAnimations = false;
    mLevelOverReported = false;
    DeletePreviousBackground();
    MarkDirty(); // a game of its own texts and pieces
    mStartLevel = newLevel;
    mGameStartTime = platform::Clock::Get().Ticks();
    mTypedText.clear();
    // A challenge's display lines name the next medal to win.
    for (int n = 1; n <= 10; ++n)
    {
        std::string* line = rules.DisplayLine(n);
        *line = StringReplaceAll(*line, "$next_medal_name", rules.sNextMedalName);
        *line = StringReplaceAll(*line, "$next_medal_target", std::to_string(rules.nNextMedalTarget));
    }
    if (generate)
    {
        GenerateBoard(true, false);
        ComputeGridOrigin();
    }
}

void Board::GenerateBoard(bool newGame, bool keepState)
{
    GameBoardLogic::GenerateBoard(newGame, keepState);
    MarkDirty();
    for (BoardSquareInfo& square : squares)
    {
        square.explodedPiece = PieceNone;
        square.boardFlagA = square.boardFlagB = false;
    }
    BoardHost& host = GetBoardHost();
    const LevelSpecificConfig& config = LevelConfig();
    if (!keepState)
    {
        mCellCursorX = Width() / 2;
        mCellCursorY = Height() / 2;
        mUpdatesSinceStart = 0;
        // The meter starts again from the new level's own progress: it only rises towards its
        // target, and would stay full after the level before.
        mShownCompletion = mTargetCompletion = CompletionFraction();
        mMeterStars.clear();
        if (BackgroundLoader* loader = host.GetBackgroundLoader())
        {
            if (mBackground != nullptr && loader->GetCurrentId() != config.nBackgroundID && Is3DDrawing())
            {
                DeletePreviousBackground();
                mPreviousBackground = mBackground;
                loader->SetCurrentNotOwned(true);
            }
            mBackground = loader->GetBackground(config.nBackgroundID);
            int last = rules.nWinningLevelRequirement;
            if (last == 0 || level < last - 1) loader->Preload(rules.GetLevelConfig(level + 1).nBackgroundID);
        }
        host.RecordTopLevelReached(level);
    }
    mLevelStartEffect = true;
    mLevelStartProgress = 0.0f;
    mMoveSettled = false;
    mSlideAnimations.clear();
    UpdateScrambleButton();
    mStuck = false;
    mBackgroundCrossFade = !newGame && level > 1 &&
                           rules.GetLevelConfig(level - 1).nBackgroundID != config.nBackgroundID &&
                           Is3DDrawing();
    mLevelStartSoundPlayed = false;
    if (keepState)
    {
        host.PlayMusicTrack(config.nSongID);
        return;
    }
    if (level != 1 || config.sStartLevelStoryText.empty()) host.PlayMusicTrack(config.nSongID);
    if (!config.sStartLevelStoryText.empty())
        QueuePopup(
            new BoardTextOverlay(this, kStartStoryPopup, config.sStartLevelStoryText, mBackground, true));
    int disabled = host.GetDisabledHints();
    for (int bit = 0; bit < kHintBits; ++bit)
    {
        int hint = 1 << bit;
        if ((config.HintsToShow & hint) && !(disabled & hint)) QueueHintBox(hint);
    }
}

void Board::QueueHintBox(int hintBit)
{
    QueuePopup(new BoardHintBox(this, this, kMessagePopup, hintBit));
}

void Board::AdvanceToNextLevel()
{
    if (int bonus = LevelCompletionBonus(); bonus != 0)
        FloatCentredText(StringTable::GetString(254, std::to_string(bonus)));
    LogBoardEvent("win");
    Logger* log = Logger::Instance();
    if (log != nullptr) log->EndLevel("completed");
    GameBoardLogic::AdvanceToNextLevel();
    if (log != nullptr) log->BeginLevel();
}

bool Board::ResolveMove(int moveType, int x, int y, int& outX, int& outY, MatchGroupList& groups)
{
    mLongestChain = 0;
    int step = CurrentTutorialStep();
    const TutorialRow* row = step >= 0 ? &TutorialRowAt(step) : nullptr;
    if (row != nullptr &&
        ((row->squareX != -1 && row->squareX != x) || (row->squareY != -1 && row->squareY != y)))
        return false;
    if (!GameBoardLogic::ResolveMove(moveType, x, y, outX, outY, groups)) return false;
    if (row != nullptr && (!row->needsMatch || !groups.empty())) AdvanceTutorial();
    UpdateStuckState();
    return true;
}

void Board::AwardGroup(MatchGroup& group)
{
    GameBoardLogic::AwardGroup(group);
    mLongestChain = std::max(mLongestChain, group.chainLength);
    const LevelSpecificConfig& config = LevelConfig();
    int boosts = 0;
    for (int i = 0; i < std::min(group.chainBoosts, MatchGroup::kMaxChainBoosts); ++i)
    {
        const SquarePos& p = group.chainSquares[i];
        if (InArea(p.x, p.y)) Square(p.x, p.y).pointsLabel = config.LongChainImmediateBoost[i];
        boosts += config.LongChainImmediateBoost[i];
    }
    int x = mGridOriginX + kCellPitch * group.anchorX + kCellWidth;
    int y = mGridOriginY + kCellPitch * group.anchorY + kCellHeight;
    bool combo = group.comboMod >= 0.0001f;
    if (combo)
    {
        PlaySound(SOUND_BONUS);
        mFloatingTexts.push_back({x, y - (group.isBonus ? 110 : 50), 0.0f, "+", false});
    }
    if (group.isBonus)
    {
        mFloatingTexts.push_back({x, y - 50, 0.0f, "*", false});
        if (!combo) PlaySound(SOUND_BONUS);
    }
    int points = group.points - boosts;
    if (points != 0 || !(config.GeneralConfigFlags & gcfDontShowScoresOfZero))
    {
        int height = FONT_FLOATYNUMBER != nullptr ? FONT_FLOATYNUMBER->GetHeight() : 0;
        mFloatingTexts.push_back({x, y - height / 2, 0.0f, std::to_string(points), false});
    }
    for (const SquarePos& p : group.wilds)
        if (InArea(p.x, p.y)) Square(p.x, p.y).piece = group.colour;
}

void Board::StartBlackHoleAt(int x, int y)
{
    GameBoardLogic::StartBlackHoleAt(x, y);
    PlaySound(SOUND_BLACKHOLE_GROW);
}

void Board::OnBlackHoleMatured(int x, int y)
{
    GameBoardLogic::OnBlackHoleMatured(x, y);
    UpdateStuckState();
}

void Board::OnPieceMoved(int x, int y, int dx, int dy)
{
    GameBoardLogic::OnPieceMoved(x, y, dx, dy);
    if (!InArea(x, y) || !InArea(x + dx, y + dy)) return;
    BoardSquareInfo& square = Square(x, y);
    if (square.piece & PieceMaturingFlag)
    {
        square.piece &= ~PieceMaturingFlag;
        square.matureTimer = 0.0f;
        PlaySound(SOUND_BLACKHOLE_STOPPED);
    }
    BoardAnimation slide;
    slide.fromX = x;
    slide.fromY = y;
    slide.toX = x + dx;
    slide.toY = y + dy;
    slide.direction = dx < 0   ? BoardAnimation::kLeft
                      : dx > 0 ? BoardAnimation::kRight
                      : dy > 0 ? BoardAnimation::kDown
                      : dy < 0 ? BoardAnimation::kUp
                               : BoardAnimation::kNone;
    slide.piece = square.piece;
    slide.shownPiece = square.tile;
    mSlideAnimations.push_back(slide);
    square.boardFlagA = true;
    Square(x + dx, y + dy).boardFlagA = true;
}

void Board::ReplenishExploded(int colour, int mask[kSquares])
{
    GameBoardLogic::ReplenishExploded(colour, mask);
    bool over = IsLevelOver(true);
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            int value = mask[x + kGridSize * y];
            if (value == 0) continue;
            if (over && value > 0) Square(x, y).piece = PieceBlank;
            AddExplosionAnimation(x, y, value);
        }
}

// ---- Stuck state and buttons ----

void Board::UpdateStuckState()
{
    if (!(rules.SpecialButtonFlags & (sbfShowScrambleButtonWhenStuck | sbfShowScrambleReminderWhenStuck)))
        return;
    bool stuck = IsLevelOver(false) ? false : IsStuck();
    if (stuck == mStuck) return;
    mStuck = stuck;
    UpdateScrambleButton();
}

void Board::UpdateScrambleButton()
{
    const BoardPlayState state = GetPlayState();
    bool popupHides = mCurrentPopup != nullptr && !(mCurrentPopup->GetShowFlags() & BoardPopup::kBoardGoesOn);
    if (mPaused || IsLevelTransition(state) || popupHides)
    {
        for (FancyButton* button : {mScrambleButton, mResetButton})
        {
            button->SetVisible(false);
            button->SetDisabled(true);
        }
        return;
    }
    int flags = rules.SpecialButtonFlags;
    bool show = (flags & sbfShowScrambleButton) || ((flags & sbfShowScrambleButtonWhenStuck) && mStuck);
    if (mStuck && (flags & (sbfShowScrambleButtonWhenStuck | sbfShowScrambleReminderWhenStuck)) &&
        !mScrambleReminderQueued)
    {
        mScrambleReminderQueued = true; // before queueing: showing the box comes back here
        int hint = (flags & sbfShowScrambleReminderWhenStuck) ? hintScrambleButton2 : hintScrambleButton;
        if (!(GetBoardHost().GetDisabledHints() & hint)) QueueHintBox(hint);
    }
    mScrambleButton->SetVisible(show);
    mScrambleButton->SetDisabled(!(show && CanScramble()));
    bool reset = (flags & sbfShowResetButton) != 0;
    mResetButton->SetVisible(reset);
    mResetButton->SetDisabled(!reset);
}

void Board::ButtonDepress(int id)
{
    if (fading) return; // a click inside the frames of the board's own fade
    switch (id)
    {
    case kMainMenuButtonId:
        LogBoardEvent("board_mainmenu");
        if (FadeOut(kFadeSteps, Color::White)) OnMainMenuAnswer(true);
        break;
    case kScrambleButtonId:
        LogBoardEvent("board_scramble");
        if (GetPlayState() == kPlayOpen && CanScramble())
        {
            Scramble();
            mStuck = false;
            UpdateScrambleButton();
            MarkChanges(); // shown in the frame after the click
        }
        break;
    case kResetButtonId:
        LogBoardEvent("board_reset");
        if (GetPlayState() == kPlayOpen) NewGame(mStartLevel, true);
        break;
    default:
        break;
    }
}

void Board::OnMainMenuAnswer(bool yes)
{
    if (yes)
    {
        Pause("Returning to main screen");
        GetBoardHost().ShowMainMenu();
    }
    else
    {
        Unpause("closed Main Menu confirmation dialog");
    }
}

// ---- State and layout ----

BoardPlayState Board::GetPlayState()
{
    if (!mSlideAnimations.empty()) return kPlaySliding;
    if (!mExplosionAnimations.empty()) return kPlayExploding;
    if (mLevelFinishing || IsLevelOver(false)) return kPlayLevelEnd;
    if (mUpdatesSinceStart < kCrossFadeUpdates + 1 && mBackgroundCrossFade) return kPlayCrossFade;
    if (mLevelStartEffect) return kPlayLevelStart;
    return kPlayOpen;
}

void Board::ComputeGridOrigin()
{
    const int w = Width(), h = Height();
    mGridOriginX =
        w >= 9 ? (mWidth - kCellPitch * w) / 2 : kDefaultOriginX - kCellPitch * std::max(w - 7, -1);
    mGridOriginY =
        h >= 8 ? (mHeight - kCellPitch * h) / 2 + 24 : kDefaultOriginY - kCellPitch * std::max(h - 8, -1);
}

bool Board::HitTest(int px, int py, int& x, int& y) const
{
    int dx = px - mGridOriginX, dy = py - mGridOriginY;
    if (dx < 0 || dy < 0) return false;
    int cx = dx / kCellPitch, cy = dy / kCellPitch;
    if (cx >= Width() || cy >= Height()) return false;
    if (dx % kCellPitch > kCellWidth || dy % kCellPitch > kCellHeight) return false;
    x = cx;
    y = cy;
    return true;
}

void Board::FloatCentredText(const std::string& text, int yOffset, float phase)
{
    mFloatingTexts.push_back({mWidth / 2, mHeight / 2 - yOffset, phase, text, false});
}

} // namespace Kavo
