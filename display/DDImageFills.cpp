// The surface road's fills and lines: native pixels written straight into the locked surface.
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

namespace
{

inline uint32_t Byte(int v)
{
    return uint32_t(std::clamp(v, 0, 255));
}

struct Layout
{
    SurfacePixels::AddChannels channels;
    bool wide; // 32 bits per pixel
};

Layout LayoutOf(const DDInterface& d, const platform::SurfaceLock& l)
{
    return Layout{d.AddChannelsOf(l.format), l.format.bitCount == 32};
}

// The saturated sum of a destination field and a contribution already in the field's width.
inline uint32_t AddChannel(const SurfacePixels::AddChannel& c, uint32_t d, uint32_t contribution)
{
    return c.Saturated(size_t(c.field.Field(d) + contribution));
}

inline uint32_t Contribution(uint32_t value, uint32_t alpha, int bits)
{
    uint32_t v = value * alpha / 255;
    return bits <= 8 ? v >> (8 - bits) : v << (bits - 8);
}

// A colour at an alpha as each channel's contribution, in the channel's width.
struct Added
{
    uint32_t red, green, blue;
};

inline Added AddedOf(const Layout& L, uint32_t r8, uint32_t g8, uint32_t b8, uint32_t alpha)
{
    return Added{Contribution(r8, alpha, L.channels.red.field.bits),
                 Contribution(g8, alpha, L.channels.green.field.bits),
                 Contribution(b8, alpha, L.channels.blue.field.bits)};
}

// Adds the contributions to the pixel at p, each channel saturating.
inline void AddTo(const Layout& L, uint8_t* p, const Added& c)
{
    const uint32_t d = Load(p, L.wide);
    Store(p, L.wide,
          AddChannel(L.channels.red, d, c.red) | AddChannel(L.channels.green, d, c.green) |
              AddChannel(L.channels.blue, d, c.blue));
}

} // namespace

// ---------------------------------------------------------------- fills

bool DDImage::LockForDrawing(bool honourNeverLock)
{
    if ((honourNeverLock && mNeverLock) || !mDDInterface || !GetSurface() || !LockSurface()) return false;
    if (mLockDesc.format.bitCount == 16 || mLockDesc.format.bitCount == 32) return true;
    UnlockSurface(); // other layouts: nothing is drawn
    return false;
}

bool DDImage::NormalFillRect(const Rect& rect, const Color& color)
{
    if (!LockForDrawing(true)) return false;
    const int bitsPerPixel = mLockDesc.format.bitCount;
    Rect r = ClipRect(rect, mLockDesc.width, mLockDesc.height);
    const bool wide = bitsPerPixel == 32;
    const uint32_t R = mLockDesc.format.redMask, G = mLockDesc.format.greenMask,
                   B = mLockDesc.format.blueMask;
    const uint32_t r8 = Byte(color.mRed), g8 = Byte(color.mGreen), b8 = Byte(color.mBlue),
                   a = Byte(color.mAlpha);
    if (a == 255)
    {
        uint32_t v = wide ? ((b8 * B >> 8) & B) | ((g8 * G >> 8) & G) | ((r8 * R >> 8) & R)
                          : (((b8 + 1) * B >> 8) & B) | (((g8 + 1) * G >> 8) & G) | (((r8 + 1) * R >> 8) & R);
        for (int y = r.mY; y < r.mY + r.mHeight; ++y)
        {
            uint8_t* p = PixelAt(mLockDesc, r.mX, y);
            if (wide)
                std::fill_n(reinterpret_cast<uint32_t*>(p), r.mWidth, v);
            else
                std::fill_n(reinterpret_cast<uint16_t*>(p), r.mWidth, uint16_t(v));
        }
    }
    else
    {
        const uint32_t round = wide ? 127 : 128;
        auto term = [&](uint32_t c, uint32_t M) { return ((((c * a + round) >> 8) + 1) * M >> 8) & M; };
        const uint32_t S = term(b8, B) + term(g8, G) + term(r8, R);
        const uint32_t inv = 256 - a;
        for (int y = r.mY; y < r.mY + r.mHeight; ++y)
            for (int x = r.mX; x < r.mX + r.mWidth; ++x)
            {
                uint8_t* p = PixelAt(mLockDesc, x, y);
                uint32_t d = Load(p, wide), out;
                if (wide)
                    out = (((d & R) * inv >> 8) & R) + (((d & G) * inv >> 8) & G) +
                          (((d & B) * inv >> 8) & B) + S;
                else
                    out = ((((d & R) * inv + R) >> 8) & R) + ((((d & G) * inv + G) >> 8) & G) +
                          ((((d & B) * inv + B) >> 8) & B) + S;
                Store(p, wide, out);
            }
    }
    UnlockSurface();
    return true;
}

