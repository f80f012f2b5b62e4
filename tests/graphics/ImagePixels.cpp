#include "tests/graphics/ImagePixels.h"

namespace GraphicsTest
{

std::vector<uint32_t> Pixels(Kavo::MemoryImage& image)
{
    uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + image.width * image.height);
}

} // namespace GraphicsTest
