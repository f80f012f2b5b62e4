// The playing bot: the clicks it tries, trials that repeat on any number of threads, and how a
// trial ends on a board that is stuck.
#include "rules/RulesFlags.h"
#include "tests/rules/ShippedRules.h"
#include "tools/playbot/Report.h"
#include "tools/playbot/Trial.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using namespace Kavo;
using namespace PlayBot;

GameRulesConfig TwoColourRules(int mainMove, int alternateMove)
{
    GameRulesConfig rules;
    rules.nWinningLevelRequirement = 2;
    LevelSpecificConfig& level = rules.GetLevelConfig(1);
    level.PieceRatio[prColor1] = 1;
    level.PieceRatio[prColor2] = 1;
    level.MainMoveType = mainMove;
    level.AlternateMoveType = alternateMove;
    level.GeneralConfigFlags = IsSlide(mainMove) ? 0 : gcfDontAddBlankSquare;
    return rules;
}

// Each different move once: clicks that a move clamps onto the same block, row or column count once.
TEST(PlayBot, TriesEachDifferentMoveOnce)
{
    const struct
    {
        int main, alternate;
        size_t clicks; // on the 7 x 8 board
    } cases[] = {
        {mtSlide, mtSlide, 6 + 7},                               // the blank's row and column
        {mtSlide, mtOneSpaceSlide, 6 + 7 + 4},                   // and its four neighbours
        {mtFourSquareRotateCW, mtFourSquareRotateCCW, 2 * 6 * 7}, // every block of four, both ways
        {mtNineSquareRotateCW, mtNone, 5 * 6},                    // every ring of eight
        {mtThreeSquareHorzCycleLTR, mtThreeSquareVertCycleTTB, 5 * 8 + 7 * 6},
        {mtTwoSquareHorzSwapLTR, mtTwoSquareVertSwapTTB, 6 * 8 + 7 * 7},
        {mtEntireRowHorzCycleLTR, mtEntireColVertCycleTTB, 8 + 7},
    };
    for (const auto& c : cases)
    {
        Engine engine;
        ASSERT_TRUE(engine.SetRules(TwoColourRules(c.main, c.alternate)));
        engine.ResetForLevel(1, true);
        EXPECT_EQ(Clicks(engine).size(), c.clicks) << "moves " << c.main << " and " << c.alternate;
    }
}

// The same trials give the same results on one thread and on three: the game time of real-time
// black-hole growth is each thread's own.
TEST(PlayBot, TrialsRepeatOnAnyNumberOfThreads)
{
    GameRulesConfig rules;
    ASSERT_TRUE(LoadRules(KavoTest::kShippedProperties + "timed_config.xml", rules));
    constexpr int kLevel = 16; // black holes grow in real time
    ASSERT_TRUE(rules.GetLevelConfig(kLevel).GeneralConfigFlags & gcfCheckForNewBlackHolesInRealtime);
    TrialClock clock;
    auto run = [&](int threads)
    {
        std::vector<LevelTrial> trials(4);
        RunJobs(4, threads, [&](int i) { trials[size_t(i)] = PlayLevel(rules, kLevel, LevelSeed(kLevel, i), {}, 80); });
        return trials;
    };
    const std::vector<LevelTrial> one = run(1), three = run(3);
    for (size_t i = 0; i < one.size(); ++i)
    {
        EXPECT_EQ(one[i].end, three[i].end) << i;
        EXPECT_EQ(one[i].moves, three[i].moves) << i;
        EXPECT_EQ(one[i].score, three[i].score) << i;
    }
}

// A sliding board without a 4 x 4 area is always stuck under the 3 x 3 rule: the trial scrambles
// until the move limit when it may, and ends stuck at once when it may not.
TEST(PlayBot, AStuckBoardIsScrambledOrEndsTheTrial)
{
    GameRulesConfig rules = TwoColourRules(mtSlide, mtSlide);
    rules.nWidth = rules.nHeight = 3;
    rules.GetLevelConfig(1).GeneralConfigFlags = gcfRequire3x3Square;
    TrialClock clock;

    const LevelTrial fixed = PlayLevel(rules, 1, 1, {}, 50);
    EXPECT_TRUE(fixed.startStuck);
    EXPECT_EQ(fixed.end, End::Stuck);
    EXPECT_EQ(fixed.scrambles, 0);

    rules.SpecialButtonFlags = sbfShowScrambleButtonWhenStuck;
    const LevelTrial scrambled = PlayLevel(rules, 1, 1, {}, 50);
    EXPECT_EQ(scrambled.end, End::MoveCap);
    EXPECT_EQ(scrambled.scrambles, 50);
}

// The planets follow each other without a gap or an overlap, and the one after the last begins
// past every level, so that a loop over the planets of a mode ends.
TEST(PlayBot, PlanetsCoverTheLevelsOnce)
{
    for (int level = 1; level <= 40; ++level)
    {
        const int planet = PlanetOf(level);
        EXPECT_LE(PlanetFirstLevel(planet), level);
        EXPECT_GE(PlanetLastLevel(planet), level);
        EXPECT_EQ(PlanetFirstLevel(planet + 1), PlanetLastLevel(planet) + 1) << "planet " << planet;
    }
    EXPECT_GT(PlanetFirstLevel(PlanetOf(40) + 1), 40);
    EXPECT_GT(PlanetFirstLevel(PlanetOf(40) + 5), 40);
}

