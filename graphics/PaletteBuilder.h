#pragma once

#include <cstdint>

namespace Kavo
{

// Fills palette (256 words) in order of first appearance and one index byte per pixel.
// False when a 257th distinct word occurs (the caller keeps its 32-bit pixels).
bool BuildPaletteIndices(const uint32_t* bits, uint8_t* indices, int width, int height, uint32_t* palette);

} // namespace Kavo