bool DDImage::AdditiveFillRect(const Rect& rect, const Color& color)
{
    if (!LockForDrawing(true)) return false;
    Layout L = LayoutOf(*mDDInterface, mLockDesc);
    Rect r = ClipRect(rect, mLockDesc.width, mLockDesc.height);
    const Added c = AddedOf(L, Byte(color.mRed), Byte(color.mGreen), Byte(color.mBlue), Byte(color.mAlpha));
    for (int y = r.mY; y < r.mY + r.mHeight; ++y)
        for (int x = r.mX; x < r.mX + r.mWidth; ++x)
            AddTo(L, PixelAt(mLockDesc, x, y), c);
    UnlockSurface();
    return true;
}

// ---------------------------------------------------------------- lines

namespace
{

// Steps a line by integer error (Bresenham) along its longer axis, ties going to y, and calls
// plot for every pixel; the line ends when a step leaves its own bounding box.
template <typename Plot>
void StepLine(double x1, double y1, double x2, double y2, Plot plot)
{
    const double minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const double minY = std::min(y1, y2), maxY = std::max(y1, y2);
    const bool yMajor = std::fabs(x2 - x1) <= std::fabs(y2 - y1);
    if ((yMajor ? y2 - y1 : x2 - x1) < 0)
    {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    double dMajor = yMajor ? y2 - y1 : x2 - x1;
    double dMinor = yMajor ? x2 - x1 : y2 - y1;
    int dir = 1;
    if (dMinor < 0)
    {
        dMinor = -dMinor;
        dir = -1;
    }
    plot(int64_t(x1), int64_t(y1));
    const int64_t incSame = int64_t(2.0 * dMinor);
    const int64_t incStep = int64_t(2.0 * (dMinor - dMajor));
    const double s = yMajor ? x1 : y1;
    int64_t error = int64_t((s - std::trunc(s)) * double(incSame) + std::trunc(2.0 * dMinor - dMajor));
    int64_t counter = yMajor ? int64_t(y1 + 1.0) : int64_t(x1) + 1;
    int64_t minor = int64_t(s);
    const double far = yMajor ? y2 : x2;
    while (double(counter) <= far)
    {
        if (error > 0)
        {
            minor += dir;
            error += incStep;
            double px = yMajor ? double(minor) : double(counter),
                   py = yMajor ? double(counter) : double(minor);
            if (px < minX || px > maxX || py < minY || py > maxY) break;
        }
        else
        {
            error += incSame;
        }
        if (yMajor)
            plot(minor, counter);
        else
            plot(counter, minor);
        ++counter;
    }
}

} // namespace

bool DDImage::NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LockForDrawing(true)) return false;
    const int bitsPerPixel = mLockDesc.format.bitCount;
    const int w = mLockDesc.width, h = mLockDesc.height;
    if (CutSegmentToBox(x1, y1, x2, y2, -1.0, -1.0, double(w), double(h)))
    {
        const bool wide = bitsPerPixel == 32;
        const uint32_t R = mLockDesc.format.redMask, G = mLockDesc.format.greenMask,
                       B = mLockDesc.format.blueMask;
        const uint32_t r8 = Byte(color.mRed), g8 = Byte(color.mGreen), b8 = Byte(color.mBlue),
                       a = Byte(color.mAlpha);
        auto opaque = [&](uint32_t c, uint32_t M) { return ((c * M + M / 2) >> 8) & M; };
        const uint32_t v = opaque(b8, B) | opaque(g8, G) | opaque(r8, R);
        auto term = [&](uint32_t c, uint32_t M) { return ((((c * a + 128) >> 8) * M + M / 2) >> 8) & M; };
        const uint32_t S = term(b8, B) + term(g8, G) + term(r8, R);
        const uint32_t inv = 256 - a;
        StepLine(x1, y1, x2, y2,
                 [&](int64_t x, int64_t y)
                 {
                     if (x < 0 || y < 0 || x >= w || y >= h) return;
                     uint8_t* p = PixelAt(mLockDesc, int(x), int(y));
                     if (a == 255)
                     {
                         Store(p, wide, v);
                         return;
                     }
                     uint32_t d = Load(p, wide);
                     auto keep = [&](uint32_t M) { return (((d & M) * inv + M / 2) >> 8) & M; };
                     Store(p, wide, keep(R) + keep(G) + keep(B) + S);
                 });
    }
    UnlockSurface();
    return true;
}

