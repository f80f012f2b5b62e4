#include "base/Logger.h"
#include "platform/system/FakeClock.h"
#include "tests/base/MemorySerializer.h"
#include "tests/rules/HeadlessGame.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;
using KavoTest::MemorySerializer;

bool SameState(const GameBoardLogic& a, const GameBoardLogic& b)
{
    for (int i = 0; i < GameBoardLogic::kSquares; ++i)
        if (!(a.squares[i] == b.squares[i])) return false;
    return a.level == b.level && a.score == b.score && a.timeLeft == b.timeLeft &&
           a.piecesCleared == b.piecesCleared && a.combo == b.combo && a.bonusColour == b.bonusColour &&
           a.bonusSize == b.bonusSize && a.lastGrowX == b.lastGrowX && a.lastGrowY == b.lastGrowY &&
           a.rules.Random().SerializeState() == b.rules.Random().SerializeState();
}

// Two engines with the same seed take the same clicks in lockstep to the end of the game;
// a third is saved from the first part-way and resumed, and follows the same way.
TEST(HeadlessGames, EveryMoveTypePlaysToTheEnd)
{
    platform::FakeClock clock;
    Logger log; // the engine reports to it; its sinks do nothing
    constexpr int kMaxTurns = 20000;
    for (int moveType = mtOneSpaceSlide; moveType <= mtEntireColVertCycleBTT; ++moveType)
    {
        const GameRulesConfig rules = KavoTest::FullFeatureRules(moveType, 1000 + moveType);
        GameBoardLogic first, second;
        ASSERT_TRUE(first.SetRules(rules));
        ASSERT_TRUE(second.SetRules(rules));
        first.ResetForLevel(1, true);
        second.ResetForLevel(1, true);
        KavoTest::RandomPlayer player(77 + uint32_t(moveType));

        GameBoardLogic resumed;
        bool haveResumed = false;
        bool ended = false;
        int turn = 0;
        for (; turn < kMaxTurns && !ended; ++turn)
        {
            if (turn == 40)
            {
                // Saving moves the saved engine's generator to the end of its block, so the
                // second engine saves at the same moment to stay its twin.
                MemorySerializer reader(KavoTest::SavedBytes(first));
                KavoTest::SavedBytes(second);
                ASSERT_TRUE(resumed.Serialize(reader)) << moveType;
                haveResumed = true;
            }
            int x, y;
            player.ChooseClick(first, moveType, x, y);
            clock.Advance(200);
            bool goesOn = KavoTest::PlayTurn(first, moveType, x, y);
            ASSERT_EQ(KavoTest::PlayTurn(second, moveType, x, y), goesOn) << moveType << " turn " << turn;
            if (haveResumed) KavoTest::PlayTurn(resumed, moveType, x, y);
            ended = !goesOn;

            std::string broken = KavoTest::CheckInvariants(first);
            ASSERT_EQ(broken, "") << "move type " << moveType << " turn " << turn;
            ASSERT_TRUE(SameState(first, second)) << "move type " << moveType << " turn " << turn;
            if (haveResumed)
            {
                ASSERT_TRUE(SameState(first, resumed)) << "move type " << moveType << " turn " << turn;
            }
        }
        EXPECT_TRUE(ended) << "move type " << moveType << " still playing after " << kMaxTurns << " turns";
        EXPECT_EQ(KavoTest::SavedBytes(first), KavoTest::SavedBytes(second)) << moveType;
        if (haveResumed)
        {
            EXPECT_EQ(KavoTest::SavedBytes(first), KavoTest::SavedBytes(resumed)) << moveType;
        }
    }
}

} // namespace
