#include "base/Logger.h"
#include "rules/RulesFlags.h"
#include "tests/rules/BoardText.h"
#include "tests/rules/RecordingEngine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

using namespace Kavo;
using KavoTest::RecordingEngine;
using KavoTest::Rows;

// Remembers what the engine reports of score and time.
class ReportLogger : public Logger
{
public:
    int ReportScore(int value) override
    {
        lastScore = value;
        return 0;
    }
    void ReportTimeFraction(float fraction) override { lastFraction = fraction; }
    int lastScore = -1;
    float lastFraction = -1.0f;
};

TEST(TimeAndScore, ClampsAndReports)
{
    ReportLogger log;
    RecordingEngine engine;
    engine.Level().fMaxTimeLeft = 120.0f;
    engine.SetTimeLeft(-3.0f);
    EXPECT_EQ(engine.timeLeft, 0.0f);
    engine.SetTimeLeft(500.0f);
    EXPECT_EQ(engine.timeLeft, 120.0f);
    EXPECT_FLOAT_EQ(log.lastFraction, 1.0f);
    engine.SetTimeLeft(std::nanf(""));
    EXPECT_EQ(engine.timeLeft, 0.0f);
    engine.SetScore(-5);
    EXPECT_EQ(engine.score, 0);
    EXPECT_EQ(log.lastScore, 0);
    engine.SetScore(77);
    EXPECT_EQ(log.lastScore, 77);

    // From level 40 on the limit is record 41's.
    engine.rules.GetLevelConfig(41).fMaxTimeLeft = 30.0f;
    engine.level = 40;
    engine.SetTimeLeft(100.0f);
    EXPECT_EQ(engine.timeLeft, 30.0f);

    // A limit of 0: the time stays 0 and the fraction reported is 0, not a division by zero.
    engine.level = 2;
    engine.Level().fMaxTimeLeft = 0.0f;
    engine.SetTimeLeft(10.0f);
    EXPECT_EQ(engine.timeLeft, 0.0f);
    EXPECT_EQ(log.lastFraction, 0.0f);
}

TEST(TimeAndScore, TimeSteps)
{
    RecordingEngine engine;
    engine.Level().GeneralConfigFlags = gcfElapseRealTime;
    engine.rules.fScoreLossPerSecond = 250.0f;
    engine.SetTimeLeft(60.0f);
    engine.SetScore(1000);
    engine.timeLossRate = 1.0f;
    for (int i = 0; i < 100; ++i)
        engine.TimeStep();
    EXPECT_NEAR(engine.timeLeft, 59.0f, 1e-3);
    EXPECT_EQ(engine.score, 800); // 2 points a step: 250 / 100 truncated

    // A loss below 100 points a second takes nothing; the clock stops without the flag, and
    // the time loss speeds up by a hundredth of the acceleration per step.
    engine.rules.fScoreLossPerSecond = 99.0f;
    engine.Level().GeneralConfigFlags = 0;
    engine.Level().fTimeLostAcceleration = 0.5f;
    for (int i = 0; i < 10; ++i)
        engine.TimeStep();
    EXPECT_EQ(engine.score, 800);
    EXPECT_NEAR(engine.timeLeft, 59.0f, 1e-3);
    EXPECT_NEAR(engine.timeLossRate, 1.05f, 1e-5);

    // The time never runs below 0.
    engine.Level().GeneralConfigFlags = gcfElapseRealTime;
    engine.SetTimeLeft(0.005f);
    engine.TimeStep();
    engine.TimeStep();
    EXPECT_EQ(engine.timeLeft, 0.0f);
}

TEST(TimeAndScore, Scramble)
{
    struct Case
    {
        const char* what;
        int buttonFlags;
        float cost;
        float timeBefore;
        float timeAfter;
    } cases[] = {
        {"at least one second", sbfShowScrambleButton, 0.05f, 10.0f, 9.0f},
        {"a share of the time left", sbfShowScrambleButton, 0.05f, 60.0f, 57.0f},
        {"no time cost", sbfShowScrambleButton, 0.0f, 60.0f, 60.0f},
        {"resets the energy", sbfShowScrambleButton | sbfScrambleButtonResetsEnergy, 0.5f, 10.0f, 45.0f},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        for (int i = prColor3; i <= prColor8; ++i)
            engine.Level().PieceRatio[i] = 1;
        engine.Level().fInitialTimeLeft = 45.0f;
        engine.rules.SpecialButtonFlags = c.buttonFlags;
        engine.rules.fScrambleButtonEnergyCostPerUse = c.cost;
        engine.rules.nScrambleButtonPointCostPerUse = 30;
        engine.rules.nScrambleButtonUsesPerLevel = 2;
        engine.GenerateBoard(true, false);
        engine.SetTimeLeft(c.timeBefore);
        engine.SetScore(100);
        engine.piecesCleared = 12;
        ASSERT_TRUE(engine.CanScramble()) << c.what;
        engine.Scramble();
        EXPECT_FLOAT_EQ(engine.timeLeft, c.timeAfter) << c.what;
        EXPECT_EQ(engine.score, 70) << c.what;
        EXPECT_EQ(engine.scrambleUses, 1) << c.what;
        EXPECT_EQ(engine.piecesCleared, 12) << c.what;
        engine.Scramble();
        EXPECT_FALSE(engine.CanScramble()) << c.what; // two uses per level
    }

    RecordingEngine engine;
    EXPECT_FALSE(engine.CanScramble()); // no button
    engine.rules.SpecialButtonFlags = sbfShowScrambleButtonWhenStuck;
    engine.scrambleUses = 1000;
    EXPECT_TRUE(engine.CanScramble()); // 0 uses per level: unlimited
}

