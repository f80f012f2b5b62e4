#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Bounded conversions to int for values that come from files or from float arithmetic that may
// overflow: truncation towards zero, clamped to the int range, and 0 for a value that is not a
// number. Header-only, so the rasteriser can use it without linking the application core.
namespace Kavo
{

inline int ClampToInt(int64_t value)
{
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return int(value);
}

inline int TruncateToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(value);
}

} // namespace Kavo
