// The surface road's blits: plain, mirrored and additive, from the source's premultiplied
// native pixels and run lengths, in the surface's own layout.
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "platform/display/DisplaySurface.h"

#include <algorithm>

namespace Kavo
{

using namespace SurfacePixels;

namespace
{

inline uint32_t Byte(int v)
{
    return uint32_t(std::clamp(v, 0, 255));
}

// The blit cut to the source image and to the surface: the source part, the destination's
// left column and top row. Mirrored, source column i lands on x + width - 1 - i.
bool ClipBlit(int surfaceWidth, int surfaceHeight, const MemoryImage* src, bool mirror, int& x, int& y,
              Rect& srcRect)
{
    Rect s = ClipRect(srcRect, src->width, src->height);
    if (s.mWidth <= 0 || s.mHeight <= 0) return false;
    // Where the source part's columns land before the surface cuts them.
    int64_t left = mirror ? int64_t(x) + (int64_t(srcRect.mX) + srcRect.mWidth - (s.mX + s.mWidth))
                          : int64_t(x) + (s.mX - srcRect.mX);
    int64_t top = int64_t(y) + (s.mY - srcRect.mY);
    int64_t right = left + s.mWidth, bottom = top + s.mHeight;
    int64_t cl = std::max<int64_t>(left, 0), ct = std::max<int64_t>(top, 0);
    int64_t cr = std::min<int64_t>(right, surfaceWidth), cb = std::min<int64_t>(bottom, surfaceHeight);
    if (cl >= cr || ct >= cb) return false;
    int cutLeft = int(cl - left), cutRight = int(right - cr), cutTop = int(ct - top);
    int w = int(cr - cl), h = int(cb - ct);
    s = Rect(s.mX + (mirror ? cutRight : cutLeft), s.mY + cutTop, w, h);
    x = int(cl);
    y = int(ct);
    srcRect = s;
    return true;
}

// The source's pixels as the blits read them: native words (premultiplied, display layout)
// through the palette's indices or straight.
struct NativeSource
{
    const uint32_t* native = nullptr;
    const uint8_t* indices = nullptr;
    int width = 0;

