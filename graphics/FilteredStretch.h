#pragma once

#include "graphics/PixelBlend.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The filtered stretch of the software image: a separable filter whose taps along each axis add
// up to 257 per output cell, so that 257 x 257 stands for one, drawn over the destination.
//
// DrawTwoPass is the rule written plainly: a horizontal pass over every source row into sums of
// 32 bits, a vertical pass over those, then each destination pixel blended with Over. Draw gives
// exactly its pixels faster: where every weight is 0 to 257 and each cell's weights add up to at
// most 257 (every enlargement of a source that starts inside the image, and every reduction), a
// channel times the horizontal weights fits 16 bits, so each source row is filtered once into
// 16-bit sums and the vertical pass runs over whole destination rows with SSE2, or AVX2 where
// the processor has it (BlendRows::AllowWideForms chooses for both). Integer sums do not depend
// on their order, so the two orders agree to the bit. Other taps take the plain rule.
namespace Kavo::FilteredStretch
{

// One contribution of an input cell to an output cell of a pass.
struct Tap
{
    int out;
    int in;
    int32_t weight;
};

// The taps of one pass along an axis: `count` input cells starting at absolute position
// `origin`, sampled at `start` with extent `extent`, into `outCount` + 4 output cells (output
// cell 1 standing for destination 0). Input indices are kept inside the input and output
// indices inside the output. The same taps serve every row (or column).
std::vector<Tap> AxisTaps(int count, int origin, double start, double extent, int outCount);

// A stretch to draw: the destination block, the source region's row count, the taps across and
// down, and the region's rows (each called for once or more; the pointer it gives may be
// overwritten by the next call).
struct Job
{
    uint32_t* dest = nullptr; // the block's top-left pixel
    size_t destPitch = 0;     // words from one destination row to the next
    int width = 0, height = 0;
    int sourceRows = 0;
    std::vector<Tap> across, down;
    std::function<const uint32_t*(int)> row;
};

void Draw(const Job& job);
void DrawTwoPass(const Job& job);

// One filtered pixel (channels and alpha 0-256; 256 is "all source") over destination d:
// nothing at a = 0, else each channel (d (256 - a)) >> 8 + (s a) >> 8 and alpha
// dA + (255 - dA) a / 255, held to 255.
inline uint32_t Over(uint32_t d, uint32_t b, uint32_t g, uint32_t r, uint32_t a)
{
    using namespace PixelBlend;
    if (a == 0) return d;
    uint32_t dA = d >> 24;
    auto blend = [&](uint32_t dc, uint32_t sc)
    { return Saturate(((dc * (256 - a)) >> 8) + ((sc * a) >> 8)); };
    uint32_t outA = Saturate(dA + (255 - dA) * a / 255);
    return (outA << 24) | (blend(Red(d), r) << 16) | (blend(Green(d), g) << 8) | blend(Blue(d), b);
}

} // namespace Kavo::FilteredStretch
