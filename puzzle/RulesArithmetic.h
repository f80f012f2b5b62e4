#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Number conversions of the rules. Rules values come from files, so every conversion to int
// is bounded: truncation towards zero, clamped to the int range, and 0 for a value that is
// not a number.
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
