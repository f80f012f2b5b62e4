#pragma once

#include "base/MersenneTwister.h"
#include "rules/GameBoardLogic.h"

#include <cstdint>
#include <vector>

// The players of playbot: they choose clicks for a board of the real rules engine, as a person
// at the board screen would, and nothing they do changes the game's own random numbers.
namespace PlayBot
{

// The rules engine with the one rule of the board screen that changes play: a piece that moves
// while it matures into a black hole stops maturing. Copyable, so that players can try moves.
class Engine : public Kavo::GameBoardLogic
{
public:
    Engine() = default;
    Engine(const Engine&) = default;
    Engine& operator=(const Engine&) = default;

    void OnPieceMoved(int x, int y, int dx, int dy) override;

    // While on, every square a move changes is noted (the squares pieces leave and reach).
    void NoteMovedSquares(bool on);
    // After a move on a board without a group: whether a seed block (2 x 2, or 3 x 3 with the 3 x 3
    // rule) over a square that changed now matches, which is where any new group must start.
    bool MoveMadeASeed() const;
    const std::vector<Kavo::SquarePos>& MovedSquares() const { return mMoved; }

private:
    bool mNoting = false;
    std::vector<Kavo::SquarePos> mMoved;
};

// One click: a move type (the left or right button's) on a square.
struct Click
{
    int type = 0, x = 0, y = 0;
};

bool IsSlide(int moveType);

// Every click of the level's two buttons that moves something different: clicks that the move
// clamps onto the same block, row or column are given once.
std::vector<Click> Clicks(const Kavo::GameBoardLogic& engine);

// Whether any click of the level's two buttons moves a piece; on a board where none does (every
// block, row or column held by a black hole, wall or gap) there is no move at all.
bool AnyClickMoves(const Engine& engine);

// How good a position is for a player who wants points and the level's end: finishing the level
// outweighs everything, then its objective, time on the clock and points.
double Worth(const Kavo::GameBoardLogic& engine);

enum class Style
{
    // Looks at every click of both buttons and takes the move worth most now; when nothing makes
    // a group it looks two or three moves ahead for the quickest good group.
    Careful,
    // Overlooks half of the clicks, takes the best group among those it sees, else any move.
    Casual,
    // Looks one move ahead only: of every click of both buttons it takes the one that makes the
    // largest group, with no thought for points or for what follows, except that it takes a move
    // that ends the level first and one that loses the game last. When nothing groups, the move
    // whose moved pieces join the most pieces of one colour side by side, to a position not seen
    // since the last group while there is one. Equal clicks are picked among at random.
    Greedy,
    // Plans: tries every sequence of two clicks of both buttons (three where the clicks are few),
    // each move played out with the pieces that fall in drawn from a generator of its own, and
    // takes the first click of the sequence that leaves the position worth most for points and
    // the level's objective. It finishes the groups that are that near and sees nothing further:
    // no thought for clusters in the making; equal clicks at random.
    Planner,
};

// The name of a style on the command line and in the report ("careful", "casual", "greedy",
// "planner"),
// and the style of a name; false for a name that is none.
const char* StyleName(Style style);
bool StyleFromName(const char* name, Style& style);

struct PlayerOptions
{
    Style style = Style::Careful;
    // Game seconds that one move takes (thinking, the slide and the explosion); 0 for the style's
    // pace in the mode (ModePace).
    double pace = 0;
    // Deepest look-ahead of the careful player when no move makes a group now (1 = none).
    int depth = 3;
};

class Player
{
public:
    Player(const PlayerOptions& options, uint32_t seed);

    const PlayerOptions& Options() const { return mOptions; }
    // A move for the position; false when no move is possible at all.
    bool Choose(const Engine& engine, Click& chosen);

private:
    struct Tried;

    bool ChooseCasual(const Engine& engine, const std::vector<Click>& clicks, Click& chosen);
    bool ChooseGreedy(const Engine& engine, const std::vector<Click>& clicks, Click& chosen);
    bool ChooseCareful(const Engine& engine, const std::vector<Click>& clicks, Click& chosen);
    bool ChoosePlanner(const Engine& engine, const std::vector<Click>& clicks, Click& chosen);
    // The worth of the best sequence of at most moves clicks that starts with click, from the
    // position of engine; false when the click moves nothing. ply: how deep the sequence is.
    bool PlanWorth(const Engine& engine, const Click& click, int moves, size_t ply, double& worth);
    // Where the first points end the game: the best group now, or the quiet move after which a
    // bigger one is there.
    bool ChooseOneShot(const Engine& engine, const std::vector<Click>& clicks, Click& chosen);
    // The first click of the shortest sequence of quiet moves (up to the look-ahead) that ends in
    // the best group; false when none of them ends in a group.
    bool LookAhead(const Engine& engine, const std::vector<Click>& quiet, Click& chosen);
    double Noise();
    // Notes the position the player is to move from; the record starts again with each group and
    // each level, since no earlier position can come back after them.
    void NotePosition(const Engine& engine);
    bool SeenPosition(const Engine& engine) const;

    PlayerOptions mOptions;
    Kavo::MersenneTwister mRandom;
    // The positions since the last group (by their pieces), so that quiet moves do not go round in
    // circles between the same few positions, as a careful player's would not.
    std::vector<uint64_t> mSeen;
    int mSeenLevel = 0, mSeenCleared = -1, mSeenGroups = -1;
    // The planner's positions, one a move ahead.
    std::vector<Engine> mPlies;
};

} // namespace PlayBot
