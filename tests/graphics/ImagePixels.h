#pragma once

#include "graphics/MemoryImage.h"

#include <cstdint>
#include <vector>

namespace GraphicsTest
{

// The pixels of a software image, row by row from the top.
std::vector<uint32_t> Pixels(Kavo::MemoryImage& image);

} // namespace GraphicsTest
