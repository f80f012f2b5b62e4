#include "platform/system/FakeClock.h"
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

// Weights 1 for colours 3 to 8: a board of random pieces rarely holds a group.
void WeightColours(LevelSpecificConfig& level)
{
    for (int i = prColor3; i <= prColor8; ++i)
        level.PieceRatio[i] = 1;
}

int CountPieces(const GameBoardLogic& engine, int piece)
{
    int count = 0;
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
            count += engine.Square(x, y).piece == piece;
    return count;
}

TEST(BoardGeneration, LayoutCharactersAndTiles)
{
    RecordingEngine engine;
    engine.rules.nWidth = 6;
    engine.rules.nHeight = 2;
    LevelSpecificConfig& level = engine.Level();
    level.PieceRatio[prColor5] = 1;
    level.PieceRatio[prBlackHole] = 1000; // "," never gives a black hole even so
    level.sLevelLayout = "aJ#_*!,, ";
    level.sTileLayout = "1290x";
    level.GeneralConfigFlags = gcfDontAddBlankSquare;
    engine.GenerateBoard(true, false);
    Rows rows = BoardRows(engine);
    EXPECT_EQ(rows[0], "aJ#_*!");
    EXPECT_EQ(rows[1].substr(0, 3), "ee.");
    EXPECT_EQ(KavoTest::TileRows(engine), (Rows{"129000", "000000"}));
}

TEST(BoardGeneration, ShortLayoutFillsAtRandomAndAddsTheBlank)
{
    RecordingEngine engine;
    engine.rules.nWidth = 3;
    engine.rules.nHeight = 2;
    WeightColours(engine.Level());
    engine.Level().sLevelLayout = "ab";
    engine.GenerateBoard(true, false);
    Rows rows = BoardRows(engine);
    EXPECT_EQ(rows[0].substr(0, 2), "ab");
    EXPECT_EQ(rows[1][1], '.'); // the square (width / 2, height / 2)
    for (char c : rows[0].substr(2) + rows[1][0] + rows[1][2])
        EXPECT_TRUE(c >= 'c' && c <= 'h') << c;
}

TEST(BoardGeneration, ALayoutWithAGroupIsKeptInTheEnd)
{
    RecordingEngine engine;
    engine.rules.nWidth = 3;
    engine.rules.nHeight = 2;
    engine.Level().sLevelLayout = "aabaac";
    engine.Level().GeneralConfigFlags = gcfDontAddBlankSquare;
    engine.GenerateBoard(true, false);
    EXPECT_EQ(BoardRows(engine), (Rows{"aab", "aac"}));
    EXPECT_TRUE(engine.BoardHasMatches());
}

TEST(BoardGeneration, NewLevelsResetCountersAndCarryTimeOver)
{
    RecordingEngine engine;
    WeightColours(engine.Level());
    engine.Level().fRolloverTimeModifier = 0.5f;
    engine.Level().fInitialTimeLeft = 60.0f;
    engine.Level().fTimeLostPerSecond = 2.0f;
    engine.piecesCleared = 30;
    engine.combo = 3;
    engine.scrambleUses = 2;
    engine.levelComplete = true;
    engine.timeLeft = 100.0f;
    engine.timeLossRate = 9.0f;

    engine.GenerateBoard(false, true); // the scramble's board: counters and time kept
    EXPECT_EQ(engine.piecesCleared, 30);
    EXPECT_FLOAT_EQ(engine.timeLeft, 100.0f);

    engine.GenerateBoard(false, false); // a next level: 60 + (100 - 60) x 0.5
    EXPECT_EQ(engine.piecesCleared, 0);
    EXPECT_EQ(engine.combo, 0);
    EXPECT_EQ(engine.scrambleUses, 0);
    EXPECT_FALSE(engine.levelComplete);
    EXPECT_EQ(engine.lastGrowX, -1);
    EXPECT_FLOAT_EQ(engine.timeLossRate, 2.0f);
    EXPECT_FLOAT_EQ(engine.timeLeft, 80.0f);

    engine.timeLeft = 30.0f;
    engine.GenerateBoard(false, false); // less than the initial time: no surplus
    EXPECT_FLOAT_EQ(engine.timeLeft, 60.0f);
    engine.timeLeft = 100.0f;
    engine.GenerateBoard(true, false); // a new game starts at the initial time
    EXPECT_FLOAT_EQ(engine.timeLeft, 60.0f);
}