// Where no group can be made, the careful player does not slide back to a position it has left
// while a move to a new one is there: on a 2 x 2 space among walls, with three colours that never
// group, it goes through all twelve positions before it comes back to one.
TEST(PlayBot, QuietMovesDoNotGoRoundInCircles)
{
    GameRulesConfig rules = TwoColourRules(mtSlide, mtSlide);
    LevelSpecificConfig& level = rules.GetLevelConfig(1);
    level.GeneralConfigFlags = gcfDontAddBlankSquare;
    level.sLevelLayout = " a#####bc#####" + std::string(42, '#');
    Engine engine;
    ASSERT_TRUE(engine.SetRules(rules));
    engine.ResetForLevel(1, true);
    ASSERT_EQ(Clicks(engine).size(), 6 + 7);
    auto position = [&]
    {
        std::string pieces;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                pieces += char('0' + engine.Square(x, y).piece);
        return pieces;
    };
    for (uint32_t seed : {1u, 2u, 3u})
    {
        Player player({}, seed);
        engine.ResetForLevel(1, true);
        std::vector<std::string> seen;
        for (int move = 0; move < 12; ++move)
        {
            seen.push_back(position());
            Click c;
            ASSERT_TRUE(player.Choose(engine, c));
            MatchGroupList groups;
            int ox, oy;
            ASSERT_TRUE(engine.ResolveMove(c.type, c.x, c.y, ox, oy, groups));
            ASSERT_TRUE(groups.empty());
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << "seed " << seed;
    }
}

// The largest group a click makes on the board as it stands, before any refill; 0 for none.
int LargestGroupOf(const Engine& engine, const Click& c)
{
    Engine copy(engine);
    int ox, oy, mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    if (!copy.DoMove(c.type, c.x, c.y, ox, oy) || !copy.FindMatches(mask, groups)) return 0;
    int largest = 0;
    for (const MatchGroup& g : groups)
        largest = std::max(largest, g.size);
    return largest;
}

// The greedy player takes a click whose group is the largest any click makes, on boards where
// clicks make groups of different sizes: a level far from its end, so that no click ends it.
TEST(PlayBot, TheGreedyPlayerTakesTheLargestGroup)
{
    GameRulesConfig rules;
    ASSERT_TRUE(LoadRules(KavoTest::kShippedProperties + "untimed_config.xml", rules));
    constexpr int kLevel = 11; // slides and turns of four, 135 pieces to clear
    ASSERT_EQ(rules.GetLevelConfig(kLevel).AlternateMoveType, mtFourSquareRotateCW);
    TrialClock clock;
    int choices = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed)
    {
        Engine engine;
        ASSERT_TRUE(engine.SetRules(SeededRules(rules, seed)));
        engine.ResetForLevel(kLevel, true);
        Player player(PlayerOptions{Style::Greedy}, seed);
        for (int move = 0; move < 6 && engine.piecesCleared < 60; ++move)
        {
            std::vector<int> sizes;
            for (const Click& c : Clicks(engine))
                sizes.push_back(LargestGroupOf(engine, c));
            const int largest = *std::max_element(sizes.begin(), sizes.end());
            Click chosen;
            ASSERT_TRUE(player.Choose(engine, chosen));
            const bool differ = std::count_if(sizes.begin(), sizes.end(), [&](int s) { return s > 0 && s < largest; });
            if (differ)
            {
                EXPECT_EQ(LargestGroupOf(engine, chosen), largest) << "seed " << seed << ", move " << move;
                choices += 1;
            }
            MatchGroupList groups;
            int ox, oy;
            engine.ResolveMove(chosen.type, chosen.x, chosen.y, ox, oy, groups);
        }
    }
    EXPECT_GE(choices, 5); // boards where the size of the group mattered
}

// The bounds of the report: a planet more than twice its predecessor's median moves is a cliff
// for any player, a last planet that is not the hardest is one too, and a planet easier than
// its predecessor is outside the bounds only for the strict (careful) player.
TEST(PlayBot, TheReportFindsCliffsAndAnEasyLastPlanet)
{
    auto result = [](std::vector<double> medians)
    {
        PlayerResult r;
        r.player.style = Style::Greedy;
        for (size_t p = 0; p < medians.size(); ++p)
        {
            LevelStats s;
            s.level = int(p) + 1;
            s.runs = s.wins = 10;
            s.medianMoves = medians[p];
            r.planets.push_back(s);
        }
        return r;
    };
    const Bounds bounds;
    const struct
    {
        std::vector<double> medians;
        size_t breaches, strictBreaches;
    } cases[] = {
        {{20, 40, 40, 80}, 0, 0},  // doubling at most, the last the hardest
        {{20, 41, 50, 60}, 1, 1},  // a cliff after planet 1
        {{20, 30, 25, 35}, 0, 1},  // planet 3 easier than planet 2
        {{20, 60, 30, 50}, 2, 3},  // a cliff, planet 2 harder than the last, planet 3 easier than 2
        {{30, 20, 25}, 1, 2},      // planet 1 harder than the last, and planet 2 easier than planet 1
    };
    for (const auto& c : cases)
    {
        const PlayerResult r = result(c.medians);
        EXPECT_EQ(PlayerBreaches("Mode", r, bounds, false).size(), c.breaches) << ::testing::PrintToString(c.medians);
        EXPECT_EQ(PlayerBreaches("Mode", r, bounds, true).size(), c.strictBreaches)
            << ::testing::PrintToString(c.medians);
    }
    // A level won too seldom is named, with the player.
    PlayerResult r = result({20, 30});
    LevelStats level;
    level.level = 7;
    level.runs = 10;
    level.wins = 5;
    r.levels.push_back(level);
    const std::vector<std::string> found = PlayerBreaches("Mode", r, bounds, false);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "Mode 7, greedy player: won 50%");
}

} // namespace
