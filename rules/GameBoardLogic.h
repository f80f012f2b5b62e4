#pragma once

#include "rules/BoardSquareInfo.h"
#include "rules/GameRulesConfig.h"
#include "rules/MatchGroup.h"

#include <cstdint>

namespace Kavo
{

class Serializer;

// The rules engine of the puzzle. It owns the board (a 20 x 20 grid of which the rules'
// nWidth x nHeight area is used), the rules of the mode with the generator that makes every
// random decision, and the running counters; it plays moves, finds and scores groups, grows
// black holes, refills the board and decides when levels and games end. It draws nothing and
// takes no input: the board screen derives from it and overrides the virtual operations,
// always calling the engine's operation first. The notifications (OnPieceMoved,
// OnBlackHoleMatured) are called from inside a move and do nothing here.
//
// Every loop over the board visits the area row by row (y outer, x inner). The millisecond
// clock of real-time black-hole growth is platform::Clock, so tests install a FakeClock.
class GameBoardLogic
{
public:
    static constexpr int kGridSize = GameRulesConfig::kMaxBoardSize;
    static constexpr int kSquares = kGridSize * kGridSize; // square (x, y) is index x + 20 y

    // Default rules, then ResetForLevel(1, false).
    GameBoardLogic();
    virtual ~GameBoardLogic();

    // ---- Operations the board screen overrides (calling these first) ----

    // Resets the game's and the level's counters for a game starting at level (1 or more),
    // seeds the generator with RandomSeed when that is set, and with generate builds the board.
    virtual void ResetForLevel(int level, bool generate);
    // Books the level-completion bonus, moves to the next level and builds its board.
    virtual void AdvanceToNextLevel();
    // Builds the level's board from its layout and weights, so that it starts without a group
    // (1000 tries; the last board is kept). Without keepState it also resets the level's
    // counters, picks a bonus and sets the time (carrying surplus time over to a next level).
    virtual void GenerateBoard(bool newGame, bool keepState);
    // Plays one whole turn: the move, the groups it made (into groups), scoring, tiles, refill,
    // penalties and the black-hole steps. False, with nothing changed, when the move is refused.
    virtual bool ResolveMove(int moveType, int x, int y, int& outX, int& outY, MatchGroupList& groups);
    // Changes the tiles under the exploded squares (mask value above 0); returns whether the
    // move lit new tiles of colour 1.
    virtual bool ApplyExplosionsToTiles(const int mask[kSquares]);
    // Books a scored group into the score, the piece counters, the records and the time.
    virtual void AwardGroup(MatchGroup& group);
    // One check for real-time growth, at most once per fMinTimeBetweenBlackHoleGrowChecks; true
    // when a black hole started growing into a neighbour.
    virtual bool CheckForNewBlackHoles();
    // The piece at (x, y) starts maturing into a black hole (or becomes one at once).
    virtual void StartBlackHoleAt(int x, int y);
    // Runs the maturing timers by seconds; pieces whose time is up become black holes.
    virtual void AdvanceBlackHoleTimers(float seconds);
    // Notification: (x, y) has just become a black hole by maturing.
    virtual void OnBlackHoleMatured(int x, int y);
    // Saves or loads the whole state (the rules first, then the counters, then the area's
    // squares). Loading is all or nothing: a damaged stream, a board size outside 1..20, an
    // unknown piece code, a level below 1, a negative score or a time that is not a number
    // returns false and leaves the engine as it was. Writing moves the generator to the end
    // of its block first (see GameRulesConfig::Serialize).
    virtual bool Serialize(Serializer& serializer);
    // Refills the exploded squares (or turns a too small explosion into black holes).
    // colour is the single group's colour, or PieceNone for a move with several groups.
    virtual void ReplenishExploded(int colour, int mask[kSquares]);
    // Notification, before the squares change: the piece at (x, y) moves by (dx, dy).
    virtual void OnPieceMoved(int x, int y, int dx, int dy);

    // ---- Moves ----

    // Rearranges the pieces for one move; false when the move is refused (nothing changes and
    // nothing is announced). outX, outY start as x, y; slides set them to where the clicked
    // piece went.
    bool DoMove(int moveType, int x, int y, int& outX, int& outY);
    // Announces and exchanges two squares; their tiles stay unless tcfMoveColorsWithTiles.
    void SwapSquares(int x1, int y1, int x2, int y2);
    static bool IsImmovablePiece(int piece);
    bool AreaHasImmovablePiece(const SquarePos* positions, int count) const;

    // ---- Matching ----

