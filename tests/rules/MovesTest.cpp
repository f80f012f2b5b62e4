#include "rules/RulesFlags.h"
#include "tests/rules/BoardText.h"
#include "tests/rules/RecordingEngine.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;
using KavoTest::BoardRows;
using KavoTest::Moved;
using KavoTest::RecordingEngine;
using KavoTest::Rows;
using KavoTest::TileRows;

// Every row starts from the same board of distinct pieces (so no group forms) with the blank
// at (3, 2), over these tiles.
const Rows kBoard = {"abcd", "efgh", "ijA."};
const Rows kTiles = {"1234", "5678", "9123"};

struct MoveCase
{
    int moveType;
    int x, y;
    Rows board;
    Rows tiles;
    std::vector<Moved> moved;
    int outX, outY;
};

const MoveCase kMoves[] = {
    {mtOneSpaceSlide, 3, 1, {"abcd", "efg.", "ijAh"}, kTiles, {{3, 1, 0, 1}, {3, 2, 0, -1}}, 3, 2},
    {mtSlide,
     0,
     2,
     {"abcd", "efgh", ".ijA"},
     kTiles,
     {{2, 2, 1, 0}, {3, 2, -1, 0}, {1, 2, 1, 0}, {2, 2, -1, 0}, {0, 2, 1, 0}, {1, 2, -1, 0}},
     1,
     2},
    // Clicked on the last column: the block whose right edge is that column; tiles stay.
    {mtFourSquareRotateCW,
     3,
     0,
     {"abgc", "efhd", "ijA."},
     kTiles,
     {{3, 0, 0, 1}, {3, 1, -1, 0}, {2, 1, 0, -1}, {2, 0, 1, 0}},
     3,
     0},
    {mtFourSquareRotateCCW,
     0,
     0,
     {"bfcd", "aegh", "ijA."},
     kTiles,
     {{1, 0, -1, 0}, {0, 0, 0, 1}, {0, 1, 1, 0}, {1, 1, 0, -1}},
     0,
     0},
    // A corner click turns the ring around the nearest inner square; tiles travel along.
    {mtNineSquareRotateCW,
     0,
     0,
     {"eabd", "ifch", "jAg."},
     {"5124", "9638", "1273"},
     {{0, 0, 1, 0},
      {1, 0, 1, 0},
      {2, 0, 0, 1},
      {2, 1, 0, 1},
      {2, 2, -1, 0},
      {1, 2, -1, 0},
      {0, 2, 0, -1},
      {0, 1, 0, -1}},
     0,
     0},
    {mtNineSquareRotateCCW,
     3,
     2,
     {"acdh", "ebg.", "ifjA"},
     {"1348", "5273", "9612"},
     {{1, 0, 0, 1},
      {1, 1, 0, 1},
      {1, 2, 1, 0},
      {2, 2, 1, 0},
      {3, 2, 0, -1},
      {3, 1, 0, -1},
      {3, 0, -1, 0},
      {2, 0, -1, 0}},
     3,
     2},
    // Three-square cycles: the wrapping piece is not announced.
    {mtThreeSquareHorzCycleLTR,
     0,
     1,
     {"abcd", "gefh", "ijA."},
     {"1234", "7568", "9123"},
     {{0, 1, 1, 0}, {1, 1, 1, 0}},
     0,
     1},
    {mtThreeSquareHorzCycleRTL,
     3,
     0,
     {"acdb", "efgh", "ijA."},
     {"1342", "5678", "9123"},
     {{2, 0, -1, 0}, {3, 0, -1, 0}},
     3,
     0},
    {mtThreeSquareVertCycleTTB,
     1,
     0,
     {"ajcd", "ebgh", "ifA."},
     {"1134", "5278", "9623"},
     {{1, 0, 0, 1}, {1, 1, 0, 1}},
     1,
     0},
    {mtThreeSquareVertCycleBTT,
     3,
     2,
     {"abch", "efg.", "ijAd"},
     {"1238", "5673", "9124"},
     {{3, 1, 0, -1}, {3, 2, 0, -1}},
     3,
     2},
    {mtTwoSquareHorzSwapLTR,
     3,
     2,
     {"abcd", "efgh", "ij.A"},
     {"1234", "5678", "9132"},
     {{2, 2, 1, 0}, {3, 2, -1, 0}},
     3,
     2},
    {mtTwoSquareVertSwapTTB,
     0,
     2,
     {"abcd", "ifgh", "ejA."},
     {"1234", "9678", "5123"},
     {{0, 1, 0, 1}, {0, 2, 0, -1}},
     0,
     2},
    {mtEntireRowHorzCycleLTR,
     2,
     0,
     {"dabc", "efgh", "ijA."},
     {"4123", "5678", "9123"},
     {{0, 0, 1, 0}, {1, 0, 1, 0}, {2, 0, 1, 0}},
     2,
     0},
    {mtEntireRowHorzCycleRTL,
     0,
     1,
     {"abcd", "fghe", "ijA."},
     {"1234", "6785", "9123"},
     {{1, 1, -1, 0}, {2, 1, -1, 0}, {3, 1, -1, 0}},
     0,
     1},
    {mtEntireColVertCycleTTB,
     2,
     1,
     {"abAd", "efch", "ijg."},
     {"1224", "5638", "9173"},
     {{2, 0, 0, 1}, {2, 1, 0, 1}},
     2,
     1},
    {mtEntireColVertCycleBTT,
     3,
     0,
     {"abch", "efg.", "ijAd"},
     {"1238", "5673", "9124"},
     {{3, 1, 0, -1}, {3, 2, 0, -1}},
     3,
     0},
};