TEST(LevelEnds, CompletionBonusAndNextLevel)
{
    RecordingEngine engine;
    for (LevelSpecificConfig& level : engine.rules.levels)
        for (int i = prColor3; i <= prColor8; ++i)
            level.PieceRatio[i] = 1;
    engine.Level().nExtraPointsForCompletingLevel = 500;
    engine.Level().fScorePerSecondRemainingAfterLevel = 10.0f;
    engine.rules.GetLevelConfig(2).fInitialTimeLeft = 30.0f;
    engine.SetTimeLeft(12.34f);
    engine.SetScore(1000);
    EXPECT_EQ(engine.LevelCompletionBonus(), 623);
    engine.AdvanceToNextLevel();
    EXPECT_EQ(engine.level, 2);
    EXPECT_EQ(engine.score, 1623);
    EXPECT_FLOAT_EQ(engine.timeLeft, 30.0f); // no surplus over level 2's initial time
}

TEST(LevelEnds, PiecesAndObjectives)
{
    struct Case
    {
        const char* what;
        int flags, tileFlags;
        Rows board;
        Rows tiles;
        int piecesCleared;
        int mostGroups, largest;
        bool complete, done;
    } cases[] = {
        {"enough pieces", 0, 0, {"ab"}, {"00"}, 100, 0, 0, false, true},
        {"not enough pieces", 0, 0, {"ab"}, {"00"}, 99, 0, 0, false, false},
        {"no supernova left", gcfBeatLevelIfNoSupernovasPresent, 0, {"ab"}, {"00"}, 0, 0, 0, true, true},
        {"a supernova left", gcfBeatLevelIfNoSupernovasPresent, 0, {"aB"}, {"00"}, 0, 0, 0, false, false},
        {"the last black hole gone, whatever the count",
         gcfBeatLevelIfNoBlackHolesPresent,
         0,
         {"ab"},
         {"00"},
         3,
         0,
         0,
         true,
         true},
        {"a black hole left", gcfBeatLevelIfNoBlackHolesPresent, 0, {"a*"}, {"00"}, 3, 0, 0, false, false},
        {"two groups in one move", gcfBeatLevelIfDoubleMoveCompleted, 0, {"ab"}, {"00"}, 0, 2, 0, true, true},
        {"a big enough group", gcfBeatLevelIfGroupSizeRequirementMet, 0, {"ab"}, {"00"}, 0, 0, 8, true, true},
        {"a group too small",
         gcfBeatLevelIfGroupSizeRequirementMet,
         0,
         {"ab"},
         {"00"},
         0,
         0,
         7,
         false,
         false},
        {"every tile 2, walls aside",
         0,
         tcfBeatLevelIfTilesAreAllColor2,
         {"a#_"},
         {"210"},
         0,
         0,
         0,
         true,
         true},
        {"a tile not 2", 0, tcfBeatLevelIfTilesAreAllColor2, {"ab_"}, {"210"}, 0, 0, 0, false, false},
        {"every tile 1", 0, tcfBeatLevelIfTilesAreAllColor1, {"ab"}, {"11"}, 0, 0, 0, true, true},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, c.board);
        KavoTest::SetTiles(engine, c.tiles);
        engine.Level().GeneralConfigFlags = c.flags;
        engine.Level().TileConfigFlags = c.tileFlags;
        engine.rules.nWinningGroupSizeRequirement = 8;
        engine.piecesCleared = c.piecesCleared;
        engine.mostGroupsInOneMove = c.mostGroups;
        engine.largestGroup = c.largest;
        EXPECT_EQ(engine.IsLevelComplete(), c.complete) << c.what;
        EXPECT_EQ(engine.IsLevelDone(), c.done) << c.what;
    }

    // A level asking for no pieces is done at once, and its meter is full.
    RecordingEngine engine;
    engine.Level().nPiecesInLevel = 0;
    EXPECT_TRUE(engine.IsLevelDone());
    EXPECT_EQ(engine.CompletionFraction(), 1.0f);
    engine.Level().nPiecesInLevel = 40;
    engine.piecesCleared = 10;
    EXPECT_EQ(engine.CompletionFraction(), 0.25f);
}

// Each case sets the rules-wide requirements on a fresh engine through setup.
struct EndCase
{
    const char* what;
    void (*setup)(RecordingEngine&);
    bool win, loss;
};

