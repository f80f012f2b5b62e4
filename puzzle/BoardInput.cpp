#include "puzzle/Board.h"

#include "platform/files/AsciiCase.h"
#include "puzzle/BoardHost.h"
#include "puzzle/TutorialRow.h"
#include "rules/RulesFlags.h"
#include "widgets/MouseButton.h"

#include <algorithm>
#include <cstdlib>

namespace Kavo
{

namespace
{

constexpr int kSpaceKey = 32;
constexpr int kEscapeKey = 27;
constexpr const char* kFinishLevelWord = "quillbend";
constexpr const char* kFillTimeWord = "frostlamp";
constexpr const char* kFastWord = "pebbleshine";

// Whether text is word's beginning (or all of it), without regard to case.
bool IsPrefixOf(const std::string& text, const std::string& word)
{
    if (text.size() > word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (platform::AsciiLower(text[i]) != word[i]) return false;
    return true;
}

// The frame after the player's input may come before the next update: what the input changed
// is marked when it has been handled.
struct MarkChangesAfter
{
    Board* board;
    ~MarkChangesAfter() { board->MarkChanges(); }
};

} // namespace

void Board::MouseDown(int x, int y, int clickCount)
{
    MarkChangesAfter marks{this};
    int count = std::abs(clickCount);
    bool leftOrRight = count == 1 || count == 2;
    if (leftOrRight && mPaused)
    {
        Unpause(std::string());
        return;
    }
    if (GetPlayState() != kPlayOpen || mGameOver) return;
    int step = CurrentTutorialStep();
    if (step >= 0 && TutorialRowAt(step).textId != 0 && TutorialRowAt(step).clickContinues) AdvanceTutorial();
    int squareX, squareY;
    if (!leftOrRight || !HitTest(x, y, squareX, squareY)) return;
    const LevelSpecificConfig& config = LevelConfig();
    int moveType = ButtonOfClick(clickCount) == kRightButton ? config.AlternateMoveType : config.MainMoveType;
    MatchGroupList groups;
    int outX, outY;
    if (!ResolveMove(moveType, squareX, squareY, outX, outY, groups)) LogBoardEvent("Illegal Move");
    if (moveType == mtSlide) mSlideDrag = true;
}

void Board::MouseDrag(int x, int y)
{
    MarkChangesAfter marks{this};
    if (!mSlideDrag || mPaused || GetPlayState() != kPlayOpen || mGameOver) return;
    int squareX, squareY;
    if (!HitTest(x, y, squareX, squareY)) return;
    MatchGroupList groups;
    int outX, outY;
    ResolveMove(mtSlide, squareX, squareY, outX, outY, groups);
}

void Board::MouseUp(int x, int y, int clickCount)
{
    (void)x;
    (void)y;
    (void)clickCount;
    mSlideDrag = false;
}

void Board::KeyDown(int keyCode)
{
    if (keyCode == kSpaceKey || keyCode == kEscapeKey)
    {
        if (mPaused)
            Unpause(std::string());
        else
            Pause(std::string());
        MarkDirty();
        return;
    }
    MarkChangesAfter marks{this};
    TypeKey(keyCode);
}

void Board::TypeKey(int keyCode)
{
    std::string key(1, char(keyCode));
    mTypedText += key;
    const bool finishWord = rules.nWinningLevelRequirement > 0;
    const bool fillWord = rules.GameMode != 6;
    const char* words[3] = {finishWord ? kFinishLevelWord : nullptr, fillWord ? kFillTimeWord : nullptr,
                            kFastWord};
    const char* match = nullptr;
    for (const char* word : words)
        if (word != nullptr && IsPrefixOf(mTypedText, word))
        {
            match = word;
            break;
        }
    if (match == nullptr)
    {
        mTypedText = key;
        return;
    }
    if (mTypedText.size() != std::string(match).size() || GetPlayState() != kPlayOpen) return;
    mTypedText.clear();
    if (match == kFinishLevelWord)
    {
        levelComplete = true;
        mMoveSettled = true;
        SetScore(0);
    }
    else if (match == kFillTimeWord)
    {
        SetScore(0);
        SetTimeLeft(1e9f);
    }
    else
    {
        mFastAnimations = true;
    }
}

void Board::PollCursorDevice()
{
    int dirX = 0, dirY = 0, buttons = 0;
    if (!GetBoardHost().ReadCursorDevice(dirX, dirY, buttons)) return;
    auto step = [](int direction) { return direction > 0 ? 1 : direction < 0 ? -1 : 0; };
    mCellCursorX = std::clamp(mCellCursorX + step(dirX), 0, std::max(Width() - 1, 0));
    mCellCursorY = std::clamp(mCellCursorY + step(dirY), 0, std::max(Height() - 1, 0));
    const LevelSpecificConfig& config = LevelConfig();
    MatchGroupList groups;
    int outX, outY;
    if (buttons & 1) ResolveMove(config.MainMoveType, mCellCursorX, mCellCursorY, outX, outY, groups);
    if (buttons & 2) ResolveMove(config.AlternateMoveType, mCellCursorX, mCellCursorY, outX, outY, groups);
}

int Board::CurrentTutorialStep()
{
    if (level == 1 && (LevelConfig().GeneralConfigFlags & gcfDoInteractiveTutorial) && mTutorialStep >= 0 &&
        mTutorialStep < kTutorialRows)
        return mTutorialStep;
    return -1;
}

void Board::AdvanceTutorial()
{
    const bool timed = (LevelConfig().GeneralConfigFlags & gcfElapseRealTime) != 0;
    for (++mTutorialStep; mTutorialStep < kTutorialRows; ++mTutorialStep)
    {
        const TutorialRow& row = TutorialRowAt(mTutorialStep);
        if (!(row.untimedOnly && timed) && !(row.timedOnly && !timed)) break;
    }
}

} // namespace Kavo
