#include "platform/display/RowConverter.h"

#include <emmintrin.h>

#include <cstring>

namespace platform
{

RowConverter::RowConverter(const PixelFormat& format)
{
    if (format.bitCount != 16 && format.bitCount != 32) return;
    mBytes = format.bitCount / 8;
    mCopy =
        mBytes == 4 && format.redMask == 0xFF0000 && format.greenMask == 0xFF00 && format.blueMask == 0xFF;
    for (int byte = 0; byte < mBytes; ++byte)
        for (uint32_t v = 0; v < 256; ++v)
        {
            uint32_t pixel = v << (8 * byte);
            mTables[byte][v] = ChannelByte(pixel, format.redMask) << 16 |
                               ChannelByte(pixel, format.greenMask) << 8 |
                               ChannelByte(pixel, format.blueMask);
        }
}

void RowConverter::ToArgb(const uint8_t* in, uint32_t* out, int count) const
{
    if (mCopy)
    {
        // One pass, four pixels at a time, loads and stores of any alignment.
        const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
        int x = 0;
        for (; x + 4 <= count; x += 4)
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(out + x),
                _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x)), alpha));
        for (; x < count; ++x)
        {
            uint32_t v;
            std::memcpy(&v, in + 4 * x, 4);
            out[x] = v | 0xFF000000u;
        }
        return;
    }
    if (mBytes == 2)
    {
        const uint32_t* low = mTables[0];
        const uint32_t* high = mTables[1];
        for (int x = 0; x < count; ++x)
            out[x] = 0xFF000000u | low[in[2 * x]] | high[in[2 * x + 1]];
        return;
    }
    if (mBytes == 4)
    {
        for (int x = 0; x < count; ++x)
        {
            const uint8_t* p = in + 4 * x;
            out[x] = 0xFF000000u | mTables[0][p[0]] | mTables[1][p[1]] | mTables[2][p[2]] | mTables[3][p[3]];
        }
        return;
    }
    for (int x = 0; x < count; ++x)
        out[x] = 0xFF000000u;
}

} // namespace platform
