#include "puzzle/Board.h"

#include "base/Logger.h"
#include "base/Random.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/BoardHost.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/BoardQuickMessage.h"
#include "puzzle/BoardTextOverlay.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/WantRetryPrompt.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "widgets/ButtonWidget.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr float kFastAnimationSpeed = 5.0f;
constexpr float kFinishedProgress = 1.8f;
constexpr int kRetryPromptUpdate = 100;
constexpr int kLevelOverUpdate = 149;
constexpr int kMinExplosionDelay = 20;
constexpr int kCheckpointLevels[] = {2, 5, 8, 10, 13, 15, 18, 21, 24, 27, 30};

// A random share 0 to 1 in steps of 0.00001 (effects only: the global generator).
float RandomShare()
{
    return float(Rand() % 100000) * 0.00001f;
}

} // namespace

float Board::AnimationSpeed() const
{
    return mFastAnimations ? kFastAnimationSpeed : LevelConfig().fAnimationMod;
}

void Board::Update()
{
    Widget::Update();
    if (mPaused) return;
    const LevelSpecificConfig& config = LevelConfig();

    if (mShownCompletion < mTargetCompletion &&
        (mUpdatesSinceStart % 2 == 1 || mTargetCompletion - mShownCompletion > 0.06f) &&
        (config.GeneralConfigFlags & gcfDisplayPiecesRemaining) && Is3DDrawing())
    {
        MeterStar star;
        star.xOffset = float(Lerp(-6.0, 12.0, RandomShare()));
        star.speed = float(Lerp(1.0, 50.0, RandomShare()));
        star.position = mShownCompletion;
        mMeterStars.push_back(star);
    }
    bool popupStopsBoard =
        mCurrentPopup != nullptr && !(mCurrentPopup->GetShowFlags() & BoardPopup::kBoardGoesOn);
    if (mUpdatesSinceStart % 2 == 1 && !popupStopsBoard) SpawnStar(mStars, this);

    bool skipToEnd = false;
    if (!mGameOver)
    {
        if (mUpdateCounter % 50 == 25 && (config.GeneralConfigFlags & gcfEarnNoPointsWhileSupernovasPresent))
        {
            bool supernova = false;
            for (int y = 0; y < Height() && !supernova; ++y)
                for (int x = 0; x < Width() && !supernova; ++x)
                    supernova = (Square(x, y).piece & PieceSupernovaFlag) != 0;
            if (supernova) PlaySound(SOUND_SUPERNOVA);
        }
        skipToEnd = ShowNextPopup();
    }
    if (!mGameOver && !skipToEnd)
    {
        if (mCursorDeviceOn && mUpdateCounter % 10 == 0) PollCursorDevice();
        if (mLevelStartEffect && mLevelStartProgress > 1.0f)
        {
            if (!rules.sStartupMessage.empty() && level == mStartLevel)
                QueuePopup(new BoardQuickMessage(this, kMessagePopup, rules.sNameOfChallenge,
                                                 rules.sStartupMessage));
            mLevelStartEffect = false;
        }
        if (mLevelFinishing)
        {
            if (mLevelFinishingProgress == 0.0f) CheckpointNotice();
            if (mLevelFinishingProgress >= kFinishedProgress)
            {
                if (!LevelConfig().sEndLevelStoryText.empty())
                {
                    QueuePopup(new BoardTextOverlay(this, kEndStoryPopup, LevelConfig().sEndLevelStoryText,
                                                    mBackground, true));
                }
                else
                {
                    mLevelFinishing = false;
                    AdvanceToNextLevel();
                }
            }
        }
        if (!mLevelStartEffect && !mLevelFinishing)
        {
            TimeStep();
            const int flags = LevelConfig().GeneralConfigFlags;
            if (GetPlayState() == kPlayOpen)
            {
                if (flags & gcfGrowBlackHolesInRealtime) AdvanceBlackHoleTimers(0.01f);
                if ((flags & gcfCheckForNewBlackHolesInRealtime) && mPopupQueue.empty())
                    CheckForNewBlackHoles();
            }
            if (timeLeft > 0.0f)
            {
                float maxTime = LevelConfig().fMaxTimeLeft;
                if (mUpdateCounter % 100 == 0 && maxTime > 0.0f &&
                    timeLeft / maxTime <= LevelConfig().fWarningBellStartTimePercent)
                    PlaySound(SOUND_TICKTOCK);
            }
            else if (rules.nWinningScoreRequirementAfterGame >= 1 &&
                     score >= rules.nWinningScoreRequirementAfterGame)
            {
                EndLevel("ran out of time, but had minimum score for a win", true);
            }
            else
            {
                EndLevel("ran out of time", false);
            }
        }
        const BoardPlayState state = GetPlayState();
        if (state == kPlayOpen && !mGameOver && IsSpecialLoss())
        {
            EndLevel("special loss-condition met", false);
        }
        else if ((state == kPlayOpen || state == kPlayLevelEnd) && !mGameOver && IsSpecialWin())
        {
            int bonus = LevelCompletionBonus();
            if (IsLevelOver(true) && bonus != 0)
            {
                SetScore(score + bonus);
                FloatCentredText(StringTable::GetString(254, std::to_string(bonus)));
            }
            EndLevel("special win-objective completed", true);
        }
    }
    if (mGameOver && mCurrentPopup == nullptr)
    {
        ++mGameOverCounter;
        if (mGameOverCounter == kRetryPromptUpdate &&
            (LevelConfig().GeneralConfigFlags & gcfShowRetryBoxWhenGameEnds) && !mLevelWon)
            QueuePopup(new WantRetryPrompt(this, kRetryPopup));
        else if (mGameOverCounter > kLevelOverUpdate)
            ReportLevelOver();
    }

    // The buttons follow the play state (they hide while the level starts or ends).
    if (const BoardPlayState state = GetPlayState(); state != mShownPlayState)
    {
        mShownPlayState = state;
        UpdateScrambleButton();
    }
    ++mUpdateCounter;
    ++mUpdatesSinceStart;
    if (mUpdatesSinceStart == 2 && mCurrentPopup == nullptr && mBackgroundCrossFade) PlaySound(SOUND_FADEIN);
    if (mUpdatesSinceStart > kCrossFadeUpdates)
    {
        DeletePreviousBackground();
    }
    MarkChanges();
}

