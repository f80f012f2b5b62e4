// The shipped levels stay winnable: the careful player of playbot plays every level of the five
// modes from a few fixed boards and must win each level on at least one of them, and must not
// find every first board of a level stuck; it plays every challenge and must reach its bronze
// medal at least once. A small sample, to catch a level that a change of the rules or of the
// engine made unwinnable; the full measure is the difficulty report (scripts/difficulty-report.sh).
#include "rules/RulesFlags.h"
#include "tests/rules/ShippedRules.h"
#include "tools/playbot/Report.h"
#include "tools/playbot/Trial.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{

using namespace PlayBot;

// A level or challenge stops at its first win, so the later boards are played only where the
// first one is lost; that keeps the check short under the sanitizers too.
constexpr int kTrials = 3;
constexpr int kMoves = 600;

class LevelsWinnable : public ::testing::TestWithParam<std::string>
{
};

TEST_P(LevelsWinnable, EveryLevelIsWonAndNoneStartsStuck)
{
    Kavo::GameRulesConfig rules;
    ASSERT_TRUE(LoadRules(KavoTest::kShippedProperties + GetParam(), rules));
    TrialClock clock;
    for (int level = 1; level < EndLevel(rules); ++level)
    {
        int wins = 0, stuck = 0;
        std::string ends;
        for (int trial = 0; trial < kTrials && wins == 0; ++trial)
        {
            const LevelTrial t = PlayLevel(rules, level, LevelSeed(level, trial), PlayerOptions(), kMoves);
            wins += t.end == End::Won;
            stuck += t.startStuck;
            ends += std::string(" ") + EndName(t.end);
        }
        EXPECT_GT(wins, 0) << "level " << level << " was not won:" << ends;
        EXPECT_TRUE(wins > 0 || stuck < kTrials) << "level " << level << " starts stuck";
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedModes, LevelsWinnable,
                         ::testing::ValuesIn(std::vector<std::string>(std::begin(KavoTest::kModeRulesFiles),
                                                                      std::end(KavoTest::kModeRulesFiles))),
                         [](const ::testing::TestParamInfo<std::string>& info)
                         { return info.param.substr(0, info.param.find('.')); });

// Crazy's last planet starts a group only with a block of nine. Its first level is no cliff for a
// player who plans two moves ahead and grows no clusters (playbot's planner): it wins most of its
// trials there.
TEST(LevelsWinnable, CrazysFirstLevelOfBlocksOfNineIsNoCliffForAPlanner)
{
    Kavo::GameRulesConfig rules;
    ASSERT_TRUE(LoadRules(KavoTest::kShippedProperties + "crazy_config.xml", rules));
    constexpr int kLevel = 22;
    ASSERT_TRUE(rules.GetLevelConfig(kLevel).GeneralConfigFlags & Kavo::gcfRequire3x3Square);
    ASSERT_FALSE(rules.GetLevelConfig(kLevel - 1).GeneralConfigFlags & Kavo::gcfRequire3x3Square);
    constexpr int kPlannerTrials = 6;
    TrialClock clock;
    std::atomic<int> wins{0};
    RunJobs(kPlannerTrials, 3,
            [&](int trial)
            {
                const LevelTrial t =
                    PlayLevel(rules, kLevel, LevelSeed(kLevel, trial), PlayerOptions{Style::Planner}, kMoves);
                wins += t.end == End::Won;
            });
    EXPECT_GE(wins.load(), 4) << "of " << kPlannerTrials;
}

TEST(ChallengesWinnable, EveryChallengesBronzeMedalIsReached)
{
    const std::vector<ChallengeEntry> challenges = ReadChallenges(KavoTest::kShippedProperties);
    ASSERT_FALSE(challenges.empty());
    TrialClock clock;
    for (const ChallengeEntry& c : challenges)
    {
        Kavo::GameRulesConfig rules;
        ASSERT_TRUE(LoadRules(KavoTest::kShippedProperties + c.file, rules)) << c.file;
        int best = 0;
        for (int trial = 0; trial < kTrials && best < c.medals[0]; ++trial)
            best = std::max(best, PlayGame(rules, GameSeed(trial), PlayerOptions(), kMoves).score);
        EXPECT_GE(best, c.medals[0]) << c.id << " (" << c.file << ") scored at best " << best;
    }
}

} // namespace
