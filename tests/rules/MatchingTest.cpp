#include "rules/RulesFlags.h"
#include "tests/rules/BoardText.h"
#include "tests/rules/RecordingEngine.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;
using KavoTest::RecordingEngine;
using KavoTest::Rows;

// The mask of a search as digit rows (chain steps; "." for squares in no group).
Rows MaskRows(const GameBoardLogic& engine, const int mask[GameBoardLogic::kSquares])
{
    Rows rows(size_t(engine.Height()), std::string(size_t(engine.Width()), '.'));
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
            if (mask[x + 20 * y] > 0) rows[size_t(y)][size_t(x)] = char('0' + mask[x + 20 * y]);
    return rows;
}

struct Found
{
    int anchorX, anchorY, colour, size, chainLength, swallowed, supernovas, wilds;
};

struct SearchCase
{
    const char* what;
    Rows board;
    int flags; // GeneralConfigFlags
    std::vector<Found> groups;
    Rows mask;
};

const SearchCase kSearches[] = {
    {"a fifth piece grows onto the block",
     {"aaab", "aacd", "efgh"},
     0,
     {{0, 0, 1, 5, 2, 0, 0, 0}},
     {"112.", "11..", "...."}},
    {"a wild piece takes the block's colour",
     {"c!bd", "ccef"},
     0,
     {{0, 0, 3, 4, 1, 0, 0, 1}},
     {"11..", "11.."}},
    {"four wild pieces make colour 1", {"!!b", "!!c"}, 0, {{0, 0, 1, 4, 1, 0, 0, 4}}, {"11.", "11."}},
    {"a black hole is swallowed, nothing grows through it",
     {"aa*a", "aabc"},
     0,
     {{0, 0, 1, 5, 2, 1, 0, 0}},
     {"112.", "11.."}},
    {"supernovas count; chains grow step by step",
     {"AabA", "aacA", "defa"},
     0,
     {{0, 0, 1, 4, 1, 0, 1, 0}},
     {"11..", "11..", "...."}},
    {"a long chain", {"aaaaa", "aabcd"}, 0, {{0, 0, 1, 7, 4, 0, 0, 0}}, {"11234", "11..."}},
    {"growth goes on over wild pieces",
     {"aa!!a", "aabcd"},
     0,
     {{0, 0, 1, 7, 4, 0, 0, 2}},
     {"11234", "11..."}},
    {"two groups in the row order of their anchors",
     {"bbacc", "bbdcc"},
     0,
     {{0, 0, 2, 4, 1, 0, 0, 0}, {3, 0, 3, 4, 1, 0, 0, 0}},
     {"11.11", "11.11"}},
    {"a 2 x 2 block is not enough with the 3 x 3 rule",
     {"aab", "aac", "def"},
     gcfRequire3x3Square,
     {},
     {"...", "...", "..."}},
    {"a 3 x 3 block with the 3 x 3 rule",
     {"aaab", "aaaa", "aaac"},
     gcfRequire3x3Square,
     {{0, 0, 1, 10, 2, 0, 0, 0}},
     {"111.", "1112", "111."}},
    {"blank squares never match", {"..ab", "..cd"}, 0, {}, {"....", "...."}},
    {"walls, gaps and black holes never seed", {"##__**", "##__**"}, 0, {}, {"......", "......"}},
};

TEST(Matching, FindsGroups)
{
    for (const SearchCase& c : kSearches)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, c.board);
        engine.Level().GeneralConfigFlags = c.flags;
        int mask[GameBoardLogic::kSquares];
        MatchGroupList groups;
        EXPECT_EQ(engine.FindMatches(mask, groups), !c.groups.empty()) << c.what;
        ASSERT_EQ(groups.size(), c.groups.size()) << c.what;
        for (size_t i = 0; i < groups.size(); ++i)
        {
            const MatchGroup& g = groups[i];
            const Found& f = c.groups[i];
            EXPECT_EQ(g.anchorX, f.anchorX) << c.what;
            EXPECT_EQ(g.anchorY, f.anchorY) << c.what;
            EXPECT_EQ(g.colour, f.colour) << c.what;
            EXPECT_EQ(g.size, f.size) << c.what;
            EXPECT_EQ(g.chainLength, f.chainLength) << c.what;
            EXPECT_EQ(g.blackHolesSwallowed, f.swallowed) << c.what;
            EXPECT_EQ(g.supernovas, f.supernovas) << c.what;
            EXPECT_EQ(int(g.wilds.size()), f.wilds) << c.what;
        }
        EXPECT_EQ(MaskRows(engine, mask), c.mask) << c.what;
    }
}