void Board::ReportLevelOver()
{
    // Once per end of a game: the host may leave the board where it is.
    if (mLevelOverReported) return;
    mLevelOverReported = true;
    GetBoardHost().LevelOver(rules.GameMode, rules.sChallengeModeID, score, level, int(mGameStartTime),
                             mRetryRequested);
}

void Board::UpdateF(float fraction)
{
    if (mPaused) return;
    if (mCurrentPopup != nullptr && !(mCurrentPopup->GetShowFlags() & BoardPopup::kBoardGoesOn)) return;

    mTargetCompletion = CompletionFraction();
    if (mShownCompletion < mTargetCompletion)
        mShownCompletion = std::min(mShownCompletion + fraction / 500.0f, mTargetCompletion);

    for (MeterStar& star : mMeterStars)
        star.phase += fraction * 0.01f;
    std::erase_if(mMeterStars, [](const MeterStar& star) { return star.phase > 1.0f; });
    UpdateStarField(mStars, fraction, this);

    const float speed = AnimationSpeed();
    for (BoardAnimation& slide : mSlideAnimations)
        slide.progress += speed * 0.1f * fraction;

    bool explosionsRan = false;
    if (mSlideAnimations.empty())
    {
        if (!mExplosionAnimations.empty())
        {
            for (size_t i = 0; i < mExplosionAnimations.size(); ++i)
                StepAnimations(mExplosionAnimations[i], fraction);
            explosionsRan = true;
        }
        else if (mLevelStartEffect)
        {
            if (!mBackgroundCrossFade || mUpdatesSinceStart >= kCrossFadeUpdates + 1)
            {
                if (!mLevelStartSoundPlayed)
                {
                    mLevelStartSoundPlayed = true;
                    PlaySound(SOUND_LEVELUP);
                }
                mLevelStartProgress += fraction * (Is3DDrawing() ? 0.013f : 0.025f);
            }
        }
        else if (mLevelFinishing)
        {
            mLevelFinishingProgress += fraction * (Is3DDrawing() ? 0.015f : 0.025f);
        }
        else if (mMoveSettled && IsLevelOver(false) && !mGameOver)
        {
            mLevelFinishingProgress = 0.0f;
            mLevelFinishing = true;
            PlaySound(SOUND_LEVELFINISHED);
        }
    }
    mMoveSettled = explosionsRan;

    for (FloatingText& text : mFloatingTexts)
        text.phase += fraction * 0.008f;
    MarkChanges();
}

