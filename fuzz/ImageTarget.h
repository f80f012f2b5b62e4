#pragma once

// The image file targets: the input written as a file of the format's extension and read by the
// format's reader; an image that comes back must hold all its pixels.
#include "fuzz/FuzzTarget.h"
#include "graphics/ImageLib.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz
{

inline int ReadImage(const uint8_t* data, size_t size, const char* extension,
                     std::unique_ptr<ImageLib::Image> (*reader)(const std::string&))
{
    const std::string path = WriteInput(std::string("input") + extension, data, size);
    std::unique_ptr<ImageLib::Image> image = reader(path);
    if (!image) return 0;
    if (!ImageLib::Image::SizeAllowed(image->width, image->height) || image->width < 1 || image->height < 1 ||
        !image->bits)
    {
        std::fprintf(stderr, "an image of %d x %d came back\n", image->width, image->height);
        std::abort();
    }
    // Touches the first and the last pixel: the sanitizers see a short allocation.
    volatile uint32_t first = image->bits[0];
    volatile uint32_t last = image->bits[size_t(image->width) * size_t(image->height) - 1];
    (void)first;
    (void)last;
    return 0;
}

} // namespace fuzz
