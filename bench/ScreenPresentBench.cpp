// Showing the screen on the software road: the game's 800 x 600 screen image scaled onto a
// 1280 x 1024 desktop (1280 x 960 and bars) whole and a star's 16 x 16 at a time, and rows of a
// 16-bit screen converted for the window. Items are destination pixels.
#include "platform/display/RowConverter.h"
#include "platform/display/ScreenScaler.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace
{

constexpr int kWidth = 800, kHeight = 600, kDestWidth = 1280, kDestHeight = 960;

std::vector<uint32_t> Noise(size_t n)
{
    std::vector<uint32_t> pixels(n);
    std::mt19937 random(1);
    for (uint32_t& p : pixels)
        p = random();
    return pixels;
}

// range(0): the side of the changed square, 0 for the whole screen.
void BM_ScreenScaled(benchmark::State& state)
{
    const int side = int(state.range(0));
    std::vector<uint32_t> source = Noise(size_t(kWidth) * kHeight);
    std::vector<uint32_t> dest(size_t(kDestWidth) * kDestHeight);
    platform::ScreenScaler scaler;
    scaler.SetSizes(kWidth, kHeight, kDestWidth, kDestHeight);
    platform::SurfaceRect changed = side ? platform::SurfaceRect{400, 300, 400 + side, 300 + side}
                                         : platform::SurfaceRect{0, 0, kWidth, kHeight};
    platform::SurfaceRect reach = scaler.Reach(changed);
    platform::SurfaceRect foot = scaler.Footprint(reach);
    auto rows = [&](int y) { return source.data() + size_t(y) * kWidth + size_t(foot.left); };
    uint8_t* out =
        reinterpret_cast<uint8_t*>(dest.data() + size_t(reach.top) * kDestWidth + size_t(reach.left));
    for (auto _ : state)
    {
        scaler.Scale(reach, rows, out, kDestWidth * 4);
        benchmark::DoNotOptimize(dest.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * reach.Width() * reach.Height());
}
BENCHMARK(BM_ScreenScaled)->Arg(0)->Arg(16);

void BM_ScreenRowsFrom565(benchmark::State& state)
{
    std::vector<uint32_t> noise = Noise(size_t(kWidth) * kHeight / 2);
    const uint8_t* source = reinterpret_cast<const uint8_t*>(noise.data());
    std::vector<uint32_t> out(size_t(kWidth) * kHeight);
    platform::RowConverter converter(platform::PixelFormat::Rgb565());
    for (auto _ : state)
    {
        for (int y = 0; y < kHeight; ++y)
            converter.ToArgb(source + size_t(y) * kWidth * 2, out.data() + size_t(y) * kWidth, kWidth);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_ScreenRowsFrom565);

} // namespace
