#pragma once

// 16.16 fixed-point arithmetic of the triangle rasteriser. Additions wrap at 32 bits; 64-bit
// products are used only in the per-triangle and per-row set-up.

#include "base/CheckedConversions.h"

#include <cstdint>
#include <limits>

namespace Kavo
{

inline int32_t WrapAdd(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

inline int32_t WrapSub(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) - uint32_t(b));
}

// The largest multiple of 0x10000 not above value: the low 16 bits cleared, also for negative
// values (-0x8000 gives -0x10000).
inline int32_t FixedFloor(int32_t value)
{
    return int32_t(uint32_t(value) & 0xFFFF0000u);
}

// The smallest whole number not below the 16.16 value: the first row (or column) at or past it.
inline int32_t FixedCeil(int32_t value)
{
    return int32_t(uint32_t(value) + 0xFFFFu) >> 16;
}

// 2^48 / d: the reciprocal of the 16.16 value d in 32.32 form. d must not be 0.
inline int64_t FixedReciprocal(int32_t d)
{
    return (int64_t(1) << 48) / int64_t(d);
}

// (a x b) >> 32 of a 64-bit product, as a 16.16 value. A product or result beyond range, which
// only an edge or a width under a pixel can give, saturates instead of wrapping.
inline int32_t FixedMulShift32(int64_t a, int64_t b)
{
    int64_t product;
    if (__builtin_mul_overflow(a, b, &product))
        return (a < 0) != (b < 0) ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    return ClampToInt(product >> 32);
}

// diff / d in 16.16 for reciprocal = FixedReciprocal(d).
inline int32_t FixedSlope(int32_t diff, int64_t reciprocal)
{
    return FixedMulShift32(diff, reciprocal);
}

// (s x dist) >> 16 with its full 64-bit result.
inline int64_t FixedStep64(int32_t s, int32_t dist)
{
    return (int64_t(s) * dist) >> 16;
}

// (s x dist) >> 16, low 32 bits kept.
inline int32_t FixedStep(int32_t s, int32_t dist)
{
    return int32_t(FixedStep64(s, dist));
}

} // namespace Kavo
