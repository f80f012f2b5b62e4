// Plays the shipped game modes headless through the rules engine: every level of every mode
// for a few hundred random moves of both move types, with the clock and the real-time black
// holes running between moves as the board screen runs them.
#include "app/MersenneTwister.h"
#include "platform/FakeClock.h"
#include "puzzle/GameBoardLogic.h"
#include "puzzle/Pieces.h"
#include "puzzle/RulesFlags.h"
#include "tests/puzzle/ShippedRules.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;
using namespace KavoTest;

constexpr int kMovesPerLevel = 300;
constexpr int kUpdatesBetweenMoves = 30; // 0.3 seconds

// A piece code as the engine makes them: a plain code, a supernova or a maturing piece of a
// colour (a supernova may be maturing too), or a maturing wild piece.
bool IsValidPiece(int piece)
{
    int plain = PieceColour(piece);
    if (piece & PieceSupernovaFlag) return IsColourPiece(plain);
    if (piece & PieceMaturingFlag) return IsColourPiece(plain) || plain == PieceWild;
    return plain >= PieceBlank && plain <= PieceWild;
}

// One update of a level being played.
void Update(GameBoardLogic& engine, platform::FakeClock& clock)
{
    engine.TimeStep();
    const int flags = engine.LevelConfig().GeneralConfigFlags;
    if (flags & gcfGrowBlackHolesInRealtime) engine.AdvanceBlackHoleTimers(0.01f);
    if (flags & gcfCheckForNewBlackHolesInRealtime) engine.CheckForNewBlackHoles();
    clock.Advance(10);
}

// What must hold after every move: known pieces, at most one blank, score and time in range.
void ExpectSound(const GameBoardLogic& engine, int level)
{
    int blanks = 0;
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
        {
            int piece = engine.Square(x, y).piece;
            ASSERT_TRUE(IsValidPiece(piece)) << "piece " << piece << " at " << x << ", " << y;
            blanks += piece == PieceBlank;
        }
    EXPECT_LE(blanks, 1);
    EXPECT_EQ(engine.level, level);
    EXPECT_GE(engine.score, 0);
    EXPECT_GE(engine.piecesCleared, 0);
    EXPECT_GE(engine.timeLeft, 0.0f);
    EXPECT_LE(engine.timeLeft, engine.rules.GetMaxTimeLeft(level));
}

class ModesPlay : public ::testing::TestWithParam<const char*>
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
    MersenneTwister player(7); // the random player's own choices

    const int end = GameEndLevel(rules);
    ASSERT_GT(end, 1);
    int groupsInMode = 0;
    for (int level = 1; level < end; ++level)
    {
        SCOPED_TRACE("level " + std::to_string(level));
        engine.ResetForLevel(level, true);
        ExpectSound(engine, level);
        int accepted = 0;
        for (int move = 0; move < kMovesPerLevel; ++move)
        {
            const LevelSpecificConfig& config = engine.LevelConfig();
            int type = player.Next() % 2 ? config.AlternateMoveType : config.MainMoveType;
            int x = int(player.Next() % uint32_t(engine.Width()));
            int y = int(player.Next() % uint32_t(engine.Height()));
            int outX = 0, outY = 0;
            MatchGroupList groups;
            if (engine.ResolveMove(type, x, y, outX, outY, groups))
            {
                ++accepted;
                groupsInMode += int(groups.size());
            }
            for (int i = 0; i < kUpdatesBetweenMoves; ++i)
                Update(engine, clock);
            if (engine.IsStuck() && engine.CanScramble()) engine.Scramble();
            ExpectSound(engine, level);
            if (HasFatalFailure()) return;

            // A level that ends moves on once (when the game goes on) and starts over.
            bool timedOut = (config.GeneralConfigFlags & gcfElapseRealTime) && engine.timeLeft <= 0.0f;
            if (engine.IsLevelOver(false) && level + 1 < end)
            {
                engine.AdvanceToNextLevel();
                EXPECT_EQ(engine.level, level + 1);
                ExpectSound(engine, level + 1);
                engine.ResetForLevel(level, true);
            }
            else if (engine.IsLevelDone() || engine.IsSpecialWin() || engine.IsSpecialLoss() || timedOut)
                engine.ResetForLevel(level, true);
        }
        EXPECT_GT(accepted, 0);

        // Moving on from wherever the level stands builds the next level's board.
        if (level + 1 < end)
        {
            engine.AdvanceToNextLevel();
            ExpectSound(engine, level + 1);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GT(groupsInMode, 0);
}

INSTANTIATE_TEST_SUITE_P(ShippedModes, ModesPlay, ::testing::ValuesIn(kModeRulesFiles),
                         [](const ::testing::TestParamInfo<const char*>& info)
                         {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

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
