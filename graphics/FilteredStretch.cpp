#include "graphics/FilteredStretch.h"

#include "base/CheckedConversions.h"
#include "graphics/BlendRows.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "graphics/FilteredStretchKernels.h"
#include "graphics/Sse2Register.h"

#include <algorithm>
#include <cmath>

namespace Kavo::FilteredStretch
{

#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)
// The AVX2 form, in FilteredStretchAvx2.cpp (compiled for AVX2, run only where the processor has it).
namespace Avx2
{
void FilterRow(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n);
} // namespace Avx2
#endif

std::vector<Tap> AxisTaps(int count, int origin, double start, double extent, int outCount)
{
    std::vector<Tap> taps;
    const int limit = outCount + 4;
    if (outCount > extent)
    {
        taps.reserve(2 * (size_t(outCount) + 2));
        double step = outCount > 1 ? (extent - 1) / (outCount - 1) : extent;
        for (int i = 1; i < outCount + 3; ++i)
        {
            double p = start + (i - 1) * step;
            int64_t xi = TruncateToInt(p);
            int32_t w = int32_t(std::clamp((1 - (p - double(xi))) * 257, -514.0, 514.0)); // far p: held
            int a = int(std::clamp<int64_t>(xi - origin, 0, count - 1));
            int b = int(std::clamp<int64_t>(xi + 1 - origin, 0, count - 1));
            taps.push_back({i, a, w});
            taps.push_back({i, b, 257 - w});
        }
    }
    else
    {
        double r = outCount / extent;
        taps.reserve(2 * size_t(count));
        for (int k = 0; k < count; ++k)
        {
            double s = (origin + k - start) * r + 1;
            double e = s + r;
            int is = TruncateToInt(s), ie = TruncateToInt(e);
            if (is == ie)
            {
                if (is >= 0 && is < limit) taps.push_back({is, k, int32_t(r * 257)});
            }
            else
            {
                if (ie - 1 >= 0 && ie - 1 < limit) taps.push_back({ie - 1, k, int32_t((ie - s) * 257)});
                if (ie >= 0 && ie < limit) taps.push_back({ie, k, int32_t((e - ie) * 257)});
            }
        }
    }
    return taps;
}

namespace
{

// One channel sum cell of the filter buffers: blue, green, red, alpha.
struct Sums
{
    int32_t c[4] = {0, 0, 0, 0}; // weights add up to 257 per pass, so 32 bits hold them
};

inline void AddWeighted(Sums& cell, uint32_t pixel, int32_t w)
{
    cell.c[0] += int32_t(pixel & 0xFF) * w;
    cell.c[1] += int32_t((pixel >> 8) & 0xFF) * w;
    cell.c[2] += int32_t((pixel >> 16) & 0xFF) * w;
    cell.c[3] += int32_t(pixel >> 24) * w;
}

inline void AddWeighted(Sums& cell, const Sums& from, int32_t w)
{
    for (int k = 0; k < 4; ++k)
        cell.c[k] += from.c[k] * w;
}

} // namespace

// Source reads are kept inside the source region by the taps, and the blended channels and
// alpha are held to 255, so a fully opaque source cannot spill into the next channel.
void DrawTwoPass(const Job& job)
{
    // Horizontal pass: region rows x (dest width + 4) columns, one flat buffer.
    const size_t cols = size_t(job.width) + 4;
    std::vector<Sums> first(size_t(job.sourceRows) * cols);
    for (int row = 0; row < job.sourceRows; ++row)
    {
        const uint32_t* line = job.row(row);
        Sums* cells = first.data() + size_t(row) * cols;
        for (const Tap& t : job.across)
            AddWeighted(cells[t.out], line[t.in], t.weight);
    }

    // Vertical pass, whole rows at a time, into (dest height + 4) rows.
    std::vector<Sums> second((size_t(job.height) + 4) * cols);
    for (const Tap& t : job.down)
    {
        const Sums* from = first.data() + size_t(t.in) * cols;
        Sums* to = second.data() + size_t(t.out) * cols;
        for (size_t i = 0; i < cols; ++i)
            AddWeighted(to[i], from[i], t.weight);
    }

    for (int j = 0; j < job.height; ++j)
    {
        const Sums* cells = second.data() + (size_t(j) + 1) * cols + 1;
        uint32_t* row = job.dest + size_t(j) * job.destPitch;
        for (int i = 0; i < job.width; ++i)
        {
            // A fully opaque source filters to 256: the blend takes that as "all source", and
            // only the stored channels and alpha are held to 255.
            const Sums& cell = cells[i];
            auto filtered = [&](int k) { return uint32_t(std::clamp<int32_t>(cell.c[k] >> 16, 0, 256)); };
            row[i] = Over(row[i], filtered(0), filtered(1), filtered(2), filtered(3));
        }
    }
}

namespace
{

#ifdef __SSE2__
void FilterRow(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)
    if (BlendRows::HasWideForms())
    {
        Avx2::FilterRow(d, pairs, count, bias, n);
        return;
    }
#endif
    FilterRowWith<Sse2Register>(d, pairs, count, bias, n);
}
#else
void FilterRow(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = FilteredPixel(d[i], pairs, count, bias, i);
}
#endif

// The taps of one axis gathered by output cell, for cells 1 to n (destination 0 to n - 1).
struct Cells
{
    std::vector<int> first; // n + 1 offsets into taps
    std::vector<Tap> taps;  // by cell
    bool fits16 = true;     // every weight 0-257 and each cell's add up to at most 257
    // Where every cell has two taps (every enlargement): their inputs and weights side by side,
    // each weight four times over, one for each lane of a pixel.
    bool twoTaps = false;
    std::vector<int> inA, inB;
    std::vector<uint16_t> weightA, weightB;
};

Cells GatherCells(const std::vector<Tap>& taps, int n)
{
    Cells cells;
    cells.taps.reserve(taps.size());
    for (const Tap& t : taps)
        if (t.out >= 1 && t.out <= n) cells.taps.push_back(t);
    // AxisTaps gives its taps by cell already; the sort is for any other order.
    auto byCell = [](const Tap& x, const Tap& y) { return x.out < y.out; };
    if (!std::is_sorted(cells.taps.begin(), cells.taps.end(), byCell))
        std::stable_sort(cells.taps.begin(), cells.taps.end(), byCell);
    cells.first.assign(size_t(n) + 1, 0);
    size_t t = 0;
    for (int c = 0; c < n; ++c)
    {
        cells.first[size_t(c)] = int(t);
        int64_t sum = 0;
        for (; t < cells.taps.size() && cells.taps[t].out == c + 1; ++t)
        {
            int32_t w = cells.taps[t].weight;
            if (w < 0 || w > 257 || (sum += w) > 257) cells.fits16 = false;
        }
    }
    cells.first[size_t(n)] = int(t);

    cells.twoTaps = cells.taps.size() == 2 * size_t(n);
    for (int c = 0; c < n && cells.twoTaps; ++c)
        cells.twoTaps = cells.first[size_t(c) + 1] - cells.first[size_t(c)] == 2;
    if (!cells.twoTaps) return cells;
    cells.inA.resize(size_t(n));
    cells.inB.resize(size_t(n));
    cells.weightA.resize(4 * size_t(n));
    cells.weightB.resize(4 * size_t(n));
    for (size_t c = 0; c < size_t(n); ++c)
    {
        const Tap& a = cells.taps[2 * c];
        const Tap& b = cells.taps[2 * c + 1];
        cells.inA[c] = a.in;
        cells.inB[c] = b.in;
        for (size_t k = 0; k < 4; ++k)
        {
            cells.weightA[4 * c + k] = uint16_t(a.weight);
            cells.weightB[4 * c + k] = uint16_t(b.weight);
        }
    }
    return cells;
}

// One source row filtered across into w cells of 16-bit sums (blue, green, red, alpha), each
// stored less 32768. Every cell fits: weights 0-257 adding up to at most 257.
void FilterAcross(const uint32_t* line, const Cells& across, int w, uint16_t* out)
{
    int c = 0;
#ifdef __SSE2__
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    auto load = [](uint16_t const* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    auto pixels = [line](const int* in)
    {
        __m128i two =
            _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(line[in[0]])), _mm_cvtsi32_si128(int(line[in[1]])));
        return _mm_unpacklo_epi8(two, _mm_setzero_si128());
    };
    if (across.twoTaps)
    {
        // Held in locals: the stores below could otherwise alias the vectors' pointers.
        const int *inA = across.inA.data(), *inB = across.inB.data();
        const uint16_t *weightA = across.weightA.data(), *weightB = across.weightB.data();
        for (; c + 2 <= w; c += 2)
        {
            __m128i a = _mm_mullo_epi16(pixels(inA + c), load(weightA + 4 * c));
            __m128i b = _mm_mullo_epi16(pixels(inB + c), load(weightB + 4 * c));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * c),
                             _mm_xor_si128(_mm_add_epi16(a, b), flip));
        }
    }
    for (; c < w; ++c)
    {
        __m128i sum = _mm_setzero_si128();
        for (int t = across.first[size_t(c)]; t < across.first[size_t(c) + 1]; ++t)
        {
            const Tap& tap = across.taps[size_t(t)];
            __m128i p = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(line[tap.in])), _mm_setzero_si128());
            sum = _mm_add_epi16(sum, _mm_mullo_epi16(p, _mm_set1_epi16(short(tap.weight))));
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * c), _mm_xor_si128(sum, flip));
    }