    uint32_t At(int x, int y) const
    {
        size_t i = size_t(y) * size_t(width) + size_t(x);
        return indices ? native[indices[i]] : native[i];
    }
};

NativeSource NativeOf(MemoryImage* src, const NativeDisplay* display)
{
    NativeSource s;
    s.native = src->GetNativeAlphaData(display);
    s.indices = src->IsPalettized() ? src->colorIndices.get() : nullptr;
    s.width = src->width;
    return s;
}

} // namespace

// ---------------------------------------------------------------- normal blits

MemoryImage* DDImage::BlitSource(Image* srcImage)
{
    if (!srcImage) return nullptr;
    srcImage->drawn = true;
    return mDDInterface ? dynamic_cast<MemoryImage*>(srcImage) : nullptr;
}

bool DDImage::NormalBlt(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* src = BlitSource(srcImage);
    if (!src) return false;
    src->CommitBits();
    DDImage* ddSrc = dynamic_cast<DDImage*>(src);
    const bool white = color.IsWhite();
    if (src->isVolatile && !(ddSrc && ddSrc->mSurface) && !mNeverLock && white)
        return VolatileBlt(src, x, y, srcRect);
    if (!src->hasAlpha && white && ddSrc && ddSrc->mSurface && (mInVideoMemory || !ddSrc->mInVideoMemory))
        return SurfaceCopy(ddSrc, Rect(x, y, srcRect.mWidth, srcRect.mHeight), srcRect);
    if (!src->hasAlpha && white) return PlainCopyBlt(src, x, y, srcRect);
    return BlendBlt(src, x, y, srcRect, color, false);
}

bool DDImage::NormalBltMirror(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* src = BlitSource(srcImage);
    if (!src) return false;
    src->CommitBits();
    return BlendBlt(src, x, y, srcRect, color, true);
}

DDImage::BlitLock DDImage::LockForBlit(MemoryImage* src, bool mirror, int& x, int& y, Rect& srcRect)
{
    if (!LockForDrawing(true)) return BlitLock::Failed;
    const int bpp = mLockDesc.format.bitCount;
    if ((bpp == 16 || bpp == 32) && ClipBlit(mLockDesc.width, mLockDesc.height, src, mirror, x, y, srcRect))
        return BlitLock::Locked;
    UnlockSurface();
    return BlitLock::Nothing;
}

bool DDImage::SurfaceCopy(DDImage* src, const Rect& destRect, const Rect& srcRect)
{
    platform::DisplaySurface* dest = GetSurface();
    if (!dest || !src->mSurface) return false;
    // Cut to both surfaces: a copy never reaches outside either.
    int x = destRect.mX, y = destRect.mY;
    Rect s = srcRect;
    if (!ClipBlit(dest->Width(), dest->Height(), src, false, x, y, s)) return true;
    platform::SurfaceRect from{s.mX, s.mY, s.mX + s.mWidth, s.mY + s.mHeight};
    platform::SurfaceRect to{x, y, x + s.mWidth, y + s.mHeight};
    const bool relockSource = src->mLockDepth > 0 && src != this;
    if (mLockDepth > 0) dest->Unlock();
    if (relockSource) src->mSurface->Unlock();
    dest->Blt(&to, src->mSurface.get(), &from,
              platform::kBltWait | (src->hasTrans ? platform::kBltKeySrc : 0));
    if (relockSource && src->mSurface->Lock(src->mLockDesc, platform::kLockWait) < 0) src->mLockDepth = 0;
    if (mLockDepth > 0 && dest->Lock(mLockDesc, platform::kLockWait) < 0) mLockDepth = 0;
    return true;
}

bool DDImage::PlainCopyBlt(MemoryImage* src, int x, int y, const Rect& srcRectIn)
{
    Rect s = srcRectIn;
    BlitLock lock = LockForBlit(src, false, x, y, s);
    if (lock != BlitLock::Locked) return lock == BlitLock::Nothing;
    const bool wide = mLockDesc.format.bitCount == 32;
    NativeSource n = NativeOf(src, mDDInterface);
    const bool skipClear = src->hasTrans;
    for (int j = 0; j < s.mHeight; ++j)
    {
        uint8_t* row = PixelAt(mLockDesc, x, y + j);
        for (int i = 0; i < s.mWidth; ++i)
        {
            uint32_t v = n.At(s.mX + i, s.mY + j);
            if (skipClear && (v >> 24) == 0) continue;
            Store(row + size_t(i) * (wide ? 4 : 2), wide, v);
        }
    }
    UnlockSurface();
    return true;
}

bool DDImage::BlendBlt(MemoryImage* src, int x, int y, const Rect& srcRectIn, const Color& color, bool mirror)
{
    Rect s = srcRectIn;
    BlitLock lock = LockForBlit(src, mirror, x, y, s);
    if (lock != BlitLock::Locked) return lock == BlitLock::Nothing;
    const platform::PixelFormat& f = mLockDesc.format;
    const bool wide = f.bitCount == 32;
    const int step = wide ? 4 : 2;
    const uint32_t spread = SpreadMaskOf(f);
    const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
    NativeSource n = NativeOf(src, mDDInterface);
    const uint8_t* rl = src->GetRLAlphaData();
    const bool white = color.IsWhite();
    const uint32_t ca = Byte(color.mAlpha);
    const uint32_t k[3] = {Byte(color.mRed) * ca / 255, Byte(color.mGreen) * ca / 255,
                           Byte(color.mBlue) * ca / 255};
    const bool grey = k[0] == k[1] && k[1] == k[2];
    const uint32_t fGrey = k[0];

    for (int j = 0; j < s.mHeight; ++j)
    {
        const int sy = s.mY + j;
        const uint8_t* runs = rl + size_t(sy) * size_t(src->width) + size_t(s.mX);
        uint8_t* row = PixelAt(mLockDesc, x, y + j);
        auto dest = [&](int i) { return row + size_t(mirror ? s.mWidth - 1 - i : i) * size_t(step); };
        int i = 0;
        while (i < s.mWidth)
        {
            int run = std::clamp<int>(runs[i], 1, s.mWidth - i);
            const uint32_t first = n.At(s.mX + i, sy);
            const uint32_t firstAlpha = first >> 24;
            if (firstAlpha == 0)
            {
                i += run;
                continue;
            }
            const bool opaqueRun = firstAlpha == 255;
            for (int e = i + run; i < e; ++i)
            {
                uint32_t sv = n.At(s.mX + i, sy);
                uint32_t sa = sv >> 24;
                uint8_t* p = dest(i);
                if (white)
                {
                    if (opaqueRun)
                    {
                        Store(p, wide, sv);
                        continue;
                    }
                    uint32_t d = Load(p, wide), inv = 256 - sa, out;
                    if (wide)
                        out = (((d & 0x0000FF00) * inv >> 8) & 0x0000FF00) +
                              (((d & 0x00FF00FF) * inv >> 8) & 0x00FF00FF) + sv;
                    else if (spread)
                        out = Fold((Spread(d, spread) * (inv >> 3) >> 5) & spread) + (sv & 0xFFFF);
                    else
                        out = (((d & masks[0]) * inv >> 8) & masks[0]) +
                              (((d & masks[1]) * inv >> 8) & masks[1]) +
                              (((d & masks[2]) * inv >> 8) & masks[2]) + sv;
                    Store(p, wide, out);
                    continue;
                }
                // A modulation colour.
                const bool scaleOnly = opaqueRun && ca == 255;
                const uint32_t w = 256 - sa * ca / 255;
                uint32_t out;
                if (grey && spread)
                {
                    uint32_t ss = Spread(sv & 0xFFFF, spread) * (fGrey >> 3);
                    out = scaleOnly ? Fold((ss >> 5) & spread)
                                    : Fold(((ss + Spread(Load(p, false), spread) * (w >> 3)) >> 5) & spread);
                }
                else if (grey && wide)
                {
                    if (scaleOnly)
                        out = (((sv & 0x00FF00FF) * fGrey >> 8) & 0x00FF00FF) +
                              (((sv & 0x0000FF00) * fGrey >> 8) & 0x0000FF00);
                    else
                    {
                        uint32_t d = Load(p, true);
                        out = ((((d & 0x00FF00FF) * w) + (sv & 0x00FF00FF) * fGrey) >> 8 & 0x00FF00FF) +
                              ((((d & 0x0000FF00) * w) + (sv & 0x0000FF00) * fGrey) >> 8 & 0x0000FF00);
                    }
                }
                else
                {
                    uint32_t d = scaleOnly ? 0 : Load(p, wide);
                    out = 0;
                    for (int c = 0; c < 3; ++c)
                    {
                        uint32_t M = masks[c];
                        out += scaleOnly ? ((sv & M) * k[c] >> 8) & M
                                         : (((d & M) * w + (sv & M) * k[c]) >> 8) & M;
                    }
                }
                Store(p, wide, out);
            }
        }
    }
    UnlockSurface();
    return true;
}

bool DDImage::VolatileBlt(MemoryImage* src, int x, int y, const Rect& srcRectIn)
{
    if (!LockForDrawing(false)) return false;
    const platform::PixelFormat& f = mLockDesc.format;
    Rect s = srcRectIn;
    const uint32_t* words = src->IsPalettized() ? nullptr : src->GetBits();
    if ((f.bitCount != 16 && f.bitCount != 32) || (!words && !src->IsPalettized()) ||
        !ClipBlit(mLockDesc.width, mLockDesc.height, src, false, x, y, s))
    {
        UnlockSurface();
        return true;
    }
    const bool wide = f.bitCount == 32;
    const bool standard = f.blueMask < f.greenMask && f.greenMask < f.redMask;
    const uint32_t spread = SpreadMaskOf(f);
    const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
    for (int j = 0; j < s.mHeight; ++j)
    {
        uint8_t* row = PixelAt(mLockDesc, x, y + j);
        for (int i = 0; i < s.mWidth; ++i)
        {
            size_t index = size_t(s.mY + j) * size_t(src->width) + size_t(s.mX + i);
            uint32_t argb = words ? words[index] : src->colorTable[src->colorIndices[index]];
            uint32_t a = argb >> 24;
            uint8_t* p = row + size_t(i) * (wide ? 4 : 2);
            uint32_t d = Load(p, wide), out;
            const uint32_t channel[3] = {(argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF};
            if (!wide && standard && spread)
            {
                uint32_t packed =
                    spread == kSpread565
                        ? ((argb & 0xFC00) << 11) + ((argb >> 3) & 0x1F) + ((argb >> 8) & 0xF800)
                        : ((argb >> 3) & 0x1F) + ((argb >> 9) & 0x7C00) + ((argb & 0xF800) << 10);
                uint32_t sd = Spread(d, spread);
                out = Fold(((((packed - sd) * (argb >> 27)) >> 5) + sd) & spread);
            }
            else if (!wide)
            {
                out = 0;
                for (int c = 0; c < 3; ++c)
                {
                    uint32_t M = masks[c];
                    out += (((d & M) * (256 - a) + ((channel[c] * a * M) >> 8) + (M >> 1)) >> 8) & M;
                }
            }
            else if (standard)
            {
                out =
                    (((((argb & 0x00FF00FF) - (d & 0x00FF00FF)) * a >> 8) + (d & 0x00FF00FF)) & 0x00FF00FF) |
                    (((((argb & 0x0000FF00) - (d & 0x0000FF00)) * a >> 8) + (d & 0x0000FF00)) & 0x0000FF00);
            }
            else
            {
                out = 0;
                for (int c = 0; c < 3; ++c)
                {
                    uint32_t M = masks[c];
                    out += (((d & M) * (256 - a) + ((channel[c] * a) >> 8) * M + (M >> 1)) >> 8) & M;
                }
            }
            Store(p, wide, out);
        }
    }
    UnlockSurface();
    return true;
}

// ---------------------------------------------------------------- additive blits

bool DDImage::AdditiveBlt(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* src = BlitSource(srcImage);
    if (!src) return false;
    return AddBlt(src, x, y, srcRect, color, false);
}

bool DDImage::AdditiveBltMirror(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* src = BlitSource(srcImage);
    if (!src) return false;
    return AddBlt(src, x, y, srcRect, color, true);
}

bool DDImage::AddBlt(MemoryImage* src, int x, int y, const Rect& srcRectIn, const Color& color, bool mirror)
{
    Rect s = srcRectIn;
    BlitLock lock = LockForBlit(src, mirror, x, y, s);
    if (lock != BlitLock::Locked) return lock == BlitLock::Nothing;
    const platform::PixelFormat& f = mLockDesc.format;
    src->CommitBits();
    NativeSource n = NativeOf(src, mDDInterface);
    const uint8_t* rl = src->GetRLAdditiveData(mDDInterface);
    const DDInterface& d = *mDDInterface;
    struct Channel
    {
        AddChannel add;
        uint32_t k; // the colour's weight of the channel
    };
    const bool white = color.IsWhite();
    const uint32_t ca = Byte(color.mAlpha);
    const AddChannels added = d.AddChannelsOf(f);
    const Channel channels[3] = {{added.red, Byte(color.mRed) * ca / 255},
                                 {added.green, Byte(color.mGreen) * ca / 255},
                                 {added.blue, Byte(color.mBlue) * ca / 255}};
    const bool wide = f.bitCount == 32;
    const int step = wide ? 4 : 2;
    for (int j = 0; j < s.mHeight; ++j)
    {
        const int sy = s.mY + j;
        const uint8_t* runs = rl + size_t(sy) * size_t(src->width) + size_t(s.mX);
        uint8_t* row = PixelAt(mLockDesc, x, y + j);
        int i = 0;
        while (i < s.mWidth)
        {
            int run = std::clamp<int>(runs[i], 1, s.mWidth - i);
            if ((n.At(s.mX + i, sy) & 0xFFFFFF) == 0)
            {
                i += run;
                continue;
            }
            for (int e = i + run; i < e; ++i)
            {
                uint32_t sv = n.At(s.mX + i, sy);
                uint8_t* p = row + size_t(mirror ? s.mWidth - 1 - i : i) * size_t(step);
                uint32_t dv = Load(p, wide), out = 0;
                for (const Channel& c : channels)
                {
                    const platform::PixelChannel& field = c.add.field;
                    size_t index = white ? size_t(((dv & field.mask) + (sv & field.mask)) >> field.shift)
                                         : size_t((field.Field(sv) * c.k >> 8) + field.Field(dv));
                    out |= c.add.Saturated(index);
                }
                Store(p, wide, out);
            }
        }
    }
    UnlockSurface();
    return true;
}

} // namespace Kavo