void Board::StepAnimations(BoardAnimation& animation, float fraction)
{
    if (animation.delay > 0.0f)
    {
        animation.delay -= fraction;
        if (animation.delay >= 0.0f) return;
        fraction = -animation.delay;
        animation.delay = 0.0f;
    }
    if (fraction <= 0.0f) return;
    if (animation.progress == 0.0f && !animation.label.empty())
    {
        int height = FONT_FLOATYNUMBER != nullptr ? FONT_FLOATYNUMBER->GetHeight() : 0;
        mFloatingTexts.push_back({mGridOriginX + kCellPitch * animation.fromX + kCellWidth / 2,
                                  mGridOriginY + kCellPitch * animation.fromY + (kCellHeight - height) / 2,
                                  0.0f, animation.label, true});
    }
    if (animation.piece == PieceBlank)
        animation.progress = 1.0f;
    else
        animation.progress += AnimationSpeed() * 0.035f * fraction;
}

void Board::AddExplosionAnimation(int x, int y, int maskValue)
{
    static constexpr int kDelays[] = {15, 30, 39, 48, 57};
    int delay = maskValue >= 1 && maskValue <= 5 ? kDelays[maskValue - 1]
                : maskValue > 6                  ? 66 + 9 * (maskValue - 6)
                                                 : 66;
    BoardSquareInfo& square = Square(x, y);
    square.boardFlagB = true;
    BoardAnimation explosion;
    explosion.fromX = x;
    explosion.fromY = y;
    explosion.delay = float(std::max(delay, kMinExplosionDelay));
    explosion.shownPiece = square.explodedPiece;
    explosion.piece = square.piece;
    if (square.pointsLabel != 0)
    {
        explosion.label = StringTable::GetString(254, std::to_string(square.pointsLabel));
        square.pointsLabel = 0;
    }
    mExplosionAnimations.push_back(explosion);
}

void Board::CheckpointNotice()
{
    if (std::find(std::begin(kCheckpointLevels), std::end(kCheckpointLevels), level) ==
        std::end(kCheckpointLevels))
        return;
    FloatCentredText(StringTable::GetString(316), 0, 0.1f);
    if (level == 2 && !(GetBoardHost().GetDisabledHints() & hintCheckpoint) && !mCheckpointHintQueued)
    {
        mCheckpointHintQueued = true;
        QueueHintBox(hintCheckpoint);
    }
}

void Board::EndLevel(const std::string& reason, bool win)
{
    LogBoardEvent(win ? "win" : "fail", reason);
    LogBoardEvent("completed", reason);
    mGameOver = true;
    if (!win)
    {
        if (!rules.sLoseMessage.empty()) FloatCentredText(rules.sLoseMessage);
        PlaySound(SOUND_GAMEOVER);
    }
    else
    {
        mLevelWon = true;
        if (!rules.sWinMessage.empty())
            FloatCentredText(rules.sWinMessage, IsLevelOver(true) && LevelCompletionBonus() != 0 ? 65 : 0);
        PlaySound(SOUND_YOUWIN);
        const std::string& story = LevelConfig().sEndLevelStoryText;
        if (!story.empty()) QueuePopup(new BoardTextOverlay(this, kEndStoryPopup, story, mBackground, true));
        BoardHost& host = GetBoardHost();
        int flags = host.GetGuiFlags();
        int bit = rules.GameMode == 0 ? kGuiFlagUntimedWon : rules.GameMode == 1 ? kGuiFlagTimedWon : 0;
        if (bit != 0 && !(flags & bit))
        {
            host.SetGuiFlags(flags | bit);
            QueuePopup(new BoardQuickMessage(this, kMessagePopup, StringTable::GetString(126),
                                             StringTable::GetString(rules.GameMode == 0 ? 127 : 128)));
        }
    }
    if (mMainMenuButton->mParent != nullptr) mMainMenuButton->mParent->RemoveWidget(mMainMenuButton);
    MarkDirty();
}

} // namespace Kavo
