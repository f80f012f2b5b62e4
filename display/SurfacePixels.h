#pragma once

// Pixel helpers of the surface road: the packed forms of the 16-bit layouts and the access to a
// locked surface's words.
#include "base/Rect.h"
#include "platform/display/DisplayTypes.h"
#include "platform/display/PixelChannel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Kavo::SurfacePixels
{

// The part of r inside (0, 0, width, height), computed without overflow for any r; empty
// (0 x 0) when nothing is inside.
inline Rect ClipRect(const Rect& r, int width, int height)
{
    int64_t x0 = std::max<int64_t>(r.mX, 0), y0 = std::max<int64_t>(r.mY, 0);
    int64_t x1 = std::min<int64_t>(int64_t(r.mX) + r.mWidth, width);
    int64_t y1 = std::min<int64_t>(int64_t(r.mY) + r.mHeight, height);
    if (x1 <= x0 || y1 <= y0) return Rect();
    return Rect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

// The overlap of two rectangles, computed without overflow.
inline Rect Overlap(const Rect& a, const Rect& b)
{
    int64_t x0 = std::max<int64_t>(a.mX, b.mX), y0 = std::max<int64_t>(a.mY, b.mY);
    int64_t x1 = std::min<int64_t>(int64_t(a.mX) + a.mWidth, int64_t(b.mX) + b.mWidth);
    int64_t y1 = std::min<int64_t>(int64_t(a.mY) + a.mHeight, int64_t(b.mY) + b.mHeight);
    if (x1 <= x0 || y1 <= y0) return Rect();
    return Rect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

constexpr uint32_t kSpread565 = 0x07E0F81Fu;
constexpr uint32_t kSpread555 = 0x03E07C1Fu;

// Green in the upper half, red and blue in the lower: a 16-bit pixel spread so that one
// multiplication weighs all three channels.
inline uint32_t Spread(uint32_t v, uint32_t mask)
{
    return (v | v << 16) & mask;
}

inline uint32_t Fold(uint32_t x)
{
    return (x >> 16 | x) & 0xFFFF;
}

// The spread mask of a 16-bit layout with the packed fast paths (0 for any other layout).
inline uint32_t SpreadMaskOf(const platform::PixelFormat& f)
{
    if (f.bitCount != 16) return 0;
    if (f.greenMask == 0x07E0) return kSpread565;
    if (f.greenMask == 0x03E0) return kSpread555;
    return 0;
}

inline uint8_t* PixelAt(const platform::SurfaceLock& l, int x, int y)
{
    return l.bits + size_t(y) * size_t(l.pitch) + size_t(x) * size_t(l.format.bitCount / 8);
}

inline uint32_t Load(const uint8_t* p, bool wide)
{
    if (wide)
    {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store(uint8_t* p, bool wide, uint32_t v)
{
    if (wide)
    {
        std::memcpy(p, &v, 4);
        return;
    }
    uint16_t h = uint16_t(v);
    std::memcpy(p, &h, 2);
}

// A pixel of a 16- or 32-bit layout as 0x00RRGGBB, each channel widened (or narrowed) from its
// mask to 8 bits by shifting; a channel without a mask reads 0.
class RgbReader
{
public:
    explicit RgbReader(const platform::PixelFormat& f)
        : mRed(f.redMask), mGreen(f.greenMask), mBlue(f.blueMask)
    {
    }

    uint32_t operator()(uint32_t p) const
    {
        return mRed.ShiftedByte(p) << 16 | mGreen.ShiftedByte(p) << 8 | mBlue.ShiftedByte(p);
    }

private:
    platform::PixelChannel mRed, mGreen, mBlue;
};

// A colour channel of a 16- or 32-bit surface with the display's table of saturated sums (entry
// i is i held to the field's largest value), for the additive blits.
struct AddChannel
{
    platform::PixelChannel field;
    const std::vector<int>* table = nullptr;

    // Entry index of the table (its last one past the end) placed in the field; 0 without a table.
    uint32_t Saturated(size_t index) const
    {
        if (table == nullptr || table->empty()) return 0;
        return uint32_t((*table)[std::min(index, table->size() - 1)]) << field.shift;
    }
};

// A surface's red, green and blue channels.
struct AddChannels
{
    AddChannel red, green, blue;
};

} // namespace Kavo::SurfacePixels