TEST(Moves, EveryMoveType)
{
    for (const MoveCase& c : kMoves)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, kBoard);
        KavoTest::SetTiles(engine, kTiles);
        MatchGroupList groups;
        int outX = -5, outY = -5;
        ASSERT_TRUE(engine.ResolveMove(c.moveType, c.x, c.y, outX, outY, groups)) << "move " << c.moveType;
        EXPECT_TRUE(groups.empty()) << "move " << c.moveType;
        EXPECT_EQ(BoardRows(engine), c.board) << "move " << c.moveType;
        EXPECT_EQ(TileRows(engine), c.tiles) << "move " << c.moveType;
        EXPECT_EQ(engine.moved, c.moved) << "move " << c.moveType;
        EXPECT_EQ(outX, c.outX) << "move " << c.moveType;
        EXPECT_EQ(outY, c.outY) << "move " << c.moveType;
    }
}

// The level keeps the most groups one move has made: a later move with fewer leaves it.
TEST(Moves, MostGroupsInOneMoveIsTheLargestCount)
{
    RecordingEngine engine;
    engine.Level().PieceRatio[prColor5] = 1;
    engine.Level().PieceRatio[prColor6] = 1;
    MatchGroupList groups;
    int outX, outY;
    KavoTest::SetBoard(engine, {"aabb", "abab"});
    ASSERT_TRUE(engine.ResolveMove(mtTwoSquareHorzSwapLTR, 1, 1, outX, outY, groups));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(engine.mostGroupsInOneMove, 2);
    KavoTest::SetBoard(engine, {"aab", "aba"});
    ASSERT_TRUE(engine.ResolveMove(mtTwoSquareHorzSwapLTR, 1, 1, outX, outY, groups));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(engine.mostGroupsInOneMove, 2);
}

TEST(Moves, TilesTravelWithSwappedPiecesWhenTheRulesSaySo)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, kBoard);
    KavoTest::SetTiles(engine, kTiles);
    engine.Level().TileConfigFlags = tcfMoveColorsWithTiles;
    MatchGroupList groups;
    int outX, outY;
    ASSERT_TRUE(engine.ResolveMove(mtOneSpaceSlide, 2, 2, outX, outY, groups));
    EXPECT_EQ(BoardRows(engine), (Rows{"abcd", "efgh", "ij.A"}));
    EXPECT_EQ(TileRows(engine), (Rows{"1234", "5678", "9132"}));
}

struct Refusal
{
    const char* what;
    Rows board;
    int moveType;
    int x, y;
};

const Refusal kRefusals[] = {
    {"slide clicking the blank", {"abc", "de."}, mtSlide, 2, 1},
    {"slide outside the blank's row and column", {"abc", "de."}, mtSlide, 0, 0},
    {"slide across a wall", {"a#.", "def"}, mtSlide, 0, 0},
    {"slide across a black hole", {"a", "*", "."}, mtSlide, 0, 0},
    {"slide moving a gap", {"_.c", "def"}, mtSlide, 0, 0},
    {"slide without a blank", {"abc", "def"}, mtSlide, 0, 0},
    {"one-space slide with no blank beside", {"abc", "de."}, mtOneSpaceSlide, 0, 0},
    {"one-space slide of a wall", {"abc", "d#."}, mtOneSpaceSlide, 1, 1},
    {"rotation over a gap", {"ab_", "def"}, mtFourSquareRotateCW, 2, 0},
    {"nine-square ring with a black hole", {"abc", "def", "gh*"}, mtNineSquareRotateCCW, 1, 1},
    {"row cycle through a gap", {"ab_defg", "hijABCD"}, mtEntireRowHorzCycleLTR, 0, 0},
    {"column cycle through a wall", {"a", "#", "c"}, mtEntireColVertCycleBTT, 0, 0},
    {"three-square cycle with a black hole", {"a*c"}, mtThreeSquareHorzCycleRTL, 0, 0},
    {"swap with a wall", {"a", "#"}, mtTwoSquareVertSwapTTB, 0, 0},
    {"four-square rotation on a board one square wide", {"a", "b"}, mtFourSquareRotateCW, 0, 0},
    {"three-square cycle on a board two squares wide", {"ab"}, mtThreeSquareHorzCycleLTR, 0, 0},
    {"no move", {"ab"}, mtNone, 0, 0},
    {"unknown move type", {"ab"}, 17, 0, 0},
    {"move type of an unknown name", {"ab"}, -1, 0, 0},
    {"click outside the board", {"abc", "de."}, mtEntireRowHorzCycleLTR, 0, 2},
    {"click left of the board", {"abc", "de."}, mtTwoSquareHorzSwapLTR, -1, 0},
};