const EndCase kEnds[] = {
    {"nothing set", [](RecordingEngine&) {}, false, false},
    {"finishing level 9 of 10",
     [](RecordingEngine& e)
     {
         e.rules.nWinningLevelRequirement = 10;
         e.level = 9;
         e.piecesCleared = 100;
     },
     true, false},
    {"level 9 of 10 not finished",
     [](RecordingEngine& e)
     {
         e.rules.nWinningLevelRequirement = 10;
         e.level = 9;
     },
     false, false},
    {"a score reaching the target",
     [](RecordingEngine& e)
     {
         e.Level().GeneralConfigFlags = gcfGameOverIfScoreIsNonZero;
         e.rules.nWinningScoreRequirementAfterGame = 500;
         e.score = 500;
     },
     true, false},
    {"a score short of the target",
     [](RecordingEngine& e)
     {
         e.Level().GeneralConfigFlags = gcfGameOverIfScoreIsNonZero;
         e.rules.nWinningScoreRequirementAfterGame = 500;
         e.score = 499;
     },
     false, true},
    {"a big group wins the game",
     [](RecordingEngine& e)
     {
         e.rules.nWinningGroupSizeRequirement = 12;
         e.largestGroup = 12;
     },
     true, false},
    {"a big group only completes a level that asks for it",
     [](RecordingEngine& e)
     {
         e.rules.nWinningGroupSizeRequirement = 12;
         e.largestGroup = 12;
         e.Level().GeneralConfigFlags = gcfBeatLevelIfGroupSizeRequirementMet;
     },
     false, false},
    {"a long chain",
     [](RecordingEngine& e)
     {
         e.rules.nWinningLongChainLength = 6;
         e.longestChain = 6;
     },
     true, false},
    {"groups cleared at once",
     [](RecordingEngine& e)
     {
         e.rules.nWinningSimultaneousGroupClearRequirement = 3;
         e.mostGroupsInOneMove = 3;
     },
     true, false},
    {"a supernova at the end of the level",
     [](RecordingEngine& e)
     {
         KavoTest::SetBoard(e, {"aB"});
         e.Level().GeneralConfigFlags = gcfLoseGameIfSupernovasPresentAtEndOfLevel;
         e.piecesCleared = 100;
     },
     false, true},
    {"a black hole at the end of the level",
     [](RecordingEngine& e)
     {
         KavoTest::SetBoard(e, {"a*"});
         e.Level().GeneralConfigFlags = gcfLoseGameIfBlackHolesPresentAtEndOfLevel;
         e.piecesCleared = 100;
     },
     false, true},
    {"a black hole before the end of the level",
     [](RecordingEngine& e)
     {
         KavoTest::SetBoard(e, {"a*"});
         e.Level().GeneralConfigFlags = gcfLoseGameIfBlackHolesPresentAtEndOfLevel;
     },
     false, false},
    {"black holes fill the board",
     [](RecordingEngine& e)
     {
         KavoTest::SetBoard(e, {"*#", "_."});
         e.Level().GeneralConfigFlags = gcfLoseGameIfBlackHolesCompletelyFillBoard;
     },
     false, true},
    {"a maturing piece is not a black hole yet",
     [](RecordingEngine& e)
     {
         KavoTest::SetBoard(e, {"*a"});
         e.Square(1, 0).piece |= PieceMaturingFlag;
         e.Level().GeneralConfigFlags = gcfLoseGameIfBlackHolesCompletelyFillBoard;
     },
     false, false},
    {"a score of 0",
     [](RecordingEngine& e)
     {
         e.Level().GeneralConfigFlags = gcfLoseGameIfScoreIsZero;
         e.score = 0;
     },
     false, true},
    {"a group too small",
     [](RecordingEngine& e)
     {
         e.rules.nLosingMinGroupSizeRequirement = 4;
         e.smallestGroup = 4;
     },
     false, true},
    {"no group yet",
     [](RecordingEngine& e)
     {
         e.rules.nLosingMinGroupSizeRequirement = 4;
         e.smallestGroup = 0;
     },
     false, false},
    {"the losing level reached",
     [](RecordingEngine& e)
     {
         e.rules.nLosingLevelRequirement = 3;
         e.level = 2;
         e.piecesCleared = 100;
     },
     false, true},
};

TEST(LevelEnds, SpecialWinsAndLosses)
{
    for (const EndCase& c : kEnds)
    {
        RecordingEngine engine;
        engine.SetScore(100);
        c.setup(engine);
        EXPECT_EQ(engine.IsSpecialWin(), c.win) << c.what;
        EXPECT_EQ(engine.IsSpecialLoss(), c.loss) << c.what;
        // A special end takes over from the level's own end.
        bool special = c.win || c.loss;
        EXPECT_EQ(engine.IsLevelOver(false), !special && engine.IsLevelDone()) << c.what;
        EXPECT_EQ(engine.IsLevelOver(true), engine.IsLevelDone()) << c.what;
    }
}

} // namespace
