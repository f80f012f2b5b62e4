#include "rules/GameBoardLogic.h"
#include "tests/rules/HeadlessGame.h"

#include <benchmark/benchmark.h>

// Moves per second of the move driver (GameBoardLogic::ResolveMove: the move, the group
// search, scoring, tiles, refill and the black-hole steps) on the default 7 x 8 board with
// black holes, supernovas, wild pieces and bonuses. Items are accepted moves; the clicks come
// from the headless player, and a game that ends is started again outside the timing.
static void BM_ResolveMove(benchmark::State& state)
{
    const int moveType = int(state.range(0));
    Kavo::GameBoardLogic engine;
    engine.SetRules(KavoTest::FullFeatureRules(moveType, 12345));
    engine.ResetForLevel(1, true);
    KavoTest::RandomPlayer player(99);
    Kavo::MatchGroupList groups;
    int64_t accepted = 0;
    int sinceStart = 0;
    for (auto _ : state)
    {
        int x, y, outX, outY;
        player.ChooseClick(engine, moveType, x, y);
        accepted += engine.ResolveMove(moveType, x, y, outX, outY, groups);
        if (engine.IsLevelOver(false)) engine.AdvanceToNextLevel();
        if (++sinceStart == 2000 || engine.IsSpecialWin() || engine.IsSpecialLoss())
        {
            state.PauseTiming();
            engine.ResetForLevel(1, true);
            sinceStart = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(accepted);
    state.counters["accepted"] = benchmark::Counter(double(accepted) / double(state.iterations()));
}
BENCHMARK(BM_ResolveMove)
    ->Arg(Kavo::mtSlide)
    ->Arg(Kavo::mtFourSquareRotateCW)
    ->Arg(Kavo::mtNineSquareRotateCW)
    ->Arg(Kavo::mtEntireRowHorzCycleLTR);