TEST(Matching, MaturingPiecesJoinButNothingGrowsThroughAnotherColour)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"aabc", "aade", "fghi"});
    engine.Square(2, 0).piece = 2 | PieceMaturingFlag; // another colour: swallowed, blocks growth
    engine.Square(0, 2).piece = 1 | PieceMaturingFlag; // the group's colour: joins as a piece
    engine.Square(3, 0).piece = 1;                     // behind the maturing square: not reached
    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].size, 6);
    EXPECT_EQ(groups[0].blackHolesSwallowed, 1);
    EXPECT_EQ(mask[3], 0);

    // A maturing wild piece is taken like any maturing square, but growth goes on through it.
    engine.Square(2, 0).piece = PieceWild | PieceMaturingFlag;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].size, 7);
    EXPECT_EQ(groups[0].blackHolesSwallowed, 1);
    EXPECT_EQ(mask[3], 3);
}

struct ScoreCase
{
    const char* what;
    Rows board;
    Rows tiles;
    int flags;
    int tileFlags;
    int points;
    bool noPoints;
};

// One group of four plain pieces at the top left, scored with different rules. Unless a row
// says otherwise: score modifier 1, supernova weight 4, no bonus, no multiplier.
const ScoreCase kScores[] = {
    {"four pieces: base 2, points 4", {"aab", "aac"}, {"000", "000"}, 0, 0, 4, false},
    {"the new formula keeps the base at 4",
     {"aab", "aac"},
     {"000", "000"},
     gcfUseNewScoringFormula,
     0,
     16,
     false},
    {"a supernova weighs 4 pieces", {"Aab", "aac"}, {"000", "000"}, 0, 0, 36, false},
    {"wild pieces worth more", {"!!b", "aac"}, {"000", "000"}, gcfWildsWorthMore, 0, 36, false},
    {"half value on tile 0: base 1.5",
     {"aab", "aac"},
     {"011", "110"},
     0,
     tcfColor0TilesAreHalfValue,
     2,
     false},
    {"double value on tile 2", {"aab", "aac"}, {"220", "000"}, 0, tcfColor2TilesAreDoubleValue, 16, false},
    {"a quarter on tile 2 wins over a half: base 0.5",
     {"aab", "aac"},
     {"220", "000"},
     0,
     tcfColor2TilesAreQuarterValue | tcfColor2TilesAreHalfValue,
     0,
     false},
    {"half value on tile 2: base 1", {"aab", "aac"}, {"220", "000"}, 0, tcfColor2TilesAreHalfValue, 1, false},
    {"tile 3 cancels the score", {"aab", "aac"}, {"300", "000"}, 0, tcfColor3TilesCancelEntireScore, 0, true},
    {"a supernova elsewhere blocks points",
     {"aaB", "aac"},
     {"000", "000"},
     gcfEarnNoPointsWhileSupernovasPresent,
     0,
     0,
     true},
};

TEST(Matching, ScoringArithmetic)
{
    for (const ScoreCase& c : kScores)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, c.board);
        KavoTest::SetTiles(engine, c.tiles);
        engine.Level().GeneralConfigFlags = c.flags;
        engine.Level().TileConfigFlags = c.tileFlags;
        int mask[GameBoardLogic::kSquares];
        MatchGroupList groups;
        ASSERT_TRUE(engine.FindMatches(mask, groups)) << c.what;
        EXPECT_EQ(groups[0].points, c.points) << c.what;
        EXPECT_EQ(groups[0].noPoints, c.noPoints) << c.what;
    }
}

TEST(Matching, ModifiersBoostsChainsAndBonus)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"Aaab", "aacd"}); // size 5, one supernova, chain 2
    LevelSpecificConfig& level = engine.Level();
    level.fScoreModifier = 2.0f;
    level.nSupernovaPieceImmediateBoost = 10;
    level.LongChainLength[0] = 2;
    level.LongChainImmediateBoost[0] = 100;
    level.LongChainLength[1] = 3; // not reached
    level.LongChainImmediateBoost[1] = 1000;
    level.nBonusBaseImmediateBoost = 100;
    level.nBonusImmediateBoostIncrement = 50;
    engine.bonusMultiplier = 0.5f;
    engine.bonusColour = 1;
    engine.bonusSize = 5;
    engine.bonusesEarned = 2;

    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    const MatchGroup& g = groups[0];
    // n = 5 + 4 = 9, base 7: 2 x 49 x 1.5 = 147; + 10 supernova boost + 100 chain boost +
    // the bonus 100 + 50 x 2 = 200.
    EXPECT_EQ(g.points, 457);
    EXPECT_EQ(g.chainBoosts, 1);
    EXPECT_EQ(g.chainSquares[0], (SquarePos{2, 0})); // the one square at chain step 2
    EXPECT_TRUE(g.isBonus);
    EXPECT_EQ(g.bonusPoints, 200);

    // A bonus size above the group's (black holes not counted) is not met.
    engine.bonusSize = 6;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    EXPECT_FALSE(groups[0].isBonus);
}

