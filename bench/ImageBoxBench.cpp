// The drawing context's 3 x 3 frame (Graphics::DrawImageBox) of a 9 x 9 picture, tiles of 3 x 3
// pixels, on an opaque 800 x 600 screen: a box of the screen's size, and boxes 40,000 pixels and
// the whole int range wide centred on it, of which only the screen's part is tiled. Items are
// boxes drawn.
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <vector>

namespace
{

void BM_ImageBox(benchmark::State& state)
{
    const int64_t size = state.range(0);
    Kavo::MemoryImage screen;
    screen.Create(800, 600);
    screen.FillRect(Kavo::Rect(0, 0, 800, 600), Kavo::Color(0, 0, 0), 0);
    screen.CommitBits();
    std::vector<uint32_t> pixels(81);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | uint32_t(i * 3) << 16 | 0x4080u;
    Kavo::MemoryImage frame;
    frame.SetBits(pixels.data(), 9, 9);
    const int x = int(400 - size / 2), y = int(300 - size / 2);
    const int w = int(std::min<int64_t>(size, INT_MAX)), h = w;
    for (auto _ : state)
    {
        Kavo::Graphics g(&screen);
        g.DrawImageBox(Kavo::Rect(x, y, w, h), &frame);
        benchmark::DoNotOptimize(screen.bits.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ImageBox)->Arg(600)->Arg(40000)->Arg(INT_MAX)->Unit(benchmark::kMicrosecond);

} // namespace
