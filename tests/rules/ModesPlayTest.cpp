// Plays the shipped game modes and challenges headless through the rules engine: every level of
// every mode and challenge for a few hundred random moves of both move types, turn by turn as the board
// screen plays them (time and real-time black holes between moves, moving on when a level ends).
#include "platform/system/FakeClock.h"
#include "rules/GameBoardLogic.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "tests/rules/HeadlessGame.h"
#include "tests/rules/ShippedRules.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;
using namespace KavoTest;

constexpr int kMovesPerLevel = 300;

int CountBlanks(const GameBoardLogic& engine)
{
    int blanks = 0;
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
            blanks += engine.Square(x, y).piece == PieceBlank;
    return blanks;
}

class ModesPlay : public ::testing::TestWithParam<std::string>
{
};

TEST_P(ModesPlay, EveryLevelPlaysHeadless)
{
    platform::FakeClock clock;
    GameRulesConfig rules;
    std::string error;
    ASSERT_TRUE(LoadRulesFile(kShippedProperties + GetParam(), rules, error)) << error;
    rules.Random().Seed(20250101);
    GameBoardLogic engine;
    ASSERT_TRUE(engine.SetRules(rules));
    RandomPlayer player(7);

    const int end = GameEndLevel(rules);
    ASSERT_GT(end, 1);
    for (int level = 1; level < end; ++level)
    {
        SCOPED_TRACE("level " + std::to_string(level));
        engine.ResetForLevel(level, true);
        for (int move = 0; move < kMovesPerLevel; ++move)
        {
            const LevelSpecificConfig& config = engine.LevelConfig();
            int type = player.Below(2) ? config.AlternateMoveType : config.MainMoveType;
            int x, y;
            player.ChooseClick(engine, type, x, y);
            clock.Advance(200);
            bool goesOn = PlayTurn(engine, type, x, y);
            ASSERT_EQ(CheckInvariants(engine), "") << "move " << move;
            ASSERT_LE(CountBlanks(engine), 1) << "move " << move;

            // A level that ended (moving on or ending the game) starts over.
            if (!goesOn || engine.level != level) engine.ResetForLevel(level, true);
        }
        // Moving on from wherever the level stands builds the next level's board.
        if (level + 1 < end)
        {
            engine.AdvanceToNextLevel();
            ASSERT_EQ(engine.level, level + 1);
            ASSERT_EQ(CheckInvariants(engine), "");
        }
    }
}

std::string RulesFileTestName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param.substr(info.param.find_last_of('/') + 1);
    return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(ShippedModes, ModesPlay,
                         ::testing::ValuesIn(std::vector<std::string>(std::begin(kModeRulesFiles),
                                                                      std::end(kModeRulesFiles))),
                         RulesFileTestName);
INSTANTIATE_TEST_SUITE_P(ShippedChallenges, ModesPlay, ::testing::ValuesIn(ChallengeRulesFiles()),
                         RulesFileTestName);

// The interactive tutorial asks for a slide at (2, 4), then one at (2, 2), and then a move
// that makes a group; the first two levels of the untimed and timed games are laid out so the
// second slide already makes one.
TEST(ModesPlay, TheTutorialBoardsFollowTheTutorial)
{
    for (const char* file : {"untimed_config.xml", "timed_config.xml"})
    {
        SCOPED_TRACE(file);
        GameRulesConfig rules;
        std::string error;
        ASSERT_TRUE(LoadRulesFile(kShippedProperties + file, rules, error)) << error;
        GameBoardLogic engine;
        ASSERT_TRUE(engine.SetRules(rules));
        engine.ResetForLevel(1, true);
        const LevelSpecificConfig& config = engine.LevelConfig();
        ASSERT_TRUE(config.GeneralConfigFlags & gcfDoInteractiveTutorial);
        ASSERT_EQ(config.MainMoveType, mtSlide);

        // The board is the layout itself, with the blank in the middle.
        ASSERT_EQ(int(config.sLevelLayout.size()), engine.Width() * engine.Height());
        for (int y = 0; y < engine.Height(); ++y)
            for (int x = 0; x < engine.Width(); ++x)
            {
                char c = config.sLevelLayout[size_t(x + engine.Width() * y)];
                int expected = (x == 3 && y == 4) ? PieceBlank : c - 'a' + 1;
                EXPECT_EQ(engine.Square(x, y).piece, expected) << x << ", " << y;
            }

        int outX, outY;
        MatchGroupList groups;
        ASSERT_TRUE(engine.ResolveMove(mtSlide, 2, 4, outX, outY, groups));
        EXPECT_TRUE(groups.empty());
        ASSERT_TRUE(engine.ResolveMove(mtSlide, 2, 2, outX, outY, groups));
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(groups[0].size, 4);
    }
}

} // namespace
