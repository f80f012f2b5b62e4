// The surface road's matrix and triangle blits (through the triangle rasteriser straight into
// the locked surface), coverage fills, and palettising.
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "platform/display/DisplaySurface.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace Kavo
{

using namespace SurfacePixels;

namespace
{

uint32_t SwapRedBlue(uint32_t argb)
{
    return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFF) | ((argb & 0xFF) << 16);
}

// A copy of the source with red and blue exchanged: drawn with the rasteriser's 32-bit format
// into a surface whose red and blue are exchanged, every channel lands where it belongs.
struct SwappedSource
{
    std::unique_ptr<MemoryImage> image;

    SwappedSource(MemoryImage* src, ImageRegistry* registry)
    {
        src->CommitBits();
        const uint32_t* words = src->GetBits();
        if (!words) return;
        std::vector<uint32_t> swapped(size_t(src->width) * size_t(src->height));
        for (size_t i = 0; i < swapped.size(); ++i)
            swapped[i] = SwapRedBlue(words[i]);
        image = std::make_unique<MemoryImage>(registry);
        image->SetBits(swapped.data(), src->width, src->height, true);
    }
    static Color Swap(const Color& c) { return Color(c.mBlue, c.mGreen, c.mRed, c.mAlpha); }
};

} // namespace

int DDImage::RasterFormat() const
{
    const platform::PixelFormat& f = mLockDesc.format;
    if (f.bitCount == 32 && f.greenMask == 0xFF00 &&
        ((f.redMask == 0xFF0000 && f.blueMask == 0xFF) || (f.redMask == 0xFF && f.blueMask == 0xFF0000)))
        return 0x888;
    if (f.bitCount == 16 && f.redMask == 0xF800 && f.greenMask == 0x7E0 && f.blueMask == 0x1F) return 0x565;
    if (f.bitCount == 16 && f.redMask == 0x7C00 && f.greenMask == 0x3E0 && f.blueMask == 0x1F) return 0x555;
    return 0;
}

bool DDImage::IsBgrSurface() const
{
    return mLockDesc.format.bitCount == 32 && mLockDesc.format.redMask == 0xFF;
}

bool DDImage::LockForRasteriser(const std::function<void()>& drawInMemory)
{
    if (!mDDInterface || !GetSurface() || !LockSurface())
    {
        if (CanDrawInMemory()) drawInMemory();
        return false;
    }
    if (RasterFormat() != 0) return true;
    // No filler writes this layout: the memory copy takes the draw, and goes to the surface.
    UnlockSurface();
    GetBits();
    drawInMemory();
    return false;
}

void DDImage::BltMatrix(Image* srcImage, float x, float y, const Matrix3& matrix, const Rect& clip,
                        const Color& color, int drawMode, const Rect& srcRect, bool blend)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (DrawsThrough3D())
    {
        if (src)
            mDDInterface->mD3DInterface->BltTransformed(src, &clip, color, drawMode, srcRect, matrix, blend,
                                                        x, y, true);
        return;
    }
    if (!src) return;
    if (!LockForRasteriser(
            [&] { MemoryImage::BltMatrix(src, x, y, matrix, clip, color, drawMode, srcRect, blend); }))
        return;
    const Rect surfaceClip = ClipRect(clip, mLockDesc.width, mLockDesc.height);
    uint32_t* destBits = reinterpret_cast<uint32_t*>(mLockDesc.bits);
    if (IsBgrSurface())
    {
        SwappedSource swapped(src, app);
        if (swapped.image)
            BltMatrixHelper(swapped.image.get(), x, y, matrix, surfaceClip, swapped.Swap(color), srcRect,
                            destBits, mLockDesc.pitch, RasterFormat(), blend);
    }
    else
    {
        BltMatrixHelper(src, x, y, matrix, surfaceClip, color, srcRect, destBits, mLockDesc.pitch,
                        RasterFormat(), blend);
    }
    UnlockSurface();
    DiscardMemoryCopies();
}

void DDImage::BltTrianglesTex(Image* srcImage, const TriVertex* triangles, int triangleCount,
                              const Rect& clip, const Color& color, int drawMode, float tx, float ty,
                              bool blend)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (DrawsThrough3D())
    {
        if (src)
            mDDInterface->mD3DInterface->DrawTrianglesTex(triangles, triangleCount, color, drawMode, src, tx,
                                                          ty, blend);
        return;
    }
    if (!src || !triangles || triangleCount <= 0) return;
    if (!LockForRasteriser(
            [&] {
                MemoryImage::BltTrianglesTex(src, triangles, triangleCount, clip, color, drawMode, tx, ty,
                                             blend);
            }))
        return;
    const Rect surfaceClip = ClipRect(clip, mLockDesc.width, mLockDesc.height);
    uint32_t* destBits = reinterpret_cast<uint32_t*>(mLockDesc.bits);
    if (IsBgrSurface())
    {
        SwappedSource swapped(src, app);
        std::vector<TriVertex> vertices(triangles, triangles + size_t(triangleCount) * 3);
        for (TriVertex& v : vertices)
            if (v.color) v.color = SwapRedBlue(v.color);
        if (swapped.image)
            BltTrianglesTexHelper(swapped.image.get(), vertices.data(), triangleCount, surfaceClip,
                                  swapped.Swap(color), destBits, mLockDesc.pitch, RasterFormat(), tx, ty,
                                  blend);
    }
    else
    {
        BltTrianglesTexHelper(src, triangles, triangleCount, surfaceClip, color, destBits, mLockDesc.pitch,
                              RasterFormat(), tx, ty, blend);
    }
    UnlockSurface();
    DiscardMemoryCopies();
}

