#include "graphics/PaletteBuilder.h"

#include <algorithm>

namespace Kavo
{

bool BuildPaletteIndices(const uint32_t* bits, uint8_t* indices, int width, int height, uint32_t* palette)
{
    if (width <= 0 || height <= 0) return true;
    int64_t n = int64_t(width) * height;

    // The distinct words seen so far, sorted by value, each with its palette entry.
    struct Entry
    {
        uint32_t value;
        uint8_t index;
    };
    Entry sorted[256];
    int count = 0;

    for (int64_t i = 0; i < n; ++i)
    {
        uint32_t value = bits[i];
        Entry* end = sorted + count;
        Entry* at =
            std::lower_bound(sorted, end, value, [](const Entry& e, uint32_t v) { return e.value < v; });
        if (at != end && at->value == value)
        {
            indices[i] = at->index;
            continue;
        }
        if (count == 256) return false;
        std::move_backward(at, end, end + 1);
        at->value = value;
        at->index = uint8_t(count);
        palette[count] = value;
        indices[i] = uint8_t(count);
        ++count;
    }
    return true;
}

} // namespace Kavo