// The supernova weight is applied in double precision: 1.4 x 5 is just below 7, so the
// group counts 5 + 6 = 11 pieces, base 9 and 81 points (single precision would round to 7).
TEST(Matching, SupernovaWeightIsTruncatedExactly)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"AAAb", "AAcd"});
    engine.Level().fSupernovaPieceWeight = 1.4f;
    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    ASSERT_EQ(groups[0].supernovas, 5);
    EXPECT_EQ(groups[0].points, 81);
}

TEST(Matching, OnlyTheFirstGroupEarnsTheBonus)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"aabaa", "aacaa"});
    engine.bonusColour = 1;
    engine.bonusSize = 4;
    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(groups[0].isBonus);
    EXPECT_EQ(groups[0].points, 104);
    EXPECT_FALSE(groups[1].isBonus);
    EXPECT_EQ(groups[1].points, 4);
}

TEST(Matching, AwardingAGroup)
{
    RecordingEngine engine;
    KavoTest::SetBoard(engine, {"aaab", "aacd"});
    LevelSpecificConfig& level = engine.Level();
    level.fTimeBoostPerPiece = 0.0f;
    level.nLargeGroupSizeRequirement = 6;
    level.fTimeBoostForLargeGroups = 1.0f;
    level.nPieceBoostPerBonus = 3;
    level.nPieceBoostPerCombo = 2;
    level.fBonusMultiplier = 0.25f;
    level.fBonusBaseTimeBoost = 2.0f;
    level.fBonusTimeBoostIncrement = 0.5f;
    level.fMaxTimeLeft = 500.0f;
    engine.SetTimeLeft(10.0f);
    engine.SetScore(100);

    MatchGroup group;
    group.size = 9;
    group.chainLength = 3;
    group.points = 40;
    group.isBonus = true;
    group.comboMod = 0.5f;
    engine.bonusesEarned = 2;
    engine.AwardGroup(group);
    EXPECT_EQ(engine.score, 140);
    EXPECT_EQ(engine.totalPieces, 9);
    EXPECT_EQ(engine.piecesCleared, 9 + 3 + 2);
    EXPECT_EQ(engine.largestGroup, 9);
    EXPECT_EQ(engine.smallestGroup, 9);
    EXPECT_EQ(engine.longestChain, 3);
    // (9 - 6)^2 x 1 for the large group, 2 + 0.5 x 2 for the bonus.
    EXPECT_FLOAT_EQ(engine.timeLeft, 10.0f + 9.0f + 3.0f);
    EXPECT_EQ(engine.bonusesEarned, 3);
    EXPECT_FLOAT_EQ(engine.bonusMultiplier, 0.25f);

    MatchGroup small;
    small.size = 3;
    small.chainLength = 1;
    engine.AwardGroup(small); // below four squares: no time
    EXPECT_EQ(engine.smallestGroup, 3);
    EXPECT_EQ(engine.largestGroup, 9);
    EXPECT_FLOAT_EQ(engine.timeLeft, 22.0f);
}

// A group's time is multiplied while supernovas remain elsewhere on the board, and when none of
// its squares lies on tile 0 (all of them lit).
TEST(Matching, TimeMultipliersForSupernovasAndLitTiles)
{
    struct Case
    {
        bool supernovasPresent;
        int squaresOnTile0;
        float gained;
    } cases[] = {
        {false, 1, 4.0f},        // 4 squares x 1 second
        {true, 1, 4.0f * 0.5f},  // supernovas left elsewhere
        {false, 0, 4.0f * 3.0f}, // entirely on lit tiles
        {true, 0, 4.0f * 0.5f * 3.0f},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        LevelSpecificConfig& level = engine.Level();
        level.fTimeBoostPerPiece = 1.0f;
        level.fTimeModWhileSupernovasExist = 0.5f;
        level.fTimeModForExplosionsEntirelyOnLitTiles = 3.0f;
        level.fMaxTimeLeft = 500.0f;
        engine.SetTimeLeft(10.0f);
        MatchGroup group;
        group.size = 4;
        group.chainLength = 1;
        group.supernovasPresent = c.supernovasPresent;
        group.squaresOnTile0 = c.squaresOnTile0;
        engine.AwardGroup(group);
        EXPECT_FLOAT_EQ(engine.timeLeft, 10.0f + c.gained) << c.supernovasPresent << c.squaresOnTile0;
    }
}

