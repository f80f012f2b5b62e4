#include "tests/graphics/ImagePixels.h"

#include <random>

namespace GraphicsTest
{

std::vector<uint32_t> Pixels(Kavo::MemoryImage& image)
{
    uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + image.width * image.height);
}

std::vector<uint32_t> MakePixels(size_t n, uint32_t seed, bool dest)
{
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(n);
    int kind = 0;
    for (uint32_t& p : pixels)
    {
        if (random() % 6 == 0) kind = int(random() % 4);
        uint32_t colour = random() & 0xFFFFFF;
        if (dest)
            p = (kind == 3 ? random() % 256 : 255) << 24 | colour;
        else if (kind == 0)
            p = colour;
        else if (kind == 1)
            p = 0xFF000000 | colour;
        else if (kind == 2)
            p = 0xFFFFFFFF;
        else
            p = (random() % 256) << 24 | colour;
    }
    return pixels;
}

} // namespace GraphicsTest