TEST(Refill, BlackHoleWaveAfterTooSmallAMove)
{
    for (int groupSize : {4, 5})
    {
        RecordingEngine engine;
        WeightColours(engine.Level());
        engine.Level().nPieceCountNeededToAvoidBlackHoleWave = 5;
        KavoTest::SetBoard(engine, groupSize == 4 ? Rows{"bbcd", "bbef"} : Rows{"bbbd", "bbef"});
        int mask[GameBoardLogic::kSquares];
        MatchGroupList groups;
        ASSERT_TRUE(engine.FindMatches(mask, groups));
        engine.ReplenishExploded(groups[0].colour, mask);
        EXPECT_EQ(CountPieces(engine, PieceBlackHole), groupSize == 4 ? 4 : 0) << groupSize;
        EXPECT_EQ(engine.Square(0, 0).explodedPiece, 2);
    }
}

TEST(Refill, AtMostOneDrawnBlackHoleUnlessTheRulesAllowMore)
{
    for (bool unlimited : {false, true})
    {
        RecordingEngine engine;
        LevelSpecificConfig& level = engine.Level();
        level.PieceRatio[prBlackHole] = 1000;
        level.PieceRatio[prColor5] = 1;
        level.PieceRatio[prColor6] = 1;
        level.GeneralConfigFlags = unlimited ? gcfAllowUnlimitedBlackHolesPerReplenish : 0;
        level.TileConfigFlags = tcfColor3TilesAlwaysRespawnAsBlackHoles;
        KavoTest::SetBoard(engine, {"aaaacd", "aaaafg"});
        KavoTest::SetTiles(engine, {"300000", "000000"}); // not counted in the limit
        int mask[GameBoardLogic::kSquares];
        MatchGroupList groups;
        ASSERT_TRUE(engine.FindMatches(mask, groups));
        engine.ReplenishExploded(groups[0].colour, mask);
        EXPECT_EQ(engine.Square(0, 0).piece, PieceBlackHole);
        int drawn = CountPieces(engine, PieceBlackHole) - 1;
        if (unlimited)
            EXPECT_GT(drawn, 1);
        else
            EXPECT_EQ(drawn, 1);
    }
}

// Each refill draws a piece other than the one the square holds, and a refill that makes a group
// is drawn again, up to 100 times: the 100th is kept even with a group.
TEST(Refill, EachDrawDiffersFromTheLastAndTheHundredthIsKept)
{
    // One row: no group can form, so one draw each, never the colour the square held.
    RecordingEngine engine;
    engine.Level().PieceRatio[prColor1] = 1;
    engine.Level().PieceRatio[prColor2] = 1;
    KavoTest::SetBoard(engine, {"aaaaaaaaaaaaaaaa"});
    int all[GameBoardLogic::kSquares] = {};
    for (int x = 0; x < 16; ++x)
        all[x] = 1;
    engine.ReplenishExploded(1, all);
    EXPECT_EQ(KavoTest::BoardRows(engine), (Rows{"bbbbbbbbbbbbbbbb"}));

    // Either colour at (1, 1) makes a group: the draws alternate b, a, b, ... and the 100th, a,
    // is kept.
    RecordingEngine stuck;
    stuck.Level().PieceRatio[prColor1] = 1;
    stuck.Level().PieceRatio[prColor2] = 1;
    KavoTest::SetBoard(stuck, {"aac", "aab", "cbb"});
    int one[GameBoardLogic::kSquares] = {};
    one[1 + 20 * 1] = 1;
    stuck.ReplenishExploded(1, one);
    EXPECT_EQ(KavoTest::BoardRows(stuck), (Rows{"aac", "aab", "cbb"}));

    // A group after the first draw only: the second draw, other than the first, is kept.
    RecordingEngine once;
    once.Level().PieceRatio[prColor1] = 1;
    once.Level().PieceRatio[prColor2] = 1;
    KavoTest::SetBoard(once, {"aac", "abc"});
    int corner[GameBoardLogic::kSquares] = {};
    corner[1 + 20 * 1] = 1;
    once.ReplenishExploded(2, corner);
    EXPECT_EQ(KavoTest::BoardRows(once), (Rows{"aac", "abc"}));
}

