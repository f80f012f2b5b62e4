// The surface road's stretched blits: by the display's blitter for a surface source, by
// nearest pixels in 16.16 fixed point, or filtered through a temporary software image.
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "graphics/BlitGeometry.h"
#include "platform/display/DisplaySurface.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

using namespace SurfacePixels;

void DDImage::StretchBlt(Image* srcImage, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                         const Color& color, int drawMode, bool fastStretch)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    DDImage* ddSrc = dynamic_cast<DDImage*>(srcImage);
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    CommitBits();
    if (DrawsThrough3D())
    {
        if (src)
            mDDInterface->mD3DInterface->StretchBlt(src, destRect, srcRect, clip, color, drawMode,
                                                    fastStretch, false);
        return;
    }
    if (!src) return;
    Rect dest;
    RectD part;
    if (!CalcStretchBltRects(destRect, ClipRect(clip, width, height), srcRect, dest, part)) return;
    if (dest.mWidth <= 0 || dest.mHeight <= 0) return;

    if (!fastStretch)
    {
        if (!IsPlain() || !mDDInterface)
        {
            MemoryImage::StretchBlt(src, destRect, srcRect, clip, color, drawMode, false);
            return;
        }
        SmoothStretch(src, dest, part, color, drawMode);
        return;
    }

    // Routed like the plain blits: the surface only when it holds the true picture.
    if (!IsPlain() || !mDDInterface)
    {
        MemoryImage::StretchBlt(src, destRect, srcRect, clip, color, drawMode, true);
        return;
    }
    // By the display's blitter: a surface source without alpha, unmodulated, normal, drawn whole
    // (cut by a clip, it would pick other source pixels than the whole stretch); it needs a
    // surface to draw on.
    if (ddSrc && color.IsWhite() && drawMode == 0 && !ddSrc->hasAlpha && ddSrc->GetSurface() &&
        GetSurface() && dest == destRect)
    {
        platform::SurfaceRect to{dest.mX, dest.mY, dest.mX + dest.mWidth, dest.mY + dest.mHeight};
        platform::SurfaceRect from{int(part.x), int(part.y), int(part.x + part.width),
                                   int(part.y + part.height)};
        from.right = std::min(from.right, ddSrc->mSurface->Width());
        from.bottom = std::min(from.bottom, ddSrc->mSurface->Height());
        if (mLockDepth > 0) mSurface->Unlock();
        mSurface->Blt(&to, ddSrc->mSurface.get(), &from,
                      platform::kBltWait | (ddSrc->hasTrans ? platform::kBltKeySrc : 0));
        if (mLockDepth > 0 && mSurface->Lock(mLockDesc, platform::kLockWait) < 0)
        {
            mLockDepth = 0;
            return;
        }
        DiscardMemoryCopies();
        return;
    }
    if (StretchLoops(src, dest, destRect, srcRect, color, drawMode, false))
        DiscardMemoryCopies();
    else if (CanDrawInMemory())
        MemoryImage::StretchBlt(src, destRect, srcRect, clip, color, drawMode, true);
}

