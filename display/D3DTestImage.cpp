#include "display/D3DTestImage.h"

#include <algorithm>

namespace Kavo
{

void D3DTestImage::Create(int width, int height)
{
    mWidth = std::max(width, 0);
    mHeight = std::max(height, 0);
    mBits.assign(size_t(mWidth) * size_t(mHeight), 0);
}

void D3DTestImage::FillRect(int x, int y, int width, int height, uint32_t color)
{
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min<int64_t>(int64_t(x) + width, mWidth),
        y1 = std::min<int64_t>(int64_t(y) + height, mHeight);
    for (int row = y0; row < y1; ++row)
        std::fill(mBits.begin() + row * mWidth + x0, mBits.begin() + row * mWidth + std::max(x0, x1), color);
}

uint32_t D3DTestImage::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return 0;
    return mBits[size_t(y) * size_t(mWidth) + size_t(x)];
}

} // namespace Kavo
