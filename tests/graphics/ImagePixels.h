#pragma once

#include "graphics/MemoryImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace GraphicsTest
{

// The pixels of a software image, row by row from the top.
std::vector<uint32_t> Pixels(Kavo::MemoryImage& image);

// n pixels in runs of one kind: transparent, opaque, white and opaque, or any alpha; as a
// destination (dest true) mostly opaque, as the screen is.
std::vector<uint32_t> MakePixels(size_t n, uint32_t seed, bool dest);

} // namespace GraphicsTest