    // Every group on the board into groups (in the row order of their seeds), the exploded
    // squares into mask with their chain steps. True when a group was found.
    bool FindMatches(int mask[kSquares], MatchGroupList& groups);
    // Whether FindMatches finds a group (it draws from the generator for chain boosts).
    bool BoardHasMatches();
    // pieces without flags, in row order. False when one is a black hole, wall, gap, blank or
    // no piece; else true when every piece that is not wild has one colour (colour 1 for
    // a block of wild pieces only).
    static bool Is2x2Match(const int pieces[4], int& colour);
    static bool Is3x3Match(const int pieces[9], int& colour);
    // Chooses the next bonus colour and size (no bonus when nStartingBonus is below 1).
    void PickNewBonus();
    // A piece drawn by the level's weights (mode 0 all kinds, 1 colours only, 2 no
    // supernovas) that is neither a nor b. When the weights leave no such kind, or 1000 draws
    // find none, the choice is fixed instead: the first weighted kind that is allowed, else
    // the first colour from 1 up that is allowed.
    int PickRandomPieceExcluding(int a, int b, int mode);

    // ---- Board queries ----

    // The blank square of the area, first in row order; false with -1, -1 when there is none.
    bool FindBlankSquare(int& x, int& y) const;
    // For sliding boards: true when the squares the blank can reach hold too few pieces of any
    // one colour (wild pieces counting for every colour) to make a group, or hold no 3 x 3
    // area (4 x 4 with gcfRequire3x3Square). False for a board without a blank square.
    bool IsStuck() const;
    // Colours with a non-zero weight at the current level.
    int CountColourKinds() const;

    // ---- Time, score and level ends ----

    void SetScore(int value);      // never below 0
    void SetTimeLeft(float value); // 0 to the level's limit
    // One update of 10 ms: time, score loss and the acceleration of the time loss.
    void TimeStep();
    int LevelCompletionBonus() const;
    bool IsLevelComplete() const; // a level objective holds
    bool IsLevelDone() const;     // enough pieces cleared, or the level complete
    // Done, unless (without ignoreSpecial) a special win or loss ends the game instead.
    bool IsLevelOver(bool ignoreSpecial) const;
    bool IsSpecialWin() const;
    bool IsSpecialLoss() const;
    bool CanScramble() const;
    // A new board of the same level, at the cost in points and time the rules set.
    void Scramble();
    // piecesCleared over nPiecesInLevel, 0 to 1; 1 when the level asks for no pieces.
    float CompletionFraction() const;

    // ---- Rules and area ----

    // Takes a copy of rules; refuses (false, nothing changed) a board size outside 1..20.
    bool SetRules(const GameRulesConfig& newRules);
    // The used area: the rules' size, or 0 x 0 while that size is outside 1..20, so that
    // nothing is ever read or written past the grid.
    int Width() const;
    int Height() const;
    bool InArea(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    BoardSquareInfo& Square(int x, int y) { return squares[x + kGridSize * y]; }
    const BoardSquareInfo& Square(int x, int y) const { return squares[x + kGridSize * y]; }
    // The record of the current level.
    const LevelSpecificConfig& LevelConfig() const { return rules.GetLevelConfig(level); }

    // ---- State (saved in this order) ----

    int32_t level;               // current level, from 1
    float timeLeft;              // seconds left (the energy bar)
    int32_t score;               // never below 0
    int32_t piecesCleared;       // pieces counted towards nPiecesInLevel in this level
    int32_t mostGroupsInOneMove; // in this level
    int32_t totalPieces;         // group squares cleared in the whole game
    int32_t smallestGroup;       // of the game; 0 = none yet
    int32_t largestGroup;        // of the game
    int32_t longestChain;        // of the game
    bool levelComplete;          // a tile objective was met
    int32_t scrambleUses;        // in this level
    float bonusMultiplier;       // sum of fBonusMultiplier over this level's bonus groups
    int32_t lastGrowCheckTime;   // milliseconds of the last growth check (32-bit ticks)
    int32_t lastGrowX;           // the black hole that grew last; -1 = none
    int32_t lastGrowY;
    int32_t bonusColour;   // colour the bonus asks for; PieceNone = no bonus
    int32_t bonusSize;     // group size (less swallowed black holes) the bonus asks for
    int32_t bonusesEarned; // in this level
    int32_t combo;         // groups made by consecutive moves
    bool growHintUsed;     // the guaranteed first growth of hintBlackHolesGrow happened
    BoardSquareInfo squares[kSquares];
    float timeLossRate;    // seconds lost per second of play
    GameRulesConfig rules; // with the generator of every random decision

protected:
    GameBoardLogic(const GameBoardLogic&) = default;
    GameBoardLogic& operator=(const GameBoardLogic&) = default;

private:
    static constexpr int kMaxPickAttempts = 1000;
    static constexpr int kMaxBoardAttempts = 1000;
    static constexpr int kMaxRefillAttempts = 100;

    bool SerializeFields(Serializer& serializer);
    bool HasValidState() const;
    // The counters a new board of a level starts again from.
    void ResetLevelCounters();
    void GrowGroup(MatchGroup& group, int mask[kSquares]) const;
    void ScoreGroup(MatchGroup& group, const int mask[kSquares], bool& bonusTaken);
    void PlacePiecesFromLayout(int mode);
    void ApplyTileLayout();
    void LogEvent(const char* name, int64_t value) const;
    // A random number below n (n above 0), from the rules' generator.
    uint32_t RandomBelow(uint32_t n);
};

} // namespace Kavo