void DDImage::SmoothStretch(MemoryImage* src, const Rect& dest, const RectD& part, const Color& color,
                            int drawMode)
{
    const double parts[4] = {part.x, part.y, part.width, part.height};
    const Rect whole(0, 0, dest.mWidth, dest.mHeight);
    MemoryImage temp(app);
    temp.Create(dest.mWidth, dest.mHeight);
    if (color.IsWhite() && drawMode == DRAWMODE_NORMAL)
    {
        // The filtered stretch is drawn over the surface's own pixels, read out and written
        // back: the pixels the software image's stretch makes.
        if (mNeverLock) return; // only surface-to-surface blits reach such an image
        if (!LockSurface())
        {
            if (CanDrawInMemory()) SlowStretchBlt(src, dest, parts);
            return;
        }
        const platform::PixelFormat& f = mLockDesc.format;
        if (f.bitCount == 16 || f.bitCount == 32)
        {
            const bool wide = f.bitCount == 32;
            const SurfacePixels::RgbReader rgb(f);
            uint32_t* words = temp.GetBits();
            for (int y = 0; y < dest.mHeight; ++y)
                for (int x = 0; x < dest.mWidth; ++x)
                    words[size_t(y) * size_t(dest.mWidth) + size_t(x)] =
                        0xFF000000u | rgb(Load(PixelAt(mLockDesc, dest.mX + x, dest.mY + y), wide));
            temp.BitsChanged();
            temp.CommitBits();
            temp.SlowStretchBlt(src, whole, parts);
            words = temp.GetBits();
            for (int y = 0; y < dest.mHeight; ++y)
                for (int x = 0; x < dest.mWidth; ++x)
                    Store(PixelAt(mLockDesc, dest.mX + x, dest.mY + y), wide,
                          ArgbToSurface(words[size_t(y) * size_t(dest.mWidth) + size_t(x)]));
        }
        UnlockSurface();
        DiscardMemoryCopies();
        return;
    }
    // A colour or another draw mode: the filtered stretch on its own, blitted with them. The
    // stretch leaves its colours multiplied by its alpha; they are taken back to straight
    // colours, so that the blit weighs them by the alpha once.
    temp.SlowStretchBlt(src, whole, parts);
    uint32_t* words = temp.GetBits();
    for (size_t i = 0, n = size_t(dest.mWidth) * size_t(dest.mHeight); i < n; ++i)
    {
        const uint32_t p = words[i], a = p >> 24;
        if (a == 0 || a == 255) continue;
        auto straight = [&](int shift)
        { return std::min<uint32_t>(255, (((p >> shift) & 0xFF) * 256 + a / 2) / a) << shift; };
        words[i] = (p & 0xFF000000u) | straight(16) | straight(8) | straight(0);
    }
    temp.BitsChanged();
    Blt(&temp, dest.mX, dest.mY, whole, color, drawMode);
}

void DDImage::StretchBltMirror(Image* srcImage, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                               const Color& color, int drawMode, bool fastStretch)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    CommitBits();
    if (DrawsThrough3D())
    {
        if (src)
            mDDInterface->mD3DInterface->StretchBlt(src, destRect, srcRect, clip, color, drawMode,
                                                    fastStretch, true);
        return;
    }
    if (!src) return;
    // Routed like the plain blits: the surface only when it holds the true picture.
    if (!IsPlain() || !mDDInterface)
    {
        MemoryImage::StretchBltMirror(src, destRect, srcRect, clip, color, drawMode, fastStretch);
        return;
    }
    Rect dest;
    RectD part;
    if (!CalcStretchBltMirrorRects(destRect, ClipRect(clip, width, height), srcRect, dest, part)) return;
    if (dest.mWidth <= 0 || dest.mHeight <= 0) return;
    if (StretchLoops(src, dest, destRect, srcRect, color, drawMode, true))
        DiscardMemoryCopies();
    else if (CanDrawInMemory())
        MemoryImage::StretchBltMirror(src, destRect, srcRect, clip, color, drawMode, fastStretch);
}

