#include "base/MersenneTwister.h"

#include <benchmark/benchmark.h>

static void BM_MersenneTwisterNext(benchmark::State& state)
{
    Kavo::MersenneTwister generator(4357);
    for (auto _ : state)
        benchmark::DoNotOptimize(generator.Next());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MersenneTwisterNext);