bool DDImage::AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LockForDrawing(true)) return false;
    const int w = mLockDesc.width, h = mLockDesc.height;
    if (CutSegmentToBox(x1, y1, x2, y2, -1.0, -1.0, double(w), double(h)))
    {
        Layout L = LayoutOf(*mDDInterface, mLockDesc);
        const Added c =
            AddedOf(L, Byte(color.mRed), Byte(color.mGreen), Byte(color.mBlue), Byte(color.mAlpha));
        StepLine(x1, y1, x2, y2,
                 [&](int64_t x, int64_t y)
                 {
                     if (x < 0 || y < 0 || x >= w || y >= h) return;
                     AddTo(L, PixelAt(mLockDesc, int(x), int(y)), c);
                 });
    }
    UnlockSurface();
    return true;
}

namespace
{

// The anti-aliased stepping in 16.16 fixed point: the main pixel of each row (or column) with
// weight w and its neighbour with 255 - w; the first and last pixels alone. plot receives the
// pixel and its weight (0..255); neighbours are offered only inside the image.
template <typename Plot>
void StepLineAA(double x1, double y1, double x2, double y2, int width, int height, Plot plot)
{
    int64_t ix1 = int64_t(x1), iy1 = int64_t(y1), ix2 = int64_t(x2), iy2 = int64_t(y2);
    if (iy1 > iy2)
    {
        std::swap(ix1, ix2);
        std::swap(iy1, iy2);
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    int64_t dx = ix2 - ix1, dy = iy2 - iy1;
    int xdir = 1;
    if (dx < 0)
    {
        dx = -dx;
        xdir = -1;
    }
    uint32_t acc =
        uint32_t(std::lround(std::fabs(x1 - std::trunc(x1)) * std::fabs(y1 - std::trunc(y1)) * 65536.0));
    int64_t x = ix1, y = iy1;
    const double xDiff = std::fabs(x2 - x1), yDiff = y2 - y1;
    if (dx < dy)
    {
        const uint32_t step = uint32_t(std::lround(65536.0 * (xDiff / yDiff)));
        plot(x, y, 255 - ((acc >> 8) & 255));
        for (int64_t i = 0; i < dy - 1; ++i)
        {
            acc += step;
            if (acc > 0xFFFF)
            {
                acc &= 0xFFFF;
                x += xdir;
            }
            ++y;
            uint32_t w = 255 - ((acc >> 8) & 255);
            plot(x, y, w);
            int64_t nx = x + xdir;
            if (nx >= 0 && nx < width) plot(nx, y, 255 - w);
        }
    }
    else
    {
        const uint32_t step = dx == 0 ? 0 : uint32_t(std::lround(65536.0 * (std::fabs(yDiff) / xDiff)));
        plot(x, y, 255 - ((acc >> 8) & 255));
        for (int64_t i = 0; i < dx - 1; ++i)
        {
            acc += step;
            if (acc > 0xFFFF)
            {
                acc &= 0xFFFF;
                ++y;
            }
            x += xdir;
            uint32_t w = 255 - ((acc >> 8) & 255);
            plot(x, y, w);
            if (y < height - 1) plot(x, y + 1, 255 - w);
        }
    }
    plot(ix2, iy2, 255 - ((acc >> 8) & 255));
}

} // namespace

bool DDImage::NormalDrawLineAA(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!mDDInterface || !GetSurface() || !LockSurface()) return false;
    const platform::PixelFormat& f = mLockDesc.format;
    const uint32_t spread = SpreadMaskOf(f);
    if (f.bitCount != 32 && spread == 0)
    {
        UnlockSurface(); // other 16-bit layouts: nothing is drawn
        return true;
    }
    const int w = mLockDesc.width, h = mLockDesc.height;
    if (CutSegmentToBox(x1, y1, x2, y2, -1.0, -1.0, double(w), double(h)))
    {
        const bool wide = f.bitCount == 32;
        const uint32_t R = f.redMask, G = f.greenMask, B = f.blueMask;
        const uint32_t r8 = Byte(color.mRed), g8 = Byte(color.mGreen), b8 = Byte(color.mBlue),
                       a = Byte(color.mAlpha);
        const uint32_t c = ((b8 * B >> 8) & B) | ((g8 * G >> 8) & G) | ((r8 * R >> 8) & R);
        StepLineAA(x1, y1, x2, y2, w, h,
                   [&](int64_t x, int64_t y, uint32_t weight)
                   {
                       if (x < 0 || y < 0 || x >= w || y >= h) return;
                       uint8_t* p = PixelAt(mLockDesc, int(x), int(y));
                       uint32_t d = Load(p, wide);
                       if (wide)
                       {
                           uint32_t wt = a == 255 ? weight : (weight * (a + 1)) >> 8;
                           uint32_t rb =
                               (((d & 0x00FF00FF) * (256 - wt) + (c & 0x00FF00FF) * wt) >> 8) & 0x00FF00FF;
                           uint32_t g =
                               (((d & 0x0000FF00) * (256 - wt) + (c & 0x0000FF00) * wt) >> 8) & 0x0000FF00;
                           Store(p, true, rb | g);
                           return;
                       }
                       uint32_t colorFactor, destFactor;
                       if (a == 255)
                       {
                           colorFactor = weight >> 3;
                           destFactor = (256 - weight) >> 3;
                       }
                       else
                       {
                           uint32_t scaled = weight * (a + 1);
                           colorFactor = scaled >> 11;
                           destFactor = (256 - (scaled >> 8)) >> 3;
                       }
                       uint32_t out = Fold((Spread(c, spread) * colorFactor >> 5) & spread) +
                                      Fold((Spread(d, spread) * destFactor >> 5) & spread);
                       Store(p, false, out);
                   });
    }
    UnlockSurface();
    return true;
}

bool DDImage::AdditiveDrawLineAA(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LockForDrawing(true)) return false;
    const int w = mLockDesc.width, h = mLockDesc.height;
    if (CutSegmentToBox(x1, y1, x2, y2, -1.0, -1.0, double(w), double(h)))
    {
        // The colour is added with its alpha scaled by each pixel's coverage.
        Layout L = LayoutOf(*mDDInterface, mLockDesc);
        const uint32_t a = Byte(color.mAlpha);
        const uint32_t r8 = Byte(color.mRed), g8 = Byte(color.mGreen), b8 = Byte(color.mBlue);
        StepLineAA(x1, y1, x2, y2, w, h,
                   [&](int64_t x, int64_t y, uint32_t weight)
                   {
                       if (x < 0 || y < 0 || x >= w || y >= h) return;
                       AddTo(L, PixelAt(mLockDesc, int(x), int(y)), AddedOf(L, r8, g8, b8, a * weight / 255));
                   });
    }
    UnlockSurface();
    return true;
}

} // namespace Kavo
