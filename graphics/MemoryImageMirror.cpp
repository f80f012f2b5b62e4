// Mirrored blits of the software image: the source part flipped left to right into a scratch
// image, then drawn as the plain blits draw.
#include "graphics/MemoryImage.h"

#include <algorithm>

namespace Kavo
{

namespace
{

// The part of the source inside the image, flipped; null when nothing is inside.
std::unique_ptr<MemoryImage> FlippedPart(MemoryImage* src, ImageRegistry* registry, const Rect& part)
{
    if (part.mWidth <= 0 || part.mHeight <= 0) return nullptr;
    auto flipped = std::make_unique<MemoryImage>(registry);
    flipped->Create(part.mWidth, part.mHeight);
    uint32_t* out = flipped->GetBits();
    if (!out) return nullptr;
    for (int y = 0; y < part.mHeight; ++y)
        for (int x = 0; x < part.mWidth; ++x)
            out[size_t(y) * size_t(part.mWidth) + size_t(part.mWidth - 1 - x)] =
                src->GetPixel(part.mX + x, part.mY + y);
    flipped->BitsChanged();
    flipped->CommitBits();
    return flipped;
}

Rect InsideOf(const Rect& r, const MemoryImage* image)
{
    int64_t x0 = std::max<int64_t>(r.mX, 0), y0 = std::max<int64_t>(r.mY, 0);
    int64_t x1 = std::min<int64_t>(int64_t(r.mX) + r.mWidth, image->width);
    int64_t y1 = std::min<int64_t>(int64_t(r.mY) + r.mHeight, image->height);
    if (x1 <= x0 || y1 <= y0) return Rect();
    return Rect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

} // namespace

void MemoryImage::BltMirror(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color,
                            int drawMode)
{
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src) return;
    src->drawn = true;
    Rect part = InsideOf(srcRect, src);
    std::unique_ptr<MemoryImage> flipped = FlippedPart(src, app, part);
    if (!flipped) return;
    // Columns cut off on the source's right would have landed on the destination's left.
    int64_t left = int64_t(x) + (int64_t(srcRect.mX) + srcRect.mWidth - (int64_t(part.mX) + part.mWidth));
    int64_t top = int64_t(y) + (part.mY - srcRect.mY);
    if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) return;
    Blt(flipped.get(), int(left), int(top), Rect(0, 0, part.mWidth, part.mHeight), color, drawMode);
}

void MemoryImage::StretchBltMirror(Image* srcImage, const Rect& destRect, const Rect& srcRect,
                                   const Rect& clip, const Color& color, int drawMode, bool fastStretch)
{
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src) return;
    src->drawn = true;
    if (InsideOf(srcRect, src) != srcRect) return; // the source rectangle must lie inside the source
    std::unique_ptr<MemoryImage> flipped = FlippedPart(src, app, srcRect);
    if (!flipped) return;
    StretchBlt(flipped.get(), destRect, Rect(0, 0, srcRect.mWidth, srcRect.mHeight), clip, color, drawMode,
               fastStretch);
}

} // namespace Kavo
