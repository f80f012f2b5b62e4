#pragma once

// Small destinations and textures for the rasteriser tests.

#include "raster/RasterRecords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Kavo::Testing
{

// One pixel of 2 or 4 bytes at p, read or written whole.
uint32_t LoadPixel(const uint8_t* p, int bytes);
void StorePixel(uint8_t* p, int bytes, uint32_t value);

// Pixels of one format: 32-bit for 0x8888 and 0x888, 16-bit for 0x565 and 0x555, with a pitch
// of the caller's choosing (bytes). Rows past the last pixel of a row are padding.
class Surface
{
public:
    Surface(int format, int width, int height, int pitchBytes = 0);

    int Format() const { return mFormat; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Pitch() const { return mPitch; }
    int PixelBytes() const { return mPixelBytes; }
    uint32_t* Bits() { return mWords.data(); }
    const std::vector<uint32_t>& Words() const { return mWords; }
    std::vector<uint32_t>& Words() { return mWords; }

    uint32_t Get(int x, int y) const;
    void Set(int x, int y, uint32_t value);
    void Fill(uint32_t value);

private:
    int mFormat;
    int mWidth;
    int mHeight;
    int mPitch;
    int mPixelBytes;
    std::vector<uint32_t> mWords;
};

// A texture of width x height texels, all of one value unless changed.
struct Texture
{
    int width;
    int height;
    std::vector<uint32_t> texels;

    Texture(int w, int h, uint32_t fill) : width(w), height(h), texels(size_t(w) * size_t(h), fill) {}
    RasterTexture Record() const;
};

// The format code of a table group (0..3).
int GroupFormat(int group);

// A triangle that covers pixel (0, 0) alone, each corner with the given u, v and colour.
void SinglePixelTriangle(RasterVertex out[3], int32_t u, int32_t v, uint32_t argb);

} // namespace Kavo::Testing
