// The surface road's rotated blit: inverse mapping in 16.16 fixed point with the visible span
// of each row solved for, bilinear weights, and one store per layout and draw mode.
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "graphics/BlitGeometry.h"
#include "graphics/RotatedBlit.h"
#include "platform/display/DisplaySurface.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

using namespace SurfacePixels;

void DDImage::BltRotated(Image* srcImage, float x, float y, const Rect& srcRect, const Rect& clip,
                         const Color& color, int drawMode, double angle, float cx, float cy)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    if (mNeverLock) return;
    CommitBits();
    if (DrawsThrough3D())
    {
        if (MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage))
            mDDInterface->mD3DInterface->BltRotated(src, x, y, clip, color, drawMode, cx, cy, srcRect, angle);
        return;
    }
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src) return; // nothing drawn, nothing dropped
    if (!IsPlain() || !mDDInterface)
    {
        MemoryImage::BltRotated(src, x, y, srcRect, clip, color, drawMode, angle, cx, cy);
        return;
    }
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle) || !std::isfinite(cx) ||
        !std::isfinite(cy))
        return;
    // The source rectangle must lie inside the source: its texels are read without a test.
    if (ClipRect(srcRect, src->width, src->height) != srcRect || srcRect.mWidth < 2 || srcRect.mHeight < 2)
    {
        if (CanDrawInMemory())
            MemoryImage::BltRotated(src, x, y, srcRect, clip, color, drawMode, angle, cx, cy);
        return;
    }
    RectD bounds, whole;
    if (!CalcRotatedBltBounds(srcRect, ClipRect(clip, width, height), x, y, cx, cy, angle, bounds)) return;
    // Each row is stepped from the picture's own first column, whatever the clip: a pixel meets
    // the same texel position however much of the picture is drawn.
    const int far = 1 << 29;
    CalcRotatedBltBounds(srcRect, Rect(-far, -far, 2 * far, 2 * far), x, y, cx, cy, angle, whole);
    src->CommitBits();
    const bool palettized = src->IsPalettized();
    const uint32_t* srcBits = palettized ? nullptr : src->GetBits();
    if (!palettized && !srcBits) return;

    const int32_t cosF = int32_t(std::cos(angle) * 65536.0), sinF = int32_t(std::sin(angle) * 65536.0);
    if (!GetSurface() || !LockSurface())
    {
        if (CanDrawInMemory())
            MemoryImage::BltRotated(src, x, y, srcRect, clip, color, drawMode, angle, cx, cy);
        return;
    }
    const platform::PixelFormat& f = mLockDesc.format;
    const bool wide = f.bitCount == 32;
    if (f.bitCount != 16 && f.bitCount != 32)
    {
        UnlockSurface();
        return;
    }
    const DDInterface& d = *mDDInterface;
    const int W = srcRect.mWidth, H = srcRect.mHeight;
    // The columns and rows the bounds touch: from the first one's to the one that holds their
    // far edge (a bound that starts inside a pixel still reaches the pixel its end lies in).
    const int X0 = int(bounds.x), Y0 = int(bounds.y);
    const int64_t last = int64_t(std::ceil(bounds.x + bounds.width)) - 1 - X0;
    const int64_t rows = int64_t(std::ceil(bounds.y + bounds.height)) - Y0;
    const bool white = color.IsWhite();
    const bool normal = drawMode == 0;
    const uint32_t ca = uint32_t(std::clamp(color.mAlpha, 0, 255));
    const uint32_t cr = uint32_t(std::clamp(color.mRed, 0, 255)),
                   cg = uint32_t(std::clamp(color.mGreen, 0, 255)),
                   cb = uint32_t(std::clamp(color.mBlue, 0, 255));
    const uint32_t kr = cr * ca / 255, kg = cg * ca / 255, kb = cb * ca / 255;
    const bool standard = f.blueMask < f.greenMask && f.greenMask < f.redMask;
    const uint32_t spread = standard ? SpreadMaskOf(f) : 0;
    const bool twoLane = wide && standard && white;
    auto texel = [&](int u, int v) -> uint32_t
    {
        size_t i = size_t(srcRect.mY + v) * size_t(src->width) + size_t(srcRect.mX + u);
        return palettized ? src->colorTable[src->colorIndices[i]] : srcBits[i];
    };
    const AddChannels added = d.AddChannelsOf(f);
    const AddChannel &R = added.red, &G = added.green, &B = added.blue;
    auto shiftDown = [](uint32_t v, int n) { return n >= 32 ? 0u : n >= 0 ? v >> n : v << -n; };

    const int anchor = int(std::floor(whole.x));
    const int wholeLast = int(std::ceil(whole.x + whole.width)) - 1 - anchor;
    const float fx0 = float(float(anchor) - cx - x);
    const double cosA = std::cos(angle), sinA = std::sin(angle);
    for (int r = 0; r < rows; ++r)
    {
        const int Y = Y0 + r;
        if (Y < 0 || Y >= mLockDesc.height) continue;
        const float g = float(float(Y) - cy - y);
        // The row's span is solved from the picture's first column, the clip applied after it.
        int32_t uRow = int32_t((double(fx0) * cosA - double(g) * sinA + double(cx)) * 65536.0);
        int32_t vRow = int32_t((double(fx0) * sinA + double(g) * cosA + double(cy)) * 65536.0);
        int64_t first = 0, lastCol = wholeLast;
        const int64_t W16 = int64_t(W) * 65536, H16 = int64_t(H) * 65536;
        if (cosF > 0)
        {
            if ((uRow >> 16) >= W - 1) continue;
            int64_t s = (0x10000 - int64_t(uRow)) / cosF;
            if (s > 0) first = s;
            int64_t e = (W16 - uRow - 0x17FFF) / cosF;
            if (e < lastCol) lastCol = e;
        }
        else if (cosF == 0)
        {
            if (uRow < 0 || uRow >= W16 - 0x10000) continue;
        }
        else
        {
            if ((uRow >> 16) < 0) continue;
            int64_t s = (W16 - uRow - 0x27FFF) / cosF;
            if (s >= 0) first = s;
            int64_t e = (0x7FFF - int64_t(uRow)) / cosF;
            if (e < lastCol) lastCol = e;
        }
        if (sinF > 0)
        {
            if ((vRow >> 16) >= H - 1) continue;
            int64_t s = (0x10000 - int64_t(vRow)) / sinF;
            if (s > first) first = s;
            int64_t e = (H16 - vRow - 0x17FFF) / sinF;
            if (e < lastCol) lastCol = e;
        }
        else if (sinF == 0)
        {
            if (vRow < 0 || vRow >= H16 - 0x10000) continue;
        }
        else
        {
            if ((vRow >> 16) < 0) continue;
            int64_t s = (H16 - vRow - 0x27FFF) / sinF;
            if (s > first) first = s;
            int64_t e = -(int64_t(vRow) / sinF);
            if (e < lastCol) lastCol = e;
        }
        // Within the clip and the surface as well.
        first = std::max<int64_t>({first, int64_t(X0) - anchor, -int64_t(anchor)});
        lastCol =
            std::min<int64_t>({lastCol, int64_t(X0) + last - anchor, int64_t(mLockDesc.width) - 1 - anchor});
        if (first > lastCol) continue;
        int64_t u = uRow + first * cosF, v = vRow + first * sinF;
        uint8_t* p = PixelAt(mLockDesc, int(anchor + first), Y);
        for (int64_t col = first; col <= lastCol; ++col, u += cosF, v += sinF, p += wide ? 4 : 2)
        {
            const int iu = int(u >> 16), iv = int(v >> 16);
            if (iu < 0 || iv < 0 || iu >= W - 1 || iv >= H - 1) continue; // rounding at the span's ends
            const uint32_t p00 = texel(iu, iv), p10 = texel(iu + 1, iv), p01 = texel(iu, iv + 1),
                           p11 = texel(iu + 1, iv + 1);
            const uint32_t fx = uint32_t((u & 0xFFFE) + 1), fy = uint32_t((v & 0xFFFE) + 1);
            auto [w00, w10, w01, w11] =
                RotatedBlit::WeightsAt(fx, fy, p00 >> 24, p10 >> 24, p01 >> 24, p11 >> 24);
            const uint32_t dv = Load(p, wide);
            if (!normal)
            {
                auto sum = [&](uint32_t mask)
                { return (p00 & mask) * w00 + (p10 & mask) * w10 + (p01 & mask) * w01 + (p11 & mask) * w11; };
                uint32_t ri = ((shiftDown(sum(0xFF0000), 32 - R.field.bits) * kr) >> 8) + R.field.Field(dv);
                uint32_t gi = shiftDown(sum(0xFF00) * kg, 32 - G.field.bits) + G.field.Field(dv);
                uint32_t bi = shiftDown(sum(0xFF) * kb, 24 - B.field.bits) + B.field.Field(dv);
                Store(p, wide, R.Saturated(ri) | G.Saturated(gi) | B.Saturated(bi));
                continue;
            }
            if (!white)
            {
                w00 = (w00 * ca) >> 8;
                w10 = (w10 * ca) >> 8;
                w01 = (w01 * ca) >> 8;
                w11 = (w11 * ca) >> 8;
            }
            const uint32_t inv = 256 - (w00 + w10 + w01 + w11);
            auto S = [&](int shift)
            {
                return ((p00 >> shift) & 0xFF) * w00 + ((p10 >> shift) & 0xFF) * w10 +
                       ((p01 >> shift) & 0xFF) * w01 + ((p11 >> shift) & 0xFF) * w11;
            };
            const uint32_t Sr = S(16), Sg = S(8), Sb = S(0);
            auto keep = [&](const AddChannel& c)
            { return (((dv & c.field.mask) * inv) >> 8) & c.field.mask; };
            uint32_t out;
            if (!white)
            {
                out = ((shiftDown(Sr * (cr + 1), 24 - R.field.bits) << R.field.shift) + keep(R)) |
                      ((shiftDown(Sg * (cg + 1), 24 - G.field.bits) << G.field.shift) + keep(G)) |
                      ((shiftDown((Sb >> 8) * (cb + 1), 16 - B.field.bits) << B.field.shift) + keep(B));
            }
            else if (twoLane)
            {
                uint32_t RB = (p00 & 0x00FF00FF) * w00 + (p10 & 0x00FF00FF) * w10 + (p01 & 0x00FF00FF) * w01 +
                              (p11 & 0x00FF00FF) * w11;
                uint32_t Gs = (p00 & 0x0000FF00) * w00 + (p10 & 0x0000FF00) * w10 + (p01 & 0x0000FF00) * w01 +
                              (p11 & 0x0000FF00) * w11;
                uint32_t lane1 = (RB & 0xFF00FF00) + (dv & 0x00FF00FF) * inv;
                uint32_t lane2 = (Gs & 0xFFFF0000) + (dv & 0x0000FF00) * inv;
                out = ((lane1 & 0xFF00FF00) | (lane2 & 0x00FF0000)) >> 8;
            }
            else if (spread)
            {
                uint32_t c8r = Sr >> 8, c8g = Sg >> 8, c8b = Sb >> 8;
                uint32_t D = ((dv << 16) | dv) & spread;
                uint32_t T = ((D * (inv >> 3)) >> 5) & spread;
                uint32_t source = spread == kSpread565 ? ((c8r >> 3) << 11) | (c8b >> 3) | ((c8g >> 2) << 21)
                                                       : ((c8r >> 3) << 10) | (c8b >> 3) | ((c8g >> 3) << 21);
                uint32_t sum = T + source;
                out = (sum | (sum >> 16)) & 0xFFFF;
            }
            else
            {
                out = ((shiftDown(Sr, 16 - R.field.bits) << R.field.shift) + keep(R)) |
                      ((shiftDown(Sg, 16 - G.field.bits) << G.field.shift) + keep(G)) |
                      ((shiftDown(Sb, 16 - B.field.bits) << B.field.shift) + keep(B));
            }
            Store(p, wide, out);
        }
    }
    UnlockSurface();
    DiscardMemoryCopies();
}

} // namespace Kavo