// Consecutive moves that each make a group score x1, x1.5, x2, and x2 again.
TEST(Matching, CombosRaiseTheScoreUpToTheirLimit)
{
    RecordingEngine engine;
    LevelSpecificConfig& level = engine.Level();
    level.fScoreModPerCombo = 0.5f;
    level.fMaxScoreModFromCombos = 1.0f;
    for (int i = prColor3; i <= prColor10; ++i)
        level.PieceRatio[i] = 1;
    const int expected[] = {4, 6, 8, 8};
    for (int points : expected)
    {
        KavoTest::SetBoard(engine, {"abac", "aadb"});
        MatchGroupList groups;
        int outX, outY;
        ASSERT_TRUE(engine.ResolveMove(mtTwoSquareHorzSwapLTR, 1, 0, outX, outY, groups));
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(groups[0].points, points);
    }
    EXPECT_EQ(engine.score, 26);
    EXPECT_EQ(engine.combo, 4);
}

TEST(Matching, NewBonus)
{
    struct Case
    {
        const char* what;
        int starting, largest, between, earned;
        int size;
    } cases[] = {
        {"no starting bonus: no bonus", 0, 10, 1, 0, 0},
        {"grows every two bonuses", 5, 10, 2, 3, 6},
        {"at least 4", 2, 10, 1, 0, 4},
        {"at most the largest", 5, 6, 1, 9, 6},
        {"a largest bonus of 0 wins", 5, 0, 1, 0, 0},
        {"no step between increases: the size stays", 5, 10, 0, 7, 5},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        LevelSpecificConfig& level = engine.Level();
        level.PieceRatio[prColor1] = 1;
        level.PieceRatio[prColor2] = 1;
        level.nStartingBonus = c.starting;
        level.nLargestBonus = c.largest;
        level.nBonusesBetweenSizeIncreases = c.between;
        engine.bonusesEarned = c.earned;
        engine.bonusColour = 2;
        engine.PickNewBonus();
        EXPECT_EQ(engine.bonusSize, c.size) << c.what;
        EXPECT_EQ(engine.bonusColour, c.starting < 1 ? PieceNone : 1) << c.what; // never the same colour
    }
}

// Weights that leave nothing to pick: never a division by zero, never an endless loop.
TEST(Matching, PicksWhenTheWeightsLeaveNothing)
{
    RecordingEngine engine;
    engine.level = 41; // record 41: every weight 0
    EXPECT_EQ(engine.PickRandomPieceExcluding(PieceBlank, PieceBlank, 0), 1);
    EXPECT_EQ(engine.PickRandomPieceExcluding(1, 2, 1), 3);
    engine.Level().nStartingBonus = 5;
    engine.Level().nLargestBonus = 5;
    engine.PickNewBonus();
    EXPECT_EQ(engine.bonusColour, 1);

    // One colour only, and the pick must differ from it: the first other colour.
    engine.level = 1;
    engine.Level().PieceRatio[prColor3] = 10;
    EXPECT_EQ(engine.PickRandomPieceExcluding(3, PieceBlank, 1), 1);
    EXPECT_EQ(engine.PickRandomPieceExcluding(1, PieceBlank, 1), 3);
    // Only black holes weighted and black holes excluded.
    engine.Level().PieceRatio[prColor3] = 0;
    engine.Level().PieceRatio[prBlackHole] = 4;
    EXPECT_EQ(engine.PickRandomPieceExcluding(PieceBlackHole, PieceBlank, 2), 1);

    // A whole level built and played from record 41 ends its loops.
    KavoTest::SetBoard(engine, {"......", "......", "......"});
    engine.ResetForLevel(41, true);
    MatchGroupList groups;
    int outX, outY;
    engine.ResolveMove(mtSlide, 0, 1, outX, outY, groups);
    SUCCEED();
}