#endif
    for (; c < w; ++c)
    {
        uint32_t sum[4] = {0, 0, 0, 0};
        for (int t = across.first[size_t(c)]; t < across.first[size_t(c) + 1]; ++t)
        {
            const Tap& tap = across.taps[size_t(t)];
            for (int k = 0; k < 4; ++k)
                sum[k] += ((line[tap.in] >> (8 * k)) & 0xFF) * uint32_t(tap.weight);
        }
        for (int k = 0; k < 4; ++k)
            out[4 * c + k] = uint16_t(sum[k] ^ 0x8000);
    }
}

// 16-bit sum rows on 32-byte boundaries, each a whole number of 32-byte blocks.
struct SumRows
{
    size_t stride = 0; // uint16_t from one row to the next
    std::vector<uint16_t> storage;
    uint16_t* base = nullptr;
    SumRows(int rows, int w)
    {
        stride = (size_t(w) * 4 + 15) & ~size_t(15);
        storage.resize(size_t(rows) * stride + 16);
        uintptr_t at = reinterpret_cast<uintptr_t>(storage.data());
        base = storage.data() + ((32 - at % 32) % 32) / sizeof(uint16_t);
    }
    uint16_t* Row(int i) { return base + size_t(i) * stride; }
};

} // namespace

void Draw(const Job& job)
{
    if (job.width <= 0 || job.height <= 0 || job.sourceRows <= 0) return;
    Cells across = GatherCells(job.across, job.width);
    Cells down = GatherCells(job.down, job.height);
    if (!across.fits16 || !down.fits16)
    {
        DrawTwoPass(job);
        return;
    }

    // Source rows filtered across are kept in a ring as wide as the most rows one destination
    // row reads, keyed by row number: rows of one destination row never share a slot.
    int ring = 1;
    for (int j = 0; j < job.height; ++j)
    {
        int lo = job.sourceRows, hi = -1;
        for (int t = down.first[size_t(j)]; t < down.first[size_t(j) + 1]; ++t)
        {
            lo = std::min(lo, down.taps[size_t(t)].in);
            hi = std::max(hi, down.taps[size_t(t)].in);
        }
        ring = std::max(ring, hi - lo + 1);
    }
    SumRows sums(ring, job.width);
    std::vector<int> held(size_t(ring), -1);
    auto filtered = [&](int row) -> const uint16_t*
    {
        uint16_t* out = sums.Row(row % ring);
        if (held[size_t(row % ring)] != row)
        {
            FilterAcross(job.row(row), across, job.width, out);
            held[size_t(row % ring)] = row;
        }
        return out;
    };

    std::vector<RowPair> pairs;
    for (int j = 0; j < job.height; ++j)
    {
        pairs.clear();
        int32_t bias = 0;
        for (int t = down.first[size_t(j)]; t < down.first[size_t(j) + 1]; t += 2)
        {
            const Tap& a = down.taps[size_t(t)];
            // An odd last tap is paired with itself at weight 0.
            const Tap& b = t + 1 < down.first[size_t(j) + 1] ? down.taps[size_t(t) + 1] : Tap{a.out, a.in, 0};
            pairs.push_back({filtered(a.in), filtered(b.in), a.weight, b.weight});
            bias += 32768 * (a.weight + b.weight);
        }
        FilterRow(job.dest + size_t(j) * job.destPitch, pairs.data(), int(pairs.size()), bias, job.width);
    }
}

} // namespace Kavo::FilteredStretch