TEST(Refill, WildsOnTile2AndWhatExplodingSquaresShow)
{
    RecordingEngine engine;
    WeightColours(engine.Level());
    engine.Level().TileConfigFlags = tcfColor2TilesAlwaysRespawnAsWilds;
    KavoTest::SetBoard(engine, {"aaac", "aaef"});
    KavoTest::SetTiles(engine, {"2000", "0000"});
    engine.Square(2, 0).piece = 1 | PieceMaturingFlag; // maturing, the group's colour
    engine.Square(2, 1).piece = 2 | PieceMaturingFlag; // maturing, another colour
    engine.Square(2, 1).matureTimer = 3.0f;
    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    ASSERT_EQ(groups[0].size, 6);
    ASSERT_EQ(groups[0].blackHolesSwallowed, 1);
    engine.ReplenishExploded(1, mask);
    EXPECT_EQ(engine.Square(0, 0).piece, PieceWild);
    EXPECT_EQ(engine.Square(0, 0).explodedPiece, 1);
    EXPECT_EQ(engine.Square(2, 0).explodedPiece, 1);
    EXPECT_EQ(engine.Square(2, 1).explodedPiece, PieceBlackHole);
    EXPECT_EQ(engine.Square(2, 1).matureTimer, 0.0f);
    for (int x = 1; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            EXPECT_TRUE(engine.Square(x, y).piece >= 3 && engine.Square(x, y).piece <= 8) << x << "," << y;
}

TEST(BlackHoles, MaturingCountsMovesOrSeconds)
{
    // 2.5 seconds to mature and one second per move: the third move after it starts.
    RecordingEngine engine;
    engine.Level().fTimeBeforeBlackHolesMature = 2.5f;
    engine.Level().GeneralConfigFlags = gcfGrowBlackHolesAfterMove;
    KavoTest::SetBoard(engine, {"abcd", "efg."});
    engine.StartBlackHoleAt(0, 0);
    EXPECT_EQ(engine.Square(0, 0).piece, 1 | PieceMaturingFlag);
    EXPECT_FLOAT_EQ(engine.Square(0, 0).matureTimer, 2.5f);
    MatchGroupList groups;
    int outX, outY;
    for (int move = 1; move <= 3; ++move)
    {
        ASSERT_TRUE(engine.ResolveMove(mtTwoSquareVertSwapTTB, 3, 0, outX, outY, groups));
        EXPECT_EQ(engine.Square(0, 0).piece == PieceBlackHole, move == 3) << move;
    }
    EXPECT_EQ(engine.matured, (std::vector<Moved>{{0, 0, 0, 0}}));
    EXPECT_EQ(engine.Square(0, 0).matureTimer, 0.0f);

    // Without a maturing time the piece is a black hole at once; in real time the timers run
    // by the hundredth of a second.
    engine.Level().fTimeBeforeBlackHolesMature = 0.0f;
    engine.StartBlackHoleAt(1, 0);
    EXPECT_EQ(engine.Square(1, 0).piece, PieceBlackHole);
    engine.Level().fTimeBeforeBlackHolesMature = 0.05f;
    engine.StartBlackHoleAt(2, 0);
    for (int step = 0; step < 4; ++step)
        engine.AdvanceBlackHoleTimers(0.01f);
    EXPECT_TRUE(engine.Square(2, 0).piece & PieceMaturingFlag);
    for (int step = 0; step < 2; ++step)
        engine.AdvanceBlackHoleTimers(0.01f);
    EXPECT_EQ(engine.Square(2, 0).piece, PieceBlackHole);
}

struct GrowthEngine : RecordingEngine
{
    GrowthEngine()
    {
        Level().fChanceForBlackHolesToGrow = 1.0f;
        rules.fMinTimeBetweenBlackHoleGrowChecks = 1.0f;
    }
};

TEST(BlackHoles, GrowthChecksFollowTheClock)
{
    platform::FakeClock clock;
    clock.SetTicks(5000);
    GrowthEngine engine;
    KavoTest::SetBoard(engine, {"*ab", "cde"});
    engine.lastGrowCheckTime = 4500;
    EXPECT_FALSE(engine.CheckForNewBlackHoles()); // half a second after the last check
    EXPECT_EQ(engine.lastGrowCheckTime, 4500);
    clock.SetTicks(5500);
    EXPECT_FALSE(engine.CheckForNewBlackHoles()); // exactly the interval: not yet
    clock.SetTicks(5501);
    EXPECT_TRUE(engine.CheckForNewBlackHoles());
    EXPECT_EQ(engine.lastGrowCheckTime, 5501);
    EXPECT_EQ(engine.lastGrowX, 0);
    EXPECT_EQ(engine.lastGrowY, 0);
    int grown = (engine.Square(1, 0).piece == PieceBlackHole) + (engine.Square(0, 1).piece == PieceBlackHole);
    EXPECT_EQ(grown, 1);
}

TEST(BlackHoles, ACheckInTheFutureIsStale)
{
    struct Case
    {
        const char* what;
        uint32_t now;
        uint32_t last;
        bool due;
    } cases[] = {
        {"saved in an earlier run, later than this run's clock", 2000, 3000000, true},
        {"made before the tick count wrapped, long enough ago", 100, 0xFFFFF000u, true},
        {"made before the tick count wrapped, within the interval", 700, 0xFFFFFF00u, false},
        {"a new board at tick 0 long after the clock started", 0x90000000u, 0, true},
    };
    for (const Case& c : cases)
    {
        platform::FakeClock clock;
        clock.SetTicks(c.now);
        GrowthEngine engine;
        KavoTest::SetBoard(engine, {"*ab", "cde"});
        engine.lastGrowCheckTime = int32_t(c.last);
        EXPECT_EQ(engine.CheckForNewBlackHoles(), c.due) << c.what;
        EXPECT_EQ(uint32_t(engine.lastGrowCheckTime), c.due ? c.now : c.last) << c.what;
    }
}

TEST(BlackHoles, NoGrowthWithoutAPlainNeighbourOrWithoutLuck)
{
    platform::FakeClock clock;
    clock.SetTicks(10000);
    GrowthEngine engine;
    KavoTest::SetBoard(engine, {"*#a", "_bc"});
    EXPECT_FALSE(engine.CheckForNewBlackHoles());
    EXPECT_EQ(engine.lastGrowCheckTime, 10000); // the check still counts

    clock.SetTicks(20000);
    KavoTest::SetBoard(engine, {"*ab", "cde"});
    engine.Level().fChanceForBlackHolesToGrow = 0.0f;
    EXPECT_FALSE(engine.CheckForNewBlackHoles());
    // The hint's first growth is certain, whatever the chance.
    engine.Level().HintsToShow = hintBlackHolesGrow;
    clock.SetTicks(30000);
    EXPECT_TRUE(engine.CheckForNewBlackHoles());
    EXPECT_TRUE(engine.growHintUsed);
    clock.SetTicks(40000);
    EXPECT_FALSE(engine.CheckForNewBlackHoles());
}

TEST(BlackHoles, AMoveCanStartGrowth)
{
    platform::FakeClock clock;
    clock.SetTicks(10000);
    GrowthEngine engine;
    engine.Level().GeneralConfigFlags = gcfCheckForNewBlackHolesAfterMove;
    engine.Level().fTimeBeforeBlackHolesMature = 1.5f;
    KavoTest::SetBoard(engine, {"*ab", "cde"});
    MatchGroupList groups;
    int outX, outY;
    ASSERT_TRUE(engine.ResolveMove(mtTwoSquareHorzSwapLTR, 1, 1, outX, outY, groups));
    int maturing = 0;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            maturing += (engine.Square(x, y).piece & PieceMaturingFlag) != 0;
    EXPECT_EQ(maturing, 1);
}

TEST(Stuck, SlidingBoards)
{
    struct Case
    {
        const char* what;
        Rows board;
        int flags;
        bool stuck;
    } cases[] = {
        {"a 2 x 2 board", {"aa", "a."}, 0, true},
        {"no blank square", {"abc", "def", "ghi"}, 0, false},
        {"six of a colour in reach", {"aaa", "aa.", "abc"}, 0, false},
        {"wild pieces count for every colour", {"a!!", "!aa", "b.c"}, 0, false},
        {"five are not enough", {"a!!", "!a.", "bcd"}, 0, true},
        {"too few of any colour", {"aab", "bc.", "dae"}, 0, true},
        {"a wall keeps the blank from a 3 x 3 area", {"aaa", "#a.", "aaa"}, 0, true},
        {"a black hole keeps pieces out of reach", {"aaa.", "aa**", "a*bc"}, 0, true},
        {"the 3 x 3 rule needs eleven and a 4 x 4 area",
         {"aaaa", "aaaa", "aaa.", "bcde"},
         gcfRequire3x3Square,
         false},
        {"the 3 x 3 rule with ten", {"aaaa", "aaab", "aaa.", "bcde"}, gcfRequire3x3Square, true},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, c.board);
        engine.Level().GeneralConfigFlags = c.flags;
        EXPECT_EQ(engine.IsStuck(), c.stuck) << c.what;
    }
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"abc", "def"});
    int x = 7, y = 7;
    EXPECT_FALSE(engine.FindBlankSquare(x, y));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
}

} // namespace