TEST(Moves, RefusedMovesChangeNothing)
{
    for (const Refusal& c : kRefusals)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, c.board);
        engine.Level().fScorePenaltyPerMainMoveType = 10.0f;
        engine.SetScore(50);
        MatchGroupList groups;
        int outX, outY;
        EXPECT_FALSE(engine.ResolveMove(c.moveType, c.x, c.y, outX, outY, groups)) << c.what;
        EXPECT_EQ(BoardRows(engine), c.board) << c.what;
        EXPECT_TRUE(engine.moved.empty()) << c.what;
        EXPECT_EQ(engine.score, 50) << c.what;
    }
}

TEST(Moves, MaturingAndSupernovaPiecesMove)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"aBc."});
    engine.Square(0, 0).piece |= PieceMaturingFlag;
    engine.Square(0, 0).matureTimer = 2.0f;
    MatchGroupList groups;
    int outX, outY;
    ASSERT_TRUE(engine.ResolveMove(mtSlide, 0, 0, outX, outY, groups));
    EXPECT_EQ(engine.Square(1, 0).piece, 1 | PieceMaturingFlag);
    EXPECT_EQ(engine.Square(1, 0).matureTimer, 2.0f);
    EXPECT_EQ(engine.Square(2, 0).piece, 2 | PieceSupernovaFlag);
    EXPECT_EQ(engine.Square(0, 0).piece, PieceBlank);
    EXPECT_EQ(outX, 1);

    // A row of seven free squares announces six moves.
    KavoTest::SetBoard(engine, {"abcdefg"});
    engine.moved.clear();
    ASSERT_TRUE(engine.ResolveMove(mtEntireRowHorzCycleLTR, 3, 0, outX, outY, groups));
    EXPECT_EQ(engine.moved.size(), 6u);
}

// A move that makes no group still costs what the rules charge.
TEST(Moves, PenaltiesOfMovesWithoutAGroup)
{
    struct Case
    {
        const char* what;
        int moveType;
        int startScore, startPieces;
        float startTime;
        int score, pieces;
        float time;
    } cases[] = {
        {"main move", mtSlide, 30, 20, 50.0f, 20, 15, 47.5f},
        {"alternate move", mtOneSpaceSlide, 30, 20, 50.0f, 28, 15, 49.0f},
        {"score and time stop at 0", mtSlide, 3, 3, 1.0f, 0, 3, 0.0f},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, {"abc", "de."});
        LevelSpecificConfig& level = engine.Level();
        level.MainMoveType = mtSlide;
        level.AlternateMoveType = mtOneSpaceSlide;
        level.fScorePenaltyPerMainMoveType = 10.9f; // truncated to 10
        level.fScorePenaltyPerAlternateMoveType = 2.0f;
        level.fTimePenaltyPerMainMoveType = 2.5f;
        level.fTimePenaltyPerAlternateMoveType = 1.0f;
        level.nPiecePenaltyPerMainMoveType = 5; // also after an alternate move
        engine.SetScore(c.startScore);
        engine.piecesCleared = c.startPieces;
        engine.SetTimeLeft(c.startTime);
        engine.combo = 4;
        MatchGroupList groups;
        int outX, outY;
        ASSERT_TRUE(engine.ResolveMove(c.moveType, 1, 1, outX, outY, groups)) << c.what;
        EXPECT_EQ(engine.score, c.score) << c.what;
        EXPECT_EQ(engine.piecesCleared, c.pieces) << c.what;
        EXPECT_FLOAT_EQ(engine.timeLeft, c.time) << c.what;
        EXPECT_EQ(engine.combo, 0) << c.what;
    }
}

} // namespace