void DDImage::FillScanLinesWithCoverage(Span* spans, int count, const Color& color, int drawMode,
                                        const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                        int coverHeight)
{
    if (!spans || count <= 0 || !coverage) return;
    if (DrawsThrough3D())
    {
        // The spans' bounds become a temporary image drawn as one blit, and the caller's spans
        // are left moved by the bounds' top-left corner, as they were drawn into it.
        int64_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
        for (int i = 0; i < count; ++i)
        {
            minX = std::min<int64_t>(minX, spans[i].mX);
            minY = std::min<int64_t>(minY, spans[i].mY);
            maxX = std::max<int64_t>(maxX, int64_t(spans[i].mX) + spans[i].mWidth - 1);
            maxY = std::max<int64_t>(maxY, spans[i].mY);
        }
        // Only what can reach the surface is made: the temporary image starts at the part of
        // the bounds inside the surface, and its spans are the caller's moved to that corner.
        const int64_t left = std::max<int64_t>(minX, 0), top = std::max<int64_t>(minY, 0);
        const int64_t right = std::min<int64_t>(maxX, int64_t(width) - 1);
        const int64_t bottom = std::min<int64_t>(maxY, int64_t(height) - 1);
        std::vector<Span> inTemp(spans, spans + count);
        auto moved = [](int v, int64_t by)
        { return int(std::clamp<int64_t>(int64_t(v) - by, INT32_MIN, INT32_MAX)); };
        for (int i = 0; i < count; ++i)
        {
            inTemp[size_t(i)].mX = moved(spans[i].mX, left);
            inTemp[size_t(i)].mY = moved(spans[i].mY, top);
            spans[i].mX = moved(spans[i].mX, minX);
            spans[i].mY = moved(spans[i].mY, minY);
        }
        if (right < left || bottom < top) return;
        MemoryImage temp(app);
        temp.Create(int(right - left + 1), int(bottom - top + 1));
        temp.FillScanLinesWithCoverage(inTemp.data(), count, color, drawMode, coverage, int(coverX - left),
                                       int(coverY - top), coverWidth, coverHeight);
        Blt(&temp, int(left), int(top), Rect(0, 0, temp.width, temp.height), Color::White, drawMode);
        mDDInterface->RemoveImageTextures(&temp);
        return;
    }
    if (!mDDInterface || !GetSurface() || !LockSurface())
    {
        if (CanDrawInMemory())
            MemoryImage::FillScanLinesWithCoverage(spans, count, color, drawMode, coverage, coverX, coverY,
                                                   coverWidth, coverHeight);
        return;
    }
    const platform::PixelFormat& f = mLockDesc.format;
    if (f.bitCount != 16 && f.bitCount != 32)
    {
        UnlockSurface();
        return;
    }
    const bool wide = f.bitCount == 32;
    const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
    const uint32_t channels[3] = {uint32_t(std::clamp(color.mRed, 0, 255)),
                                  uint32_t(std::clamp(color.mGreen, 0, 255)),
                                  uint32_t(std::clamp(color.mBlue, 0, 255))};
    const uint32_t ca = uint32_t(std::clamp(color.mAlpha, 0, 255));
    uint32_t P = 0;
    for (int c = 0; c < 3; ++c)
        P |= ((channels[c] * masks[c]) >> 8) & masks[c];
    if (!wide) P &= 0xFFFF;
    for (int i = 0; i < count; ++i)
    {
        const Span& span = spans[i];
        // Only pixels inside the surface and inside the coverage rectangle are touched.
        int64_t y = span.mY, cy = y - int64_t(coverY);
        if (y < 0 || y >= mLockDesc.height || cy < 0 || cy >= coverHeight) continue;
        int64_t x0 = std::max<int64_t>({span.mX, 0, coverX});
        int64_t x1 = std::min<int64_t>(
            {int64_t(span.mX) + span.mWidth, int64_t(mLockDesc.width), int64_t(coverX) + coverWidth});
        const uint8_t* cover = coverage + size_t(cy) * size_t(coverWidth);
        for (int64_t x = x0; x < x1; ++x)
        {
            uint32_t a = ((uint32_t(cover[x - coverX]) + 1) * ca) >> 8, inv = 256 - a;
            uint8_t* p = PixelAt(mLockDesc, int(x), int(y));
            uint32_t d = Load(p, wide), out = 0;
            for (int c = 0; c < 3; ++c)
                out |= (((d & masks[c]) * inv + (P & masks[c]) * a) >> 8) & masks[c];
            Store(p, wide, out);
        }
    }
    UnlockSurface();
    DiscardMemoryCopies();
}

bool DDImage::Palletize()
{
    if (!MemoryImage::Palletize()) return false;
    DeleteDDSurface();
    return true;
}

} // namespace Kavo
