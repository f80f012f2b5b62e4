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
        {mtSlide, mtSlide, 6 + 7},                                // the blank's row and column
        {mtSlide, mtOneSpaceSlide, 6 + 7 + 4},                    // and its four neighbours
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
        RunJobs(4, threads,
                [&](int i) { trials[size_t(i)] = PlayLevel(rules, kLevel, LevelSeed(kLevel, i), {}, 80); });
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

// A first board has no move when the engine's stuck test finds a sliding board stuck, and on any
// board when no click of either button moves a piece: on a board of turns where a wall holds every
// block of four it has none, and one free block is enough for a move.
TEST(PlayBot, AFirstBoardWithoutAMoveIsFound)
{
    std::string walled;
    for (int row = 0; row < 8; ++row)
        walled += row % 2 ? "#b#a#b#" : "#a#b#a#";
    std::string oneFree = walled;
    oneFree[0] = 'b', oneFree[7] = 'a'; // the block of four at the top left
    const struct
    {
        int main, alternate;
        std::string layout;
        bool noMove;
    } cases[] = {
        {mtFourSquareRotateCW, mtFourSquareRotateCCW, walled, true},
        {mtFourSquareRotateCW, mtFourSquareRotateCCW, oneFree, false},
        {mtEntireRowHorzCycleLTR, mtFourSquareRotateCW, walled, true}, // a row with a wall does not cycle
        {mtSlide, mtSlide, "", false}, // two colours, no walls: groups are always there to make
    };
    TrialClock clock;
    for (const auto& c : cases)
    {
        GameRulesConfig rules = TwoColourRules(c.main, c.alternate);
        rules.GetLevelConfig(1).sLevelLayout = c.layout;
        EXPECT_EQ(StartsStuck(rules, 1, 1), c.noMove)
            << "moves " << c.main << " and " << c.alternate << ", " << c.layout;
    }
    // The engine's stuck test: a sliding 3 x 3 board has no 4 x 4 room for a group under the 3 x 3 rule.
    GameRulesConfig small = TwoColourRules(mtSlide, mtSlide);
    small.nWidth = small.nHeight = 3;
    small.GetLevelConfig(1).GeneralConfigFlags = gcfRequire3x3Square;
    EXPECT_TRUE(StartsStuck(small, 1, 1));
    EXPECT_EQ(FreshBoardsStuck(small, 1, 5), 5);
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
    constexpr int kLevel = 11; // slides and turns of four, 180 pieces to clear
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
            const bool differ =
                std::count_if(sizes.begin(), sizes.end(), [&](int s) { return s > 0 && s < largest; });
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

// The bounds of the report: two neighbouring planets more than twice apart in median moves to win
// are a cliff up or a drop down for any player, and a last planet that is not the hardest or
// not won is outside them too; exactly twice is inside. A trial that ended stuck or lost, or too
// few whole games won, is outside them only for the strict (careful) player.
TEST(PlayBot, TheReportFindsCliffsDropsAndAnEasyLastPlanet)
{
    auto result = [](std::vector<double> medians)
    {
        PlayerResult r;
        r.player.style = Style::Greedy;
        for (size_t p = 0; p < medians.size(); ++p)
        {
            LevelStats s;
            s.level = int(p) + 1;
            s.runs = 10;
            s.wins = medians[p] > 0 ? 10 : 0;
            s.medianMoves = medians[p];
            r.planets.push_back(s);
        }
        return r;
    };
    const Bounds bounds;
    const struct
    {
        std::vector<double> medians;
        size_t breaches;
    } cases[] = {
        {{20, 40, 40, 80}, 0}, // doubling at most, the last the hardest
        {{20, 30, 25, 35}, 0}, // planet 3 easier than planet 2, but within twice of both neighbours
        {{40, 80, 40, 80}, 0}, // twice up, twice down, twice up: within the bounds
        {{20, 41, 50, 60}, 1}, // a cliff up from planet 1
        {{40, 19, 30, 50}, 1}, // a drop down from planet 1
        {{20, 60, 30, 50}, 2}, // a cliff up to planet 2, which is harder than the last
        {{30, 20, 25}, 1},     // planet 1 harder than the last
        {{50, 20, 45}, 3},     // a drop, a cliff, and planet 1 harder than the last
        {{20, 30, 0}, 1},      // the last planet never won
    };
    for (const auto& c : cases)
    {
        const PlayerResult r = result(c.medians);
        EXPECT_EQ(PlayerBreaches("Mode", r, bounds, false).size(), c.breaches)
            << ::testing::PrintToString(c.medians);
        EXPECT_EQ(PlayerBreaches("Mode", r, bounds, true).size(), c.breaches)
            << ::testing::PrintToString(c.medians);
    }
    using Lines = std::vector<std::string>;
    EXPECT_EQ(PlayerBreaches("Mode", result({40, 19, 38, 41}), bounds, false),
              Lines{"Mode planet 2, greedy player: 19 moves, a drop down from planet 1's 40 (x0.47)"});
    EXPECT_EQ(PlayerBreaches("Mode", result({20, 41}), bounds, false),
              Lines{"Mode planet 2, greedy player: 41 moves, a cliff up from planet 1's 20 (x2.05)"});

    // A level won too seldom is named, with the player; a level with a trial that ended stuck, only
    // for the strict player.
    PlayerResult r = result({20, 30});
    LevelStats seldom, stuck;
    seldom.level = 7;
    seldom.runs = 10;
    seldom.wins = 5;
    stuck.level = 8;
    stuck.runs = 10;
    stuck.wins = 9;
    stuck.ends[int(End::Stuck)] = 1;
    r.levels = {seldom, stuck};
    EXPECT_EQ(PlayerBreaches("Mode", r, bounds, false), Lines{"Mode 7, greedy player: won 50%"});
    EXPECT_EQ(
        PlayerBreaches("Mode", r, bounds, true),
        (Lines{"Mode 7, greedy player: won 50%", "Mode 8, greedy player: became unwinnable in 1 trials"}));

    // Whole games: none won of five breaks the bound for the strict player and misses the aim of
    // the others; one won keeps both.
    PlayerResult games = result({20, 30});
    games.games.resize(5);
    const Lines none{"Mode, greedy player: 0 of 5 whole games won"};
    EXPECT_EQ(PlayerBreaches("Mode", games, bounds, true), none);
    EXPECT_TRUE(PlayerBreaches("Mode", games, bounds, false).empty());
    EXPECT_EQ(GamesMissed("Mode", games, bounds), none[0]);
    LevelStats often = seldom;
    often.wins = 8;
    games.levels = {often, often}; // won 80% each
    EXPECT_EQ(GamesMissed("Mode", games, bounds), none[0] + " (its levels' win rates multiply to 64%)");
    games.games[3].end = End::Won;
    EXPECT_TRUE(PlayerBreaches("Mode", games, bounds, true).empty());
    EXPECT_EQ(GamesMissed("Mode", games, bounds), "");
}

} // namespace
