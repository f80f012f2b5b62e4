// The software triangle rasteriser drawing a textured quad strip over a whole 800 x 600 32-bit
// image, point-sampled and bilinear, from an opaque texture and from one with soft transparent
// edges. Items per second are pixels per second.

#include "raster/RasterRecords.h"
#include "raster/RasterizerTable.h"
#include "raster/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTextureSize = 256;

// Opaque colours, or the same with an alpha that falls off toward the edges: an opaque middle,
// a soft rim and transparent corners, as sprites have.
std::vector<uint32_t> MakeTexture(bool withAlpha)
{
    std::vector<uint32_t> texels(kTextureSize * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y)
    {
        for (int x = 0; x < kTextureSize; ++x)
        {
            const uint32_t rgb = uint32_t(x) << 16 | uint32_t(y) << 8 | uint32_t((x * y) & 0xFF);
            const int edge = std::min({x, y, kTextureSize - 1 - x, kTextureSize - 1 - y});
            const uint32_t alpha = withAlpha ? uint32_t(std::clamp(edge * 16 - 32, 0, 255)) : 255;
            texels[size_t(y) * kTextureSize + size_t(x)] = alpha << 24 | rgb;
        }
    }
    return texels;
}

const std::vector<Kavo::TriVertex> kQuad = {
    {0, 0, 0, 0, 0}, {kWidth, 0, 1, 0, 0}, {0, kHeight, 0, 1, 0}, {kWidth, kHeight, 1, 1, 0}};

// The quad's last column and row lie on its right and bottom edges and are not drawn.
constexpr int64_t kPixelsPerQuad = int64_t(kWidth - 1) * (kHeight - 1);

void DrawStrip(benchmark::State& state, bool bilinear, bool withAlpha)
{
    Kavo::InitTriangleRasterizerTable();
    const std::vector<uint32_t> texels = MakeTexture(withAlpha);
    const Kavo::RasterSourceImage source = {kTextureSize, kTextureSize, texels.data(), withAlpha, withAlpha};
    std::vector<uint32_t> target(size_t(kWidth) * kHeight, 0xFF204060);
    for (auto _ : state)
    {
        Kavo::DrawClippedTriangleStrip(Kavo::Rect(0, 0, kWidth, kHeight), Kavo::Color::White, kQuad.data(),
                                       int(kQuad.size()), &source, target.data(), kWidth * 4, 0x8888,
                                       bilinear, false);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixelsPerQuad);
}

// Filtered sampling always blends through the strip driver; the plain bilinear filler is reached
// through the dispatcher, as the strip driver would call it per triangle.
void DrawBilinearUnblended(benchmark::State& state)
{
    Kavo::InitTriangleRasterizerTable();
    const std::vector<uint32_t> texels = MakeTexture(false);
    const Kavo::RasterTexture texture = {
        texels.data(), 8, 255 << 16, 255 << 16, kTextureSize, kTextureSize * kTextureSize, kTextureSize};
    const Kavo::RasterColor white = {255, 255, 255, 255};
    const int32_t w = (kWidth - 1) << 16, h = (kHeight - 1) << 16, s = kTextureSize << 16;
    const Kavo::RasterVertex first[3] = {
        {0, 0, 0, 0, 0, 0, 0, 0}, {w, 0, 0, 0, 0, 0, s, 0}, {0, h, 0, 0, 0, 0, 0, s}};
    const Kavo::RasterVertex second[3] = {
        {w, 0, 0, 0, 0, 0, s, 0}, {0, h, 0, 0, 0, 0, 0, s}, {w, h, 0, 0, 0, 0, s, s}};
    std::vector<uint32_t> target(size_t(kWidth) * kHeight, 0xFF204060);
    for (auto _ : state)
    {
        Kavo::DispatchTriangleRasterizer(true, false, false, false, first, target.data(), kWidth * 4,
                                         &texture, &white, 0x8888, true);
        Kavo::DispatchTriangleRasterizer(true, false, false, false, second, target.data(), kWidth * 4,
                                         &texture, &white, 0x8888, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixelsPerQuad);
}

void BM_RasterStripPoint(benchmark::State& state)
{
    DrawStrip(state, false, false);
}
void BM_RasterStripPointBlend(benchmark::State& state)
{
    DrawStrip(state, false, true);
}
void BM_RasterStripBilinear(benchmark::State& state)
{
    DrawBilinearUnblended(state);
}
void BM_RasterStripBilinearBlend(benchmark::State& state)
{
    DrawStrip(state, true, true);
}
void BM_RasterStripBilinearBlendOpaqueTexture(benchmark::State& state)
{
    DrawStrip(state, true, false);
}

} // namespace

BENCHMARK(BM_RasterStripPoint);
BENCHMARK(BM_RasterStripPointBlend);
BENCHMARK(BM_RasterStripBilinear);
BENCHMARK(BM_RasterStripBilinearBlend);
BENCHMARK(BM_RasterStripBilinearBlendOpaqueTexture);
