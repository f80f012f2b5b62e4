#include "RasterTestSupport.h"

#include <cstring>

namespace Kavo::Testing
{

Surface::Surface(int format, int width, int height, int pitchBytes)
    : mFormat(format), mWidth(width), mHeight(height),
      mPixelBytes(format == kRasterFormat565 || format == kRasterFormat555 ? 2 : 4)
{
    mPitch = pitchBytes ? pitchBytes : width * mPixelBytes;
    mWords.assign((size_t(mPitch) * size_t(height) + 3) / 4, 0);
}

uint32_t LoadPixel(const uint8_t* p, int bytes)
{
    if (bytes == 2)
    {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void StorePixel(uint8_t* p, int bytes, uint32_t value)
{
    if (bytes == 2)
    {
        const uint16_t v = uint16_t(value);
        std::memcpy(p, &v, 2);
    }
    else
    {
        std::memcpy(p, &value, 4);
    }
}

uint32_t Surface::Get(int x, int y) const
{
    return LoadPixel(reinterpret_cast<const uint8_t*>(mWords.data()) + size_t(y) * size_t(mPitch) +
                         size_t(x) * size_t(mPixelBytes),
                     mPixelBytes);
}

void Surface::Set(int x, int y, uint32_t value)
{
    StorePixel(reinterpret_cast<uint8_t*>(mWords.data()) + size_t(y) * size_t(mPitch) +
                   size_t(x) * size_t(mPixelBytes),
               mPixelBytes, value);
}

void Surface::Fill(uint32_t value)
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            Set(x, y, value);
}

RasterTexture Texture::Record() const
{
    RasterTexture t{};
    t.bits = texels.data();
    t.width = width;
    t.height = height;
    t.size = uint32_t(texels.size());
    return t;
}

int GroupFormat(int group)
{
    static const int kFormats[4] = {kRasterFormat8888, kRasterFormat888, kRasterFormat565, kRasterFormat555};
    return kFormats[group];
}

void SinglePixelTriangle(RasterVertex out[3], int32_t u, int32_t v, uint32_t argb)
{
    const int32_t a = int32_t((argb >> 24) & 0xFF) << 16;
    const int32_t r = int32_t((argb >> 16) & 0xFF) << 16;
    const int32_t g = int32_t((argb >> 8) & 0xFF) << 16;
    const int32_t b = int32_t(argb & 0xFF) << 16;
    out[0] = {0, 0, a, r, g, b, u, v};
    out[1] = {0x10000, 0, a, r, g, b, u, v};
    out[2] = {0, 0x10000, a, r, g, b, u, v};
}

} // namespace Kavo::Testing
