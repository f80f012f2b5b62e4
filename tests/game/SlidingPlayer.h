#pragma once

#include "base/MersenneTwister.h"
#include "tests/game/GameTestSupport.h"

namespace Kavo
{
class Board;
}

namespace gametest
{

// Plays the board as a player would, through the mouse: the slide that clears the most, else the
// next slide in turn; it follows the board's own tutorial, answers the board's popups and
// scrambles a stuck board.
class SlidingPlayer
{
public:
    // One action; false while the board is busy and there is nothing to do but wait.
    bool Act(TestGameApp& app);
    // Answers the board's popup on show (its first button, or a click through a text overlay);
    // false when none shows or its button cannot be pressed yet.
    static bool AnswerPopup(TestGameApp& app);

private:
    // Looks two slides ahead: what clears now counts most, what the next slide could clear next;
    // among equals the player's own generator decides.
    bool Choose(const Kavo::Board& board, int& bestX, int& bestY);

    Kavo::MersenneTwister mRandom{20240607};
};

} // namespace gametest
