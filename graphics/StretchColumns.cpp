#include "graphics/StretchColumns.h"

#include "base/CheckedConversions.h"
#include "graphics/Sse2Register.h"

#include <algorithm>

namespace Kavo
{

StretchColumns::StretchColumns(double start, double step, int count, int sourceWidth)
    : StretchColumns(start, step, 0, count, sourceWidth)
{
}

StretchColumns::StretchColumns(double start, double step, int first, int count, int sourceWidth)
    : mColumns(size_t(std::max(count, 0)))
{
    for (int i = 0; i < count; ++i)
        mColumns[size_t(i)] = std::clamp(TruncateToInt(start + (first + i) * step), 0, sourceWidth - 1);
    for (int s = 0; s < 2 && s + 2 <= count && mDoubledFrom < 0; ++s)
    {
        bool doubled = true;
        for (int i = s; i < count && doubled; ++i)
            doubled = mColumns[size_t(i)] == mColumns[size_t(s)] + (i - s) / 2;
        if (doubled) mDoubledFrom = s;
    }
}

void StretchColumns::Pick(const uint32_t* line, uint32_t* picked) const
{
    int n = Count(), i = 0;
    if (mDoubledFrom >= 0)
    {
        for (; i < mDoubledFrom; ++i)
            picked[i] = line[mColumns[size_t(i)]];
#ifdef __SSE2__
        // Eight destination pixels from the four source pixels of columns i .. i + 7, all
        // inside the row.
        using V = Sse2Register;
        const uint32_t* s = line + mColumns[size_t(i)];
        for (; i + 8 <= n; i += 8, s += 4)
        {
            V::Reg v = V::Load(s);
            V::Store(picked + i, V::UnpackLo32(v, v));
            V::Store(picked + i + 4, V::UnpackHi32(v, v));
        }
#endif
    }
    for (; i < n; ++i)
        picked[i] = line[mColumns[size_t(i)]];
}

} // namespace Kavo