bool DDImage::StretchLoops(MemoryImage* src, const Rect& dest, const Rect& wholeDest, const Rect& srcRect,
                           const Color& color, int drawMode, bool mirror)
{
    src->CommitBits();
    if (src->width <= 0 || src->height <= 0) return true;
    if (!GetSurface() || !LockSurface()) return false;
    const platform::PixelFormat& f = mLockDesc.format;
    Rect d = ClipRect(dest, mLockDesc.width, mLockDesc.height);
    if ((f.bitCount != 16 && f.bitCount != 32) || d != dest || !mDDInterface)
    {
        UnlockSurface();
        return d == dest;
    }
    const bool wide = f.bitCount == 32;
    const uint32_t* native = src->GetNativeAlphaData(mDDInterface);
    const uint8_t* indices = src->IsPalettized() ? src->colorIndices.get() : nullptr;
    // Stepped from the whole stretch's first pixel (its last, mirrored): a pixel picks the same
    // source pixel however a clip cuts the stretch.
    const int64_t du = int64_t(double(srcRect.mWidth) * 65536.0 / wholeDest.mWidth);
    const int64_t dv = int64_t(double(srcRect.mHeight) * 65536.0 / wholeDest.mHeight);
    const int64_t firstColumn =
        mirror ? int64_t(wholeDest.mX) + wholeDest.mWidth - (int64_t(dest.mX) + dest.mWidth)
               : int64_t(dest.mX) - wholeDest.mX;
    const int64_t uStart = int64_t(double(srcRect.mX) * 65536.0) + firstColumn * du;
    const int64_t vStart = int64_t(double(srcRect.mY) * 65536.0) + (int64_t(dest.mY) - wholeDest.mY) * dv;
    const bool white = color.IsWhite();
    const uint32_t ca = uint32_t(std::clamp(color.mAlpha, 0, 255));
    const uint32_t k[3] = {uint32_t(std::clamp(color.mRed, 0, 255)) * ca / 255,
                           uint32_t(std::clamp(color.mGreen, 0, 255)) * ca / 255,
                           uint32_t(std::clamp(color.mBlue, 0, 255)) * ca / 255};
    const SurfacePixels::AddChannels added = mDDInterface->AddChannelsOf(f);
    const SurfacePixels::AddChannel channels[3] = {added.red, added.green, added.blue};
    const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
    const int step = wide ? 4 : 2;
    for (int row = 0; row < dest.mHeight; ++row)
    {
        int64_t v = vStart + row * dv;
        int srcRow = int(std::clamp<int64_t>(v >> 16, 0, src->height - 1));
        size_t rowBase = size_t(srcRow) * size_t(src->width);
        uint8_t* p = PixelAt(mLockDesc, mirror ? dest.mX + dest.mWidth - 1 : dest.mX, dest.mY + row);
        int64_t u = uStart;
        for (int col = 0; col < dest.mWidth; ++col, u += du, p += mirror ? -step : step)
        {
            int srcCol = int(std::clamp<int64_t>(u >> 16, 0, src->width - 1));
            size_t i = rowBase + size_t(srcCol);
            uint32_t s = indices ? native[indices[i]] : native[i];
            uint32_t out;
            if (drawMode == 0)
            {
                uint32_t alpha = s >> 24;
                if (white)
                {
                    if (alpha == 0) continue;
                    uint32_t dvv = Load(p, wide), inv = 256 - alpha;
                    out = s;
                    for (int c = 0; c < 3; ++c)
                        out += (((dvv & masks[c]) * inv) >> 8) & masks[c];
                }
                else
                {
                    uint32_t a2 = alpha * ca / 255;
                    if (a2 == 0) continue;
                    uint32_t dvv = Load(p, wide), inv = 256 - a2;
                    out = 0;
                    for (int c = 0; c < 3; ++c)
                        out |= (((s & masks[c]) * k[c] + (dvv & masks[c]) * inv) >> 8) & masks[c];
                }
            }
            else
            {
                if (s == 0) continue;
                uint32_t dvv = Load(p, wide);
                out = 0;
                for (int c = 0; c < 3; ++c)
                {
                    const platform::PixelChannel& field = channels[c].field;
                    size_t index = white ? size_t(((dvv & field.mask) + (s & field.mask)) >> field.shift)
                                         : size_t(((field.Field(s) * k[c]) >> 8) + field.Field(dvv));
                    out |= channels[c].Saturated(index);
                }
            }
            Store(p, wide, out);
        }
    }
    UnlockSurface();
    return true;
}

} // namespace Kavo
