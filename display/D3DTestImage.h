#pragma once

#include <cstdint>
#include <vector>

namespace Kavo
{

// A plain 32-bit image for the 3D test: 0xAARRGGBB pixels, filled by rectangles of one colour.
class D3DTestImage
{
public:
    virtual ~D3DTestImage() = default;

    void Create(int width, int height);
    // Fills the rectangle (cut to the image) with the colour.
    void FillRect(int x, int y, int width, int height, uint32_t color);
    uint32_t GetPixel(int x, int y) const;

    std::vector<uint32_t> mBits;
    int mWidth = 0;
    int mHeight = 0;
};

} // namespace Kavo