TEST(Matching, TilesUnderExplosions)
{
    struct Case
    {
        const char* what;
        int tileFlags;
        Rows board; // the group sits at the top left
        Rows tiles;
        Rows tilesAfter;
        bool lit;
        float timeGained;
        bool complete;
    } cases[] = {
        {"0 becomes 1 and lights",
         tcfExplodedColor0TilesBecomeColor1 | tcfBeatLevelIfTilesAreAllColor1,
         {"aab", "aac"},
         {"011", "200"},
         {"111", "210"},
         true,
         0.0f,
         false},
        {"lit only counts for the all-colour-1 rule",
         tcfExplodedColor0TilesBecomeColor1,
         {"aab", "aac"},
         {"000", "000"},
         {"110", "110"},
         false,
         0.0f,
         false},
        {"1 becomes 0",
         tcfExplodedColor1TilesBecomeColor0 | tcfBeatLevelIfTilesAreAllColor1,
         {"aab", "aac"},
         {"111", "100"},
         {"001", "000"},
         false,
         0.0f,
         false},
        {"2 becomes 0, 1 becomes 2",
         tcfExplodedColor2TilesBecomeColor0 | tcfExplodedColor1TilesBecomeColor2,
         {"aab", "aac"},
         {"121", "212"},
         {"201", "022"},
         false,
         0.0f,
         false},
        {"a supernova outside holds tile 0",
         tcfExplodedColor0TilesBecomeColor1 | tcfSupernovaPreventsColor0toColor1,
         {"aaB", "aac"},
         {"000", "000"},
         {"000", "000"},
         false,
         0.0f,
         false},
        {"extra-value tiles give time",
         tcfExplodedColor1TilesAreExtraValue | tcfExplodedColor2TilesAreExtraValue,
         {"aab", "aac"},
         {"120", "220"},
         {"120", "220"},
         false,
         6.0f,
         false},
        {"every tile 2 exploded at once",
         tcfBeatLevelIfAllColor2TilesAreSimultaneouslyExploded,
         {"aab", "aac"},
         {"220", "020"},
         {"220", "020"},
         false,
         0.0f,
         true},
        {"a tile 2 left over",
         tcfBeatLevelIfAllColor2TilesAreSimultaneouslyExploded,
         {"aab", "aac"},
         {"222", "020"},
         {"222", "020"},
         false,
         0.0f,
         false},
    };
    for (const Case& c : cases)
    {
        RecordingEngine engine;
        KavoTest::SetBoard(engine, c.board);
        KavoTest::SetTiles(engine, c.tiles);
        engine.Level().TileConfigFlags = c.tileFlags;
        engine.Level().fTimeBoostPerExtraValueTile = 1.5f;
        engine.SetTimeLeft(10.0f);
        int mask[GameBoardLogic::kSquares];
        MatchGroupList groups;
        ASSERT_TRUE(engine.FindMatches(mask, groups)) << c.what;
        EXPECT_EQ(engine.ApplyExplosionsToTiles(mask), c.lit) << c.what;
        EXPECT_EQ(KavoTest::TileRows(engine), c.tilesAfter) << c.what;
        EXPECT_FLOAT_EQ(engine.timeLeft, 10.0f + c.timeGained) << c.what;
        EXPECT_EQ(engine.levelComplete, c.complete) << c.what;
    }
}

} // namespace

namespace
{

// Rules values far out of range saturate instead of overflowing.
TEST(Matching, HugeRulesValuesSaturate)
{
    using namespace Kavo;
    KavoTest::RecordingEngine engine;
    KavoTest::SetBoard(engine, {"aab", "aac"});
    engine.Level().fScoreModifier = 1e30f;
    engine.Level().nBonusBaseImmediateBoost = 2000000000;
    engine.Level().nBonusImmediateBoostIncrement = 2000000000;
    engine.bonusesEarned = 5;
    engine.bonusColour = 1;
    engine.bonusSize = 4;
    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    ASSERT_TRUE(engine.FindMatches(mask, groups));
    EXPECT_EQ(groups[0].points, 2147483647);
    EXPECT_EQ(groups[0].bonusPoints, 2147483647);
    engine.AwardGroup(groups[0]);
    engine.AwardGroup(groups[0]);
    EXPECT_EQ(engine.score, 2147483647);
    engine.Level().fScorePenaltyPerMainMoveType = 3e9f;
    engine.Level().MainMoveType = mtTwoSquareHorzSwapLTR;
    KavoTest::SetBoard(engine, {"abc"});
    int outX, outY;
    ASSERT_TRUE(engine.ResolveMove(mtTwoSquareHorzSwapLTR, 0, 0, outX, outY, groups));
    EXPECT_EQ(engine.score, 0);
}

} // namespace
