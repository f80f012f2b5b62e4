#include "bench/BoardScene.h"
#include "graphics/MemoryImage.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{

using namespace Kavo;

// One frame of the board in software (bench/BoardScene.h).
void BM_BoardFrame(benchmark::State& state)
{
    benchscene::BoardScene scene(
        [](int w, int h, const std::vector<uint32_t>& pixels)
        {
            auto* image = new MemoryImage();
            image->SetBits(pixels.data(), w, h);
            return image;
        });
    // The screen is opaque, as the display's screen image is.
    MemoryImage screen;
    screen.Create(800, 600);
    screen.SetImageMode(false, false);
    for (auto _ : state)
    {
        scene.Draw(&screen);
        benchmark::DoNotOptimize(screen.GetBits());
    }
}
BENCHMARK(BM_BoardFrame)->Unit(benchmark::kMicrosecond);

} // namespace
