#include "platform/display/ScreenScaler.h"

#include <emmintrin.h>

#include <algorithm>

namespace platform
{

namespace
{

// Two source pixels of one destination column blended across: each channel times its weight,
// in 1/256ths (at most 255 x 256, so it fits 16 bits).
inline void HorizontalPixel(uint32_t a, uint32_t b, int weight, uint16_t* out)
{
    for (int c = 0; c < 4; ++c)
        out[c] = uint16_t(((a >> (8 * c)) & 0xFF) * uint32_t(256 - weight) +
                          ((b >> (8 * c)) & 0xFF) * uint32_t(weight));
}

// Two blended rows blended down: (top x (256 - w) + bottom x w) / 256 as the fast rows make it
// (each product's high 16 bits, then rounded to a byte).
inline uint8_t VerticalChannel(uint16_t top, uint16_t bottom, int weight)
{
    if (weight == 0) return uint8_t((uint32_t(top) + 128) >> 8);
    uint32_t sum = ((uint32_t(top) * uint32_t((256 - weight) << 8)) >> 16) +
                   ((uint32_t(bottom) * uint32_t(weight << 8)) >> 16);
    return uint8_t(std::min<uint32_t>((sum + 128) >> 8, 255));
}

} // namespace

std::vector<ScreenScaler::Tap> ScreenScaler::Taps(int from, int to)
{
    std::vector<Tap> taps(size_t(std::max(to, 0)));
    if (from <= 0 || to <= 0) return taps;
    const int64_t twoTo = 2 * int64_t(to);
    for (int d = 0; d < to; ++d)
    {
        // u = ((2d + 1) from - to) / 2 to: the sample's place in source pixels from pixel 0's centre.
        int64_t num = (2 * int64_t(d) + 1) * from - to;
        int64_t first = num >= 0 ? num / twoTo : -((-num + twoTo - 1) / twoTo);
        int64_t rest = num - first * twoTo;
        int weight = int((rest * 256 + to) / twoTo);
        if (weight == 256)
        {
            ++first;
            weight = 0;
        }
        Tap t;
        if (first < 0)
        {
            t.first = t.second = 0;
        }
        else if (first >= from - 1)
        {
            t.first = t.second = from - 1;
        }
        else
        {
            t.first = int(first);
            t.second = int(first) + 1;
            t.weight = weight;
        }
        if (t.weight == 0) t.second = t.first;
        taps[size_t(d)] = t;
    }
    return taps;
}

void ScreenScaler::SetSizes(int width, int height, int destWidth, int destHeight)
{
    if (width == mWidth && height == mHeight && destWidth == mDestWidth && destHeight == mDestHeight) return;
    mWidth = width;
    mHeight = height;
    mDestWidth = destWidth;
    mDestHeight = destHeight;
    mColumns = Taps(width, destWidth);
    mRows = Taps(height, destHeight);
    mColumnWeights.assign(mColumns.size() * 4, 0);
    for (size_t x = 0; x < mColumns.size(); ++x)
        for (int c = 0; c < 4; ++c)
            mColumnWeights[4 * x + size_t(c)] = uint16_t(mColumns[x].weight);
}

SurfaceRect ScreenScaler::Reach(const SurfaceRect& source) const
{
    auto range = [](const std::vector<Tap>& taps, int from, int to, int& lo, int& hi)
    {
        // The taps never go back: the first one reading at or past from, the last one reading
        // before to.
        auto firstReading =
            std::partition_point(taps.begin(), taps.end(), [&](const Tap& t) { return t.second < from; });
        auto pastLast =
            std::partition_point(taps.begin(), taps.end(), [&](const Tap& t) { return t.first < to; });
        lo = int(firstReading - taps.begin());
        hi = int(pastLast - taps.begin());
    };
    SurfaceRect r;
    range(mColumns, source.left, source.right, r.left, r.right);
    range(mRows, source.top, source.bottom, r.top, r.bottom);
    if (r.IsEmpty()) return SurfaceRect{};
    return r;
}

SurfaceRect ScreenScaler::Footprint(const SurfaceRect& dest) const
{
    if (dest.IsEmpty()) return SurfaceRect{};
    return SurfaceRect{mColumns[size_t(dest.left)].first, mRows[size_t(dest.top)].first,
                       mColumns[size_t(dest.right - 1)].second + 1,
                       mRows[size_t(dest.bottom - 1)].second + 1};
}

void ScreenScaler::Scale(const SurfaceRect& dest, const SourceRow& source, uint8_t* out, int outPitch) const
{
    const int width = dest.Width();
    if (width <= 0 || dest.Height() <= 0) return;
    // The blended rows of the two source rows in use, kept while the destination rows read them.
    thread_local std::vector<uint16_t> rowA, rowB;
    rowA.resize(size_t(width) * 4 + 8);
    rowB.resize(size_t(width) * 4 + 8);
    uint16_t* held[2] = {rowA.data(), rowB.data()};
    int heldRow[2] = {-1, -1};
    const Tap* columns = mColumns.data() + dest.left;
    const uint16_t* weights = mColumnWeights.data() + 4 * size_t(dest.left);
    const int footLeft = columns[0].first;
    const __m128i zero = _mm_setzero_si128();

    auto blendAcross = [&](int y, uint16_t* into)
    {
        const uint32_t* row = source(y) - footLeft; // indexed by source column from here on
        int x = 0;
        for (; x + 2 <= width; x += 2)
        {
            const Tap& t0 = columns[x];
            const Tap& t1 = columns[x + 1];
            // Each pixel's four bytes as four 16-bit lanes, the two columns side by side.
            __m128i a = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(row[t0.first])),
                                           _mm_cvtsi32_si128(int(row[t1.first])));
            __m128i b = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(row[t0.second])),
                                           _mm_cvtsi32_si128(int(row[t1.second])));
            a = _mm_unpacklo_epi8(a, zero);
            b = _mm_unpacklo_epi8(b, zero);
            __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 4 * x));
            __m128i iw = _mm_sub_epi16(_mm_set1_epi16(256), w);
            __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, iw), _mm_mullo_epi16(b, w));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(into + 4 * x), sum);
        }
        for (; x < width; ++x)
            HorizontalPixel(row[columns[x].first], row[columns[x].second], columns[x].weight, into + 4 * x);
    };
    auto blended = [&](int y) -> const uint16_t*
    {
        for (int i = 0; i < 2; ++i)
            if (heldRow[i] == y) return held[i];
        // Replace the row no longer in use: rows only move down.
        int slot = heldRow[0] < heldRow[1] ? 0 : 1;
        blendAcross(y, held[slot]);
        heldRow[slot] = y;
        return held[slot];
    };

    for (int dy = dest.top; dy < dest.bottom; ++dy)
    {
        const Tap& t = mRows[size_t(dy)];
        const uint16_t* top = blended(t.first);
        const uint16_t* bottom = t.weight ? blended(t.second) : top;
        uint8_t* o = out + size_t(dy - dest.top) * size_t(outPitch);
        const int n = width * 4;
        int i = 0;
        const __m128i round = _mm_set1_epi16(128);
        const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
        if (t.weight == 0)
        {
            for (; i + 16 <= n; i += 16)
            {
                __m128i lo = _mm_srli_epi16(
                    _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i)), round), 8);
                __m128i hi = _mm_srli_epi16(
                    _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i + 8)), round), 8);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o + i),
                                 _mm_or_si128(_mm_packus_epi16(lo, hi), alpha));
            }
        }
        else
        {
            const __m128i wTop = _mm_set1_epi16(short(uint16_t((256 - t.weight) << 8)));
            const __m128i wBottom = _mm_set1_epi16(short(uint16_t(t.weight << 8)));
            for (; i + 16 <= n; i += 16)
            {
                __m128i t0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i));
                __m128i t1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i + 8));
                __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i));
                __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i + 8));
                __m128i lo = _mm_add_epi16(_mm_mulhi_epu16(t0, wTop), _mm_mulhi_epu16(b0, wBottom));
                __m128i hi = _mm_add_epi16(_mm_mulhi_epu16(t1, wTop), _mm_mulhi_epu16(b1, wBottom));
                lo = _mm_srli_epi16(_mm_add_epi16(lo, round), 8);
                hi = _mm_srli_epi16(_mm_add_epi16(hi, round), 8);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o + i),
                                 _mm_or_si128(_mm_packus_epi16(lo, hi), alpha));
            }
        }
        for (; i < n; i += 4)
        {
            for (int c = 0; c < 3; ++c)
                o[i + c] = VerticalChannel(top[i + c], bottom[i + c], t.weight);
            o[i + 3] = 0xFF;
        }
    }
}

void ScreenScaler::ScaleReference(const SurfaceRect& dest, const SourceRow& source, uint8_t* out,
                                  int outPitch) const
{
    if (dest.Width() <= 0 || dest.Height() <= 0) return;
    const int footLeft = mColumns[size_t(dest.left)].first;
    for (int dy = dest.top; dy < dest.bottom; ++dy)
    {
        const Tap& ty = mRows[size_t(dy)];
        const uint32_t* top = source(ty.first);
        const uint32_t* bottom = source(ty.second);
        for (int dx = dest.left; dx < dest.right; ++dx)
        {
            const Tap& tx = mColumns[size_t(dx)];
            const int a = tx.first - footLeft, b = tx.second - footLeft;
            uint16_t upper[4], lower[4];
            HorizontalPixel(top[a], top[b], tx.weight, upper);
            HorizontalPixel(bottom[a], bottom[b], tx.weight, lower);
            uint8_t* o = out + size_t(dy - dest.top) * size_t(outPitch) + size_t(dx - dest.left) * 4;
            for (int c = 0; c < 3; ++c)
                o[c] = VerticalChannel(upper[c], lower[c], ty.weight);
            o[3] = 0xFF;
        }
    }
}

} // namespace platform
