#include "tests/game/SlidingPlayer.h"

#include "puzzle/Board.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/FancyButton.h"
#include "puzzle/TutorialRow.h"
#include "puzzle/YesNoDialog.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace gametest
{

namespace
{

using Kavo::Board;

// A copy of the engine's state on which a move can be tried.
class EngineCopy : public Kavo::GameBoardLogic
{
public:
    explicit EngineCopy(const Kavo::GameBoardLogic& engine) { GameBoardLogic::operator=(engine); }
};

// The slides a player can make: the squares in line with the blank.
std::vector<std::pair<int, int>> Slides(const Kavo::GameBoardLogic& engine)
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
int Try(EngineCopy& engine, int x, int y)
{
    const int before = engine.piecesCleared;
    Kavo::MatchGroupList groups;
    int outX = 0, outY = 0;
    if (!engine.ResolveMove(Kavo::mtSlide, x, y, outX, outY, groups)) return -1;
    return engine.piecesCleared - before;
}

} // namespace

bool SlidingPlayer::AnswerPopup(TestGameApp& app)
{
    Kavo::BoardPopup* popup = app.mBoard->GetCurrentPopup();
    if (popup == nullptr) return false;
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

bool SlidingPlayer::Act(TestGameApp& app)
{
    Board* board = app.mBoard.get();
    if (board->GetCurrentPopup() != nullptr) return AnswerPopup(app);
    if (board->GetPlayState() != Kavo::kPlayOpen || board->mGameOver) return false;
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

bool SlidingPlayer::Choose(const Board& board, int& bestX, int& bestY)
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

} // namespace gametest
