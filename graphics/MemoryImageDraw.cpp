// The drawing operations of the software image.
#include "base/CheckedConversions.h"
#include "graphics/BlendRows.h"
#include "graphics/BlitGeometry.h"
#include "graphics/FilteredStretch.h"
#include "graphics/ImageRegistry.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"
#include "graphics/RotatedBlit.h"
#include "graphics/StretchColumns.h"

#include "raster/TriangleRasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Kavo
{

using namespace PixelBlend;

namespace
{

MemoryImage* AsMemoryImage(Image* image)
{
    return dynamic_cast<MemoryImage*>(image);
}

// A row of source pixels as ARGB words: straight from the bits, or looked up in the palette
// into scratch.
class SourceRows
{
public:
    explicit SourceRows(MemoryImage* src) : mSrc(src), mPalettized(src->IsPalettized())
    {
        if (!mPalettized) mBits = src->GetBits();
    }
    const uint32_t* Row(int x, int y, int count)
    {
        size_t start = size_t(y) * size_t(mSrc->width) + size_t(x);
        if (!mPalettized) return mBits + start;
        if (mScratch.size() < size_t(count)) mScratch.resize(size_t(count));
        const uint8_t* idx = mSrc->colorIndices.get() + start;
        const uint32_t* pal = mSrc->colorTable.get();
        for (int i = 0; i < count; ++i)
            mScratch[size_t(i)] = pal[idx[i]];
        return mScratch.data();
    }

private:
    MemoryImage* mSrc;
    bool mPalettized;
    const uint32_t* mBits = nullptr;
    std::vector<uint32_t> mScratch;
};

// Cuts a blit at (x, y) of srcRect to both images; false when nothing is left. The positions
// are moved in 64 bits: a far position with a far source rectangle never wraps onto the image.
bool ClipBlit(const MemoryImage* dest, const MemoryImage* src, int& x, int& y, Rect& srcRect)
{
    Rect s = srcRect.Intersection(Rect(0, 0, src->width, src->height));
    if (s.mWidth <= 0 || s.mHeight <= 0) return false;
    int64_t dx = int64_t(x) + s.mX - srcRect.mX, dy = int64_t(y) + s.mY - srcRect.mY;
    int64_t left = std::max<int64_t>(dx, 0), top = std::max<int64_t>(dy, 0);
    int64_t right = std::min<int64_t>(dx + s.mWidth, dest->width);
    int64_t bottom = std::min<int64_t>(dy + s.mHeight, dest->height);
    if (right <= left || bottom <= top) return false;
    srcRect = Rect(int(s.mX + (left - dx)), int(s.mY + (top - dy)), int(right - left), int(bottom - top));
    x = int(left);
    y = int(top);
    return true;
}

// The truncated end of a straight line along an axis of the given size, held just outside the
// image (-1 or size) so that far or infinite ends cannot overflow; false for an end that is not
// a number.
bool LineEnd(double v, int size, int& end)
{
    if (std::isnan(v)) return false;
    end = int(std::clamp(std::trunc(v), -1.0, double(size)));
    return true;
}

// Cuts [first, end) to the steps k at which start + k step lies in [low, high).
void StepsInside(int64_t start, int64_t step, int64_t low, int64_t high, int& first, int& end)
{
    auto floorDiv = [](int64_t a, int64_t b)
    {
        int64_t q = a / b;
        return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
    };
    auto cut = [&](int64_t from, int64_t to) // the steps from..to - 1, held to int
    {
        first = int(std::clamp<int64_t>(from, first, end));
        end = int(std::clamp<int64_t>(to, first, end));
    };
    if (step == 0)
    {
        if (start < low || start >= high) end = first;
        return;
    }
    if (step > 0)
        cut(-floorDiv(start - low, step), -floorDiv(start - high, step));
    else
        cut(floorDiv(start - high, -step) + 1, floorDiv(start - low, -step) + 1);
}

// n words from s to d (apart), for the short rows of glyphs without a call to memcpy (which
// costs more than such a copy): up to 16 words by registers that may overlap.
inline void CopyShortRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
#ifdef __SSE2__
    auto load = [](const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    auto store = [](uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); };
    if (n >= 4 && n <= 8)
    {
        __m128i first = load(s), last = load(s + n - 4);
        store(d, first);
        store(d + n - 4, last);
        return;
    }
    if (n > 8 && n <= 16)
    {
        __m128i a = load(s), b = load(s + 4), c = load(s + n - 8), e = load(s + n - 4);
        store(d, a);
        store(d + 4, b);
        store(d + n - 8, c);
        store(d + n - 4, e);
        return;
    }
#endif
    if (n > 3)
    {
        std::memcpy(d, s, size_t(n) * sizeof(uint32_t));
        return;
    }
    if (n > 0) d[0] = s[0];
    if (n > 1) d[1] = s[1];
    if (n > 2) d[2] = s[2];
}

// --- Row loops of the plain blit. Each is written so that the compiler can vectorise it. ---

void CopyRow(uint32_t* d, const uint32_t* s, int n)
{
    std::memcpy(d, s, size_t(n) * sizeof(uint32_t));
}

// Additive rows of a colour: each channel min(d + s', 255), the destination alpha kept.
void AddColoredRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, uint32_t kr, uint32_t kg,
                   uint32_t kb, bool useAlpha)
{
    for (int i = 0; i < n; ++i)
    {
        uint32_t sp = s[i], a = useAlpha ? sp >> 24 : 256;
        uint32_t sr = (Red(sp) * kr) >> 8, sg = (Green(sp) * kg) >> 8, sb = (Blue(sp) * kb) >> 8;
        if (useAlpha)
        {
            sr = (sr * a) >> 8;
            sg = (sg * a) >> 8;
            sb = (sb * a) >> 8;
        }
        d[i] = AddColour(d[i], sr, sg, sb);
    }
}

} // namespace

bool CutSegmentToBox(double& x1, double& y1, double& x2, double& y2, double minX, double minY, double maxX,
                     double maxY)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    auto inside = [&](double x, double y) { return x >= minX && x <= maxX && y >= minY && y <= maxY; };
    if (inside(x1, y1) && inside(x2, y2)) return true;
    double dx = x2 - x1, dy = y2 - y1, t0 = 0.0, t1 = 1.0;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {x1 - minX, maxX - x1, y1 - minY, maxY - y1};
    for (int i = 0; i < 4; ++i)
    {
        if (p[i] == 0)
        {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Fills and clears

void MemoryImage::FillRect(const Rect& rect, const Color& color, int)
{
    Rect r = rect.Intersection(Rect(0, 0, width, height));
    if (r.mWidth <= 0 || r.mHeight <= 0) return;
    uint32_t* words = GetBits();
    if (color.mAlpha == 255)
    {
        uint32_t packed = color.ToInt();
        for (int y = r.mY; y < r.mY + r.mHeight; ++y)
            std::fill_n(words + size_t(y) * size_t(width) + size_t(r.mX), r.mWidth, packed);
    }
    else
    {
        uint32_t a = Clamp255(color.mAlpha);
        if (a == 0) return;
        const OverTables& t = GetOverTables();
        uint32_t sr = Clamp255(color.mRed), sg = Clamp255(color.mGreen), sb = Clamp255(color.mBlue);
        for (int y = r.mY; y < r.mY + r.mHeight; ++y)
        {
            uint32_t* row = words + size_t(y) * size_t(width);
            for (int x = r.mX; x < r.mX + r.mWidth; ++x)
                row[x] = Over(row[x], sr, sg, sb, a, t);
        }
    }
    BitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect)
{
    Rect r = rect.Intersection(Rect(0, 0, width, height));
    if (r.mWidth <= 0 || r.mHeight <= 0) return;
    uint32_t* words = GetBits();
    for (int y = r.mY; y < r.mY + r.mHeight; ++y)
        std::fill_n(words + size_t(y) * size_t(width) + size_t(r.mX), r.mWidth, 0u);
    BitsChanged();
}

void MemoryImage::FillScanLinesWithCoverage(Span* spans, int count, const Color& color, int,
                                            const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                            int coverHeight)
{
    if (!spans || !coverage || count <= 0 || coverWidth <= 0 || coverHeight <= 0) return;
    uint32_t* words = GetBits();
    const OverTables& t = GetOverTables();
    uint32_t sr = Clamp255(color.mRed), sg = Clamp255(color.mGreen), sb = Clamp255(color.mBlue);
    uint32_t alpha = Clamp255(color.mAlpha);
    for (int i = 0; i < count; ++i)
    {
        const Span& span = spans[i];
        int y = span.mY;
        int cy = y - coverY;
        // Only pixels inside the image and inside the coverage area are touched.
        if (y < 0 || y >= height || cy < 0 || cy >= coverHeight) continue;
        int x0 = std::max({span.mX, 0, coverX});
        int64_t x1 =
            std::min<int64_t>({int64_t(span.mX) + span.mWidth, int64_t(width), int64_t(coverX) + coverWidth});
        uint32_t* row = words + size_t(y) * size_t(width);
        const uint8_t* cover = coverage + size_t(cy) * size_t(coverWidth);
        for (int x = x0; x < x1; ++x)
        {
            uint32_t k = cover[x - coverX];
            uint32_t a = (alpha * (k + 1)) >> 8;
            if (a > 0) row[x] = Over(row[x], sr, sg, sb, a, t);
        }
    }
    BitsChanged();
}

// ---------------------------------------------------------------------------------------------
// Lines

void MemoryImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    int a = 0, b = 0, at = 0;
    if (y1 == y2)
    {
        if (LineEnd(std::min(x1, x2), width, a) && LineEnd(std::max(x1, x2), width, b) &&
            LineEnd(y1, height, at))
            FillRect(Rect(a, at, b - a + 1, 1), color, drawMode);
    }
    else if (x1 == x2)
    {
        if (LineEnd(std::min(y1, y2), height, a) && LineEnd(std::max(y1, y2), height, b) &&
            LineEnd(x1, width, at))
            FillRect(Rect(at, a, 1, b - a + 1), color, drawMode);
    }
    else if (drawMode == DRAWMODE_NORMAL)
        DrawLineNormal(x1, y1, x2, y2, color, false);
    else if (drawMode == DRAWMODE_ADDITIVE)
        DrawLineNormal(x1, y1, x2, y2, color, true);
}

void MemoryImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (y1 == y2 || x1 == x2)
        DrawLine(x1, y1, x2, y2, color, drawMode);
    else if (drawMode == DRAWMODE_NORMAL)
        DrawLineAAHelper(x1, y1, x2, y2, color);
}

// Bresenham over the longer axis on the truncated end points; every pixel is checked against
// the image, so a line given outside coordinates writes only what lies inside.
void MemoryImage::DrawLineNormal(double x1, double y1, double x2, double y2, const Color& color,
                                 bool additive)
{
    if (!CutSegmentToBox(x1, y1, x2, y2, -2.0, -2.0, width + 1.0, height + 1.0)) return;
    auto toInt = [](double v) { return int64_t(std::clamp(v, -1e9, 1e9)); };
    int64_t ax = toInt(x1), ay = toInt(y1), bx = toInt(x2), by = toInt(y2);
    bool steep = std::llabs(by - ay) > std::llabs(bx - ax);
    double startMinor = steep ? x1 : y1;
    if (steep)
    {
        std::swap(ax, ay);
        std::swap(bx, by);
    }
    if (ax > bx)
    {
        std::swap(ax, bx);
        std::swap(ay, by);
        startMinor = steep ? x2 : y2;
    }
    int64_t dMajor = bx - ax, dMinor = std::llabs(by - ay);
    int64_t step = by >= ay ? 1 : -1;
    double frac = startMinor - std::floor(startMinor);
    int64_t err = int64_t(frac * 2.0 * double(dMinor)) + 2 * dMinor - dMajor;

    uint32_t* words = GetBits();
    uint32_t a = Clamp255(color.mAlpha);
    uint32_t cr = Clamp255(color.mRed), cg = Clamp255(color.mGreen), cb = Clamp255(color.mBlue);
    auto plot = [&](int64_t px, int64_t py)
    {
        if (steep) std::swap(px, py);
        if (px < 0 || py < 0 || px >= width || py >= height) return;
        uint32_t& d = words[size_t(py) * size_t(width) + size_t(px)];
        uint32_t r, g, b;
        if (additive)
        {
            r = Saturate(Red(d) + cr * a / 255);
            g = Saturate(Green(d) + cg * a / 255);
            b = Saturate(Blue(d) + cb * a / 255);
        }
        else if (a == 255)
        {
            r = (cr * 255 + 127) >> 8;
            g = (cg * 255 + 127) >> 8;
            b = (cb * 255 + 127) >> 8;
        }
        else
        {
            auto mix = [&](uint32_t c, uint32_t dc)
            {
                uint32_t p = (c * a + 128) >> 8;
                return ((p * 255 + 127) >> 8) + ((dc * (256 - a) + 127) >> 8);
            };
            r = std::min<uint32_t>(mix(cr, Red(d)), 255);
            g = std::min<uint32_t>(mix(cg, Green(d)), 255);
            b = std::min<uint32_t>(mix(cb, Blue(d)), 255);
        }
        d = 0xFF000000 | (r << 16) | (g << 8) | b;
    };

    // Walk only the part of the major axis that can meet the image.
    int64_t limit = steep ? height : width;
    int64_t y = ay;
    for (int64_t x = ax; x <= bx; ++x)
    {
        if (x >= limit) break;
        if (x >= 0) plot(x, y);
        if (err > 0)
        {
            y += step;
            err -= 2 * dMajor;
        }
        err += 2 * dMinor;
    }
    BitsChanged();
}

// Wu-style line in 16.16 fixed point: one step per pixel of the major axis, the two pixels that
// straddle the ideal line blended by rule over with weights 255 - f and f (f the high byte of
// the minor position's fraction), the end pixels weighted by their coverage along the major
// axis. Every pixel is checked against the image.
void MemoryImage::DrawLineAAHelper(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!CutSegmentToBox(x1, y1, x2, y2, -2.0, -2.0, width + 1.0, height + 1.0)) return;
    bool steep = std::fabs(y2 - y1) > std::fabs(x2 - x1);
    if (steep)
    {
        std::swap(x1, y1);
        std::swap(x2, y2);
    }
    if (x1 > x2)
    {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    double slope = x2 > x1 ? (y2 - y1) / (x2 - x1) : 0.0; // the cut may leave a single point
    uint32_t* words = GetBits();
    const OverTables& t = GetOverTables();
    uint32_t alpha = Clamp255(color.mAlpha);
    uint32_t cr = Clamp255(color.mRed), cg = Clamp255(color.mGreen), cb = Clamp255(color.mBlue);
    auto plot = [&](int64_t major, int64_t minor, uint32_t weight)
    {
        int64_t px = steep ? minor : major, py = steep ? major : minor;
        if (px < 0 || py < 0 || px >= width || py >= height) return;
        uint32_t a = alpha == 255 ? weight : (weight * alpha) / 255;
        if (a == 0) return;
        uint32_t& d = words[size_t(py) * size_t(width) + size_t(px)];
        d = Over(d, cr, cg, cb, a, t);
    };

    int64_t first = int64_t(std::floor(x1 + 0.5)), last = int64_t(std::floor(x2 + 0.5));
    int64_t limit = steep ? height : width;
    int64_t start = std::max<int64_t>(first, -1), stop = std::min<int64_t>(last, limit);
    int64_t minorFixed = int64_t(std::floor((y1 + slope * (double(start) - x1)) * 65536.0));
    int64_t stepFixed = int64_t(slope * 65536.0);
    for (int64_t major = start; major <= stop; ++major, minorFixed += stepFixed)
    {
        int64_t minor = minorFixed >> 16;
        uint32_t f = uint32_t((minorFixed >> 8) & 0xFF);
        uint32_t coverage = 255;
        if (major == first) coverage = uint32_t(std::clamp((first + 0.5 - x1) * 255.0, 0.0, 255.0));
        if (major == last)
            coverage =
                std::min<uint32_t>(coverage, uint32_t(std::clamp((x2 - (last - 0.5)) * 255.0, 0.0, 255.0)));
        plot(major, minor, (255 - f) * coverage / 255);
        plot(major, minor + 1, f * coverage / 255);
    }
    BitsChanged();
}

// ---------------------------------------------------------------------------------------------
// Plain and additive blits

void MemoryImage::Blt(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    MemoryImage* src = AsMemoryImage(srcImage);
    if (!src) return;
    src->drawn = true;
    Rect s = srcRect;
    if (!ClipBlit(this, src, x, y, s)) return;
    if (drawMode == DRAWMODE_NORMAL)
        NormalBlt(src, x, y, s, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveBlt(src, x, y, s, color);
}

// The plain blit from one source in one colour, set up once for any number of rectangles (the
// glyphs of a line). The destination's bits are marked changed by the caller.
class MemoryImage::NormalBlitter
{
public:
    // Glyphs (small, or a line drawn once) take the per-pixel rules of the run-length path a
    // register at a time, without scanning the source for its runs.
    NormalBlitter(MemoryImage* dest, MemoryImage* src, const Color& color, bool glyphs = false)
        : mDest(dest->GetBits()), mDestWidth(dest->width), mSrc(src), mRows(src), mWhite(color.IsWhite())
    {
        if (!dest->hasTrans && !dest->hasAlpha && mWhite)
        {
            // Run-length path: opaque runs copied, transparent runs skipped, the rest blended.
            mRunLength = true;
            mByRegisters = glyphs;
            if (!mByRegisters)
            {
                src->CommitBits();
                mAllOpaque = !src->hasTrans && !src->hasAlpha && !src->forcedMode;
                // A source that is mostly opaque or transparent (a sprite's edge the only pixels
                // between) goes a register at a time too; one with more between walks its runs.
                const int64_t pixels = int64_t(src->width) * src->height;
                mSprite = mByRegisters = !mAllOpaque && src->bits && src->translucentPixels >= 0 &&
                                         src->translucentPixels * 4 <= pixels;
                if (!mAllOpaque && !mByRegisters) mRuns = src->GetRLAlphaData();
            }
        }
        mModulation = BlendRows::ModulationOf(color);
        mSrcBits = src->IsPalettized() ? nullptr : src->GetBits();
    }

    // The source's pixels taken from the font's forms of them (for the blit's colour).
    void UseTinted(const TintedGlyphs& forms, const Color& color)
    {
        mSrcBits = forms.plain;
        if (!mWhite && !mRunLength && forms.tinted && forms.color == color) mTinted = forms.tinted;
    }
    bool Tinted() const { return mTinted != nullptr; }
    // Draw of each glyph, inside both images, from the tinted forms.
    void DrawTinted(const GlyphBlit* glyphs, int count)
    {
        BlendRows::TintedOverGlyphs(mDest, mDestWidth, mSrcBits, mTinted, mSrc->width, glyphs, count,
                                    mModulation);
    }

    // srcRect at (x, y), both inside their images.
    void Draw(int x, int y, const Rect& srcRect)
    {
        int w = srcRect.mWidth, h = srcRect.mHeight;
        uint32_t* d = mDest + size_t(y) * size_t(mDestWidth) + size_t(x);
        if (mRunLength && !mByRegisters)
        {
            if (mAllOpaque && mSrcBits && mSrcBits != mDest)
            {
                BlendRows::CopyRect(d, mDestWidth,
                                    mSrcBits + size_t(srcRect.mY) * size_t(mSrc->width) + size_t(srcRect.mX),
                                    mSrc->width, w, h);
                return;
            }
            for (int j = 0; j < h; ++j, d += mDestWidth)
            {
                const uint32_t* s = mRows.Row(srcRect.mX, srcRect.mY + j, w);
                if (mAllOpaque)
                    CopyRow(d, s, w); // one run per row
                else
                    RunLengthRow(
                        d, s, mRuns + size_t(srcRect.mY + j) * size_t(mSrc->width) + size_t(srcRect.mX), w);
            }
            return;
        }
        const uint32_t* s;
        ptrdiff_t pitch;
        if (mSrcBits)
        {
            s = mSrcBits + size_t(srcRect.mY) * size_t(mSrc->width) + size_t(srcRect.mX);
            pitch = mSrc->width;
        }
        else if (size_t(w) * size_t(h) <= kLookedUpLimit)
        {
            // A palette image's rectangle (a glyph) looked up whole, then blended as one.
            mLookedUp.resize(size_t(w) * size_t(h));
            CopyOut(srcRect, mLookedUp.data(), w);
            s = mLookedUp.data();
            pitch = w;
        }
        else
        {
            for (int j = 0; j < h; ++j, d += mDestWidth)
                DrawPixels(d, mRows.Row(srcRect.mX, srcRect.mY + j, w), 0, w, 1);
            return;
        }
        DrawPixels(d, s, pitch, w, h);
    }

    // The pixels of a source as this blit's source pixels would be drawn, w x h at d (not on the
    // run-length path's runs); t: the same pixels tinted, when the blit has them.
    void DrawPixels(uint32_t* d, const uint32_t* s, ptrdiff_t pitch, int w, int h,
                    const uint32_t* t = nullptr)
    {
        if (t)
            BlendRows::TintedOverRect(d, mDestWidth, s, t, pitch, w, h, mModulation);
        else if (mSprite)
            BlendRows::SpriteOntoOpaqueRect(d, mDestWidth, s, pitch, w, h);
        else if (mByRegisters)
            BlendRows::OntoOpaqueRect(d, mDestWidth, s, pitch, w, h);
        else if (mWhite)
            BlendRows::OverRect(d, mDestWidth, s, pitch, w, h);
        else
            BlendRows::ModulatedOverRect(d, mDestWidth, s, pitch, w, h, mModulation);
    }

    uint32_t* DestAt(int x, int y) const { return mDest + size_t(y) * size_t(mDestWidth) + size_t(x); }

    // The source rectangle's pixels (or their tinted form) into out, rows pitch apart.
    void CopyOut(const Rect& srcRect, uint32_t* out, ptrdiff_t pitch, bool tinted = false)
    {
        const uint32_t* from = tinted ? mTinted : mSrcBits;
        for (int j = 0; j < srcRect.mHeight; ++j, out += pitch)
        {
            size_t start = size_t(srcRect.mY + j) * size_t(mSrc->width) + size_t(srcRect.mX);
            if (from)
            {
                CopyShortRow(out, from + start, srcRect.mWidth);
                continue;
            }
            const uint32_t* palette = mSrc->colorTable.get();
            const uint8_t* index = mSrc->colorIndices.get() + start;
            for (int i = 0; i < srcRect.mWidth; ++i)
                out[i] = palette[index[i]];
        }
    }

private:
    static void RunLengthRow(uint32_t* d, const uint32_t* s, const uint8_t* runs, int w)
    {
        int i = 0;
        while (i < w)
        {
            int run = std::clamp<int>(runs[i], 1, w - i);
            uint32_t a = s[i] >> 24;
            int cls = AlphaClass(s[i]);
            // Runs are capped at 255: join the pieces of a longer run of one class.
            while (i + run < w && AlphaClass(s[i + run]) == cls)
                run += std::clamp<int>(runs[i + run], 1, w - i - run);
            if (a == 255)
                CopyRow(d + i, s + i, run);
            else if (a != 0 && run < 8)
                for (int k = i; k < i + run; ++k)
                    d[k] = OpaqueOver(d[k], s[k], s[k] >> 24);
            else if (a != 0)
                BlendRows::OpaqueOverRow(d + i, s + i, run);
            i += run;
        }
    }

    uint32_t* mDest;
    ptrdiff_t mDestWidth;
    MemoryImage* mSrc;
    SourceRows mRows;
    bool mWhite;
    bool mRunLength = false;
    bool mAllOpaque = false;
    bool mByRegisters = false;
    bool mSprite = false; // by registers, a source mostly opaque or transparent
    const uint8_t* mRuns = nullptr;
    const uint32_t* mSrcBits = nullptr;
    const uint32_t* mTinted = nullptr;
    BlendRows::Modulation mModulation;
    static constexpr size_t kLookedUpLimit = 64 * 64;
    std::vector<uint32_t> mLookedUp;
};

void MemoryImage::NormalBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color)
{
    NormalBlitter(this, src, color).Draw(x, y, srcRect);
    BitsChanged();
}

void MemoryImage::BltGlyphs(Image* srcImage, const GlyphBlit* glyphs, int count, const Rect& clip,
                            const Color& color, int drawMode, const TintedGlyphs* tinted)
{
    MemoryImage* src = AsMemoryImage(srcImage);
    if (!src || count <= 0) return;
    if (drawMode != DRAWMODE_NORMAL || src == this)
    {
        Image::BltGlyphs(srcImage, glyphs, count, clip, color, drawMode);
        return;
    }
    src->drawn = true;
    NormalBlitter blitter(this, src, color, true);
    if (tinted && tinted->plain && tinted->width == src->width && tinted->height == src->height)
        blitter.UseTinted(*tinted, color);
    // Each glyph cut to the clip and both images; one inside them all is kept as it is.
    thread_local std::vector<GlyphBlit> placedGlyphs;
    if (placedGlyphs.size() < size_t(count)) placedGlyphs.resize(size_t(count));
    GlyphBlit* placed = placedGlyphs.data();
    int drawn = 0;
    const Rect box = clip.Intersection(Rect(0, 0, width, height));
    const int64_t boxRight = int64_t(box.mX) + box.mWidth, boxBottom = int64_t(box.mY) + box.mHeight;
    // Glyphs side by side, none over another, are gathered into one image of the line and blended
    // in one pass: every pixel gets what its one glyph would give it, and the gaps are transparent.
    bool apart = true;
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN, covered = 0;
    for (int i = 0; i < count; ++i)
    {
        GlyphBlit glyph = glyphs[i];
        const Rect& s = glyph.src;
        bool inside = s.mWidth > 0 && s.mHeight > 0 && s.mX >= 0 && s.mY >= 0 &&
                      int64_t(s.mX) + s.mWidth <= src->width && int64_t(s.mY) + s.mHeight <= src->height &&
                      glyph.x >= box.mX && glyph.y >= box.mY && int64_t(glyph.x) + s.mWidth <= boxRight &&
                      int64_t(glyph.y) + s.mHeight <= boxBottom;
        if (!inside && !(CutToClip(glyph, clip) && ClipBlit(this, src, glyph.x, glyph.y, glyph.src)))
            continue;
        placed[drawn++] = glyph;
        apart = apart && (glyph.x >= right || right == INT64_MIN);
        left = std::min<int64_t>(left, glyph.x);
        top = std::min<int64_t>(top, glyph.y);
        right = std::max<int64_t>(right, int64_t(glyph.x) + glyph.src.mWidth);
        bottom = std::max<int64_t>(bottom, int64_t(glyph.y) + glyph.src.mHeight);
        covered += int64_t(glyph.src.mWidth) * glyph.src.mHeight;
    }
    apart = apart && drawn >= 2;
    // With tinted glyphs, onto opaque or nearly opaque pixels (sampled along the line's middle
    // row), where the tinted form gives the pixels, each glyph is drawn straight from the images:
    // the gathering would cost more than the blend it saves.
    bool gather = apart && (right - left) * (bottom - top) <= 2 * covered;
    if (gather && blitter.Tinted())
    {
        const uint32_t* row = blitter.DestAt(int(left), int((top + bottom) / 2));
        bool opaque = true;
        for (int64_t i = 0; i < right - left && opaque; i += 7)
            opaque = row[i] >> 24 >= 254;
        gather = !opaque;
    }
    if (gather)
    {
        thread_local std::vector<uint32_t> line, tintedLine;
        int w = int(right - left), h = int(bottom - top);
        line.resize(size_t(w) * size_t(h));
        if (blitter.Tinted()) tintedLine.resize(line.size());
        // Each glyph's pixels, the gaps before it and above and below it transparent.
        auto clear = [&](int x, int y, int cw, int ch)
        {
            for (int j = y; j < y + ch; ++j)
            {
                std::fill_n(line.data() + size_t(j) * size_t(w) + size_t(x), cw, 0u);
                if (blitter.Tinted())
                    std::fill_n(tintedLine.data() + size_t(j) * size_t(w) + size_t(x), cw, 0u);
            }
        };
        int done = 0;
        for (const GlyphBlit& glyph : std::span(placed, size_t(drawn)))
        {
            int gx = int(glyph.x - left), gy = int(glyph.y - top);
            clear(done, 0, gx - done, h);
            clear(gx, 0, glyph.src.mWidth, gy);
            clear(gx, gy + glyph.src.mHeight, glyph.src.mWidth, h - gy - glyph.src.mHeight);
            done = gx + glyph.src.mWidth;
            size_t at = size_t(gy) * size_t(w) + size_t(gx);
            blitter.CopyOut(glyph.src, line.data() + at, w);
            if (blitter.Tinted()) blitter.CopyOut(glyph.src, tintedLine.data() + at, w, true);
        }
        blitter.DrawPixels(blitter.DestAt(int(left), int(top)), line.data(), w, w, h,
                           blitter.Tinted() ? tintedLine.data() : nullptr);
    }
    else if (blitter.Tinted())
        blitter.DrawTinted(placed, drawn);
    else
    {
        for (const GlyphBlit& glyph : std::span(placed, size_t(drawn)))
            blitter.Draw(glyph.x, glyph.y, glyph.src);
    }
    BitsChanged();
}

void MemoryImage::AdditiveBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color)
{
    uint32_t* dest = GetBits();
    src->CommitBits();
    bool srcAlpha = src->hasAlpha;
    bool white = color.IsWhite();
    uint32_t ca = Clamp255(color.mAlpha);
    uint32_t kr = Clamp255(color.mRed) * ca / 255, kg = Clamp255(color.mGreen) * ca / 255,
             kb = Clamp255(color.mBlue) * ca / 255;
    // A source with alpha adds its weighted form, made once for every blit of its pixels; one
    // without alpha its words (row by row when the image adds itself, as it always has).
    const uint32_t* words = nullptr;
    if (white && src != this)
        words = srcAlpha ? src->GetAlphaWeightedData() : src->IsPalettized() ? nullptr : src->GetBits();
    if (words)
    {
        BlendRows::AddRect(dest + size_t(y) * size_t(width) + size_t(x), width,
                           words + size_t(srcRect.mY) * size_t(src->width) + size_t(srcRect.mX), src->width,
                           srcRect.mWidth, srcRect.mHeight);
        BitsChanged();
        return;
    }
    SourceRows rows(src);
    int w = srcRect.mWidth;
    for (int j = 0; j < srcRect.mHeight; ++j)
    {
        uint32_t* d = dest + size_t(y + j) * size_t(width) + size_t(x);
        const uint32_t* s = rows.Row(srcRect.mX, srcRect.mY + j, w);
        if (white && !srcAlpha)
            BlendRows::AddRow(d, s, w);
        else if (white)
            BlendRows::AddAlphaRow(d, s, w);
        else
            AddColoredRow(d, s, w, kr, kg, kb, srcAlpha);
    }
    BitsChanged();
}

// ---------------------------------------------------------------------------------------------
// Rotated blits

void MemoryImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                       const Color& color, int drawMode)
{
    BltRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BltRotated(Image* srcImage, float x, float y, const Rect& srcRectIn, const Rect& clip,
                             const Color& color, int drawMode, double angle, float centerX, float centerY)
{
    MemoryImage* src = AsMemoryImage(srcImage);
    if (!src) return;
    src->drawn = true;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle) || !std::isfinite(centerX) ||
        !std::isfinite(centerY))
        return;
    // Only the part of the source rectangle inside the source image is sampled.
    Rect srcRect = srcRectIn.Intersection(Rect(0, 0, src->width, src->height));
    if (srcRect.mWidth < 2 || srcRect.mHeight < 2) return;
    Rect destClip = clip.Intersection(Rect(0, 0, width, height));
    RectD bounds;
    if (!CalcRotatedBltBounds(srcRectIn, destClip, x, y, centerX, centerY, angle, bounds)) return;

    uint32_t* dest = GetBits();
    RotatedBlit::Run run;
    if (src->IsPalettized())
    {
        run.indices = src->colorIndices.get();
        run.palette = src->colorTable.get();
    }
    else
    {
        run.bits = src->GetBits();
    }
    run.pitch = src->width;
    run.originX = srcRectIn.mX;
    run.originY = srcRectIn.mY;

    // The source point relative to srcRectIn; the sampled area is srcRect within it.
    const int64_t cosF = int64_t(std::cos(angle) * 65536.0), sinF = int64_t(std::sin(angle) * 65536.0);
    const int64_t cxF = int64_t(double(centerX) * 65536.0), cyF = int64_t(double(centerY) * 65536.0);
    const int64_t minU = int64_t(srcRect.mX - srcRectIn.mX) << 16, minV = int64_t(srcRect.mY - srcRectIn.mY)
                                                                          << 16;
    const int64_t maxU = minU + (int64_t(srcRect.mWidth - 1) << 16),
                  maxV = minV + (int64_t(srcRect.mHeight - 1) << 16);
    run.du = cosF;
    run.dv = sinF;

    RotatedBlit::Mode mode;
    mode.normal = drawMode == DRAWMODE_NORMAL;
    mode.white = color.IsWhite();
    mode.alpha = Clamp255(color.mAlpha);
    mode.red = Clamp255(color.mRed);
    mode.green = Clamp255(color.mGreen);
    mode.blue = Clamp255(color.mBlue);

    int x0 = int(std::floor(bounds.x)), y0 = int(std::floor(bounds.y));
    int x1 = int(std::ceil(bounds.x + bounds.width)), y1 = int(std::ceil(bounds.y + bounds.height));
    x0 = std::max(x0, destClip.mX);
    y0 = std::max(y0, destClip.mY);
    x1 = std::min(x1, destClip.mX + destClip.mWidth);
    y1 = std::min(y1, destClip.mY + destClip.mHeight);

    for (int Y = y0; Y < y1; ++Y)
    {
        double dy = double(Y) - centerY - y;
        double dx0 = double(x0) - centerX - x;
        int64_t u = int64_t(dx0 * double(cosF)) - int64_t(dy * double(sinF)) + cxF;
        int64_t v = int64_t(dy * double(cosF)) + int64_t(dx0 * double(sinF)) + cyF;
        // The columns whose source point lies inside the sampled area: where both of the
        // steps' lines are inside their ranges.
        int first = 0, end = x1 - x0;
        StepsInside(u, cosF, minU, maxU, first, end);
        StepsInside(v, sinF, minV, maxV, first, end);
        if (first >= end) continue;
        run.d = dest + size_t(Y) * size_t(width) + size_t(x0 + first);
        run.n = end - first;
        run.u = u + cosF * first;
        run.v = v + sinF * first;
        RotatedBlit::DrawRun(run, mode);
    }
    BitsChanged();
}

// ---------------------------------------------------------------------------------------------
// Stretched blits

void MemoryImage::StretchBlt(Image* srcImage, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                             const Color& color, int, bool fastStretch)
{
    MemoryImage* src = AsMemoryImage(srcImage);
    if (!src) return;
    src->drawn = true;
    Rect clipped;
    RectD part;
    if (!CalcStretchBltRects(destRect, clip.Intersection(Rect(0, 0, width, height)), srcRect, clipped, part))
        return;
    if (clipped.mWidth <= 0 || clipped.mHeight <= 0) return;
    double parts[4] = {part.x, part.y, part.width, part.height};
    if (fastStretch)
    {
        // Each pixel picked as the whole stretch picks it, however the clip cuts it: from the
        // whole source rectangle, counted from the whole destination's first pixel.
        const double whole[4] = {double(srcRect.mX), double(srcRect.mY), double(srcRect.mWidth),
                                 double(srcRect.mHeight)};
        FastStretchBlt(src, clipped, whole, color, clipped.mX - destRect.mX, clipped.mY - destRect.mY,
                       destRect.mWidth, destRect.mHeight);
    }
    else
        SlowStretchBlt(src, clipped, parts);
}

void MemoryImage::FastStretchBlt(MemoryImage* src, const Rect& dest, const double* part, const Color& color,
                                 int firstColumn, int firstRow, int wholeWidth, int wholeHeight)
{
    if (!color.IsWhite() || src->width <= 0 || src->height <= 0) return;
    uint32_t* words = GetBits();
    double xstep = part[2] / wholeWidth, ystep = part[3] / wholeHeight;
    StretchColumns columns(part[0], xstep, firstColumn, dest.mWidth, src->width);
    SourceRows source(src);
    std::vector<uint32_t> picked(size_t(dest.mWidth));
    // Destination rows of one source row blend the same picked pixels, picked once; not when
    // stretching onto itself, where a row drawn may be the source row read next.
    int pickedRow = -1;
    for (int j = 0; j < dest.mHeight; ++j)
    {
        int sy = std::clamp(TruncateToInt(part[1] + (firstRow + j) * ystep), 0, src->height - 1);
        if (sy != pickedRow || src == this)
        {
            columns.Pick(source.Row(0, sy, src->width), picked.data());
            pickedRow = sy;
        }
        BlendRows::OverRow(words + size_t(dest.mY + j) * size_t(width) + size_t(dest.mX), picked.data(),
                           dest.mWidth);
    }
    BitsChanged();
}

// The filtered stretch reads the source part's whole region: x0, y0 the floors of its start,
// cut to the image. Stretching an image onto itself reads a copy of the region, as the
// destination rows are written while source rows are still to be read.
void MemoryImage::SlowStretchBlt(MemoryImage* src, const Rect& dest, const double* part)
{
    double sx = part[0], sy = part[1], sw = part[2], sh = part[3];
    int x0 = TruncateToInt(std::floor(sx)), y0 = TruncateToInt(std::floor(sy));
    int64_t rw = int64_t(std::ceil(sx - x0 + sw)), rh = int64_t(std::ceil(sy - y0 + sh));
    if (x0 < 0)
    {
        rw += x0;
        x0 = 0;
    }
    if (y0 < 0)
    {
        rh += y0;
        y0 = 0;
    }
    rw = std::min<int64_t>(rw, src->width - x0);
    rh = std::min<int64_t>(rh, src->height - y0);
    if (rw < 1 || rh < 1) return;
    int regionW = int(rw), regionH = int(rh);

    FilteredStretch::Job job;
    job.width = dest.mWidth;
    job.height = dest.mHeight;
    job.sourceRows = regionH;
    job.across = FilteredStretch::AxisTaps(regionW, x0, sx, sw, dest.mWidth);
    job.down = FilteredStretch::AxisTaps(regionH, y0, sy, sh, dest.mHeight);
    SourceRows source(src);
    std::vector<uint32_t> copy;
    if (src == this)
    {
        copy.resize(size_t(regionW) * size_t(regionH));
        for (int row = 0; row < regionH; ++row)
            std::memcpy(copy.data() + size_t(row) * size_t(regionW), source.Row(x0, y0 + row, regionW),
                        size_t(regionW) * sizeof(uint32_t));
        job.row = [&](int row) { return copy.data() + size_t(row) * size_t(regionW); };
    }
    else
    {
        job.row = [&](int row) { return source.Row(x0, y0 + row, regionW); };
    }
    job.dest = GetBits() + size_t(dest.mY) * size_t(width) + size_t(dest.mX);
    job.destPitch = size_t(width);
    FilteredStretch::Draw(job);
    BitsChanged();
}

// ---------------------------------------------------------------------------------------------
// Matrix and triangle blits through the triangle rasteriser

int MemoryImage::RasterPixelFormat() const
{
    return forcedMode && !hasAlpha && !hasTrans ? 0x888 : 0x8888;
}

void MemoryImage::BltMatrix(Image* srcImage, float x, float y, const Matrix3& matrix, const Rect& clip,
                            const Color& color, int, const Rect& srcRect, bool blend)
{
    MemoryImage* src = AsMemoryImage(srcImage);
    if (!src) return;
    src->drawn = true;
    BltMatrixHelper(src, x, y, matrix, clip, color, srcRect, GetBits(), width * 4, RasterPixelFormat(),
                    blend);
    BitsChanged();
}

void MemoryImage::BltTrianglesTex(Image* srcImage, const TriVertex* triangles, int triangleCount,
                                  const Rect& clip, const Color& color, int, float tx, float ty, bool blend)
{
    MemoryImage* src = AsMemoryImage(srcImage);
    if (!src || !triangles) return;
    src->drawn = true;
    BltTrianglesTexHelper(src, triangles, triangleCount, clip, color, GetBits(), width * 4,
                          RasterPixelFormat(), tx, ty, blend);
    BitsChanged();
}

namespace
{

void DrawStrip(const Rect& clip, const Color& color, const TriVertex* vertices, int count, MemoryImage* src,
               uint32_t* destBits, int pitch, int format, bool blend, bool useVertexColors)
{
    src->CommitBits();
    RasterSourceImage source{src->width, src->height, src->GetBits(), src->hasTrans, src->hasAlpha};
    DrawClippedTriangleStrip(clip, color, vertices, count, &source, destBits, pitch, format, blend,
                             useVertexColors);
}

} // namespace

void MemoryImage::BltMatrixHelper(MemoryImage* src, float x, float y, const Matrix3& matrix, const Rect& clip,
                                  const Color& color, const Rect& srcRect, uint32_t* destBits, int pitch,
                                  int format, bool blend)
{
    if (src->width <= 0 || src->height <= 0) return;
    // The rasteriser never writes outside its clip: keep that inside this image.
    Rect destClip = clip.Intersection(Rect(0, 0, width, height));
    float sw = float(srcRect.mWidth), sh = float(srcRect.mHeight);
    float W = float(src->width), H = float(src->height);
    float corners[4][4] = {
        {-sw / 2, -sh / 2, srcRect.mX / W, srcRect.mY / H},
        {sw / 2, -sh / 2, (srcRect.mX + sw) / W, srcRect.mY / H},
        {-sw / 2, sh / 2, srcRect.mX / W, (srcRect.mY + sh) / H},
        {sw / 2, sh / 2, (srcRect.mX + sw) / W, (srcRect.mY + sh) / H},
    };
    TriVertex vertices[4];
    for (int i = 0; i < 4; ++i)
    {
        float tx, ty;
        Matrix3::TransformPoint(matrix, corners[i][0], corners[i][1], tx, ty);
        vertices[i].x = tx + x - 0.5f;
        vertices[i].y = ty + y - 0.5f;
        vertices[i].u = corners[i][2];
        vertices[i].v = corners[i][3];
        vertices[i].color = 0xFFFFFFFF;
    }
    DrawStrip(destClip, color, vertices, 4, src, destBits, pitch, format, blend, false);
}

void MemoryImage::BltTrianglesTexHelper(MemoryImage* src, const TriVertex* triangles, int triangleCount,
                                        const Rect& clip, const Color& color, uint32_t* destBits, int pitch,
                                        int format, float tx, float ty, bool blend)
{
    if (src->width <= 0 || src->height <= 0) return;
    Rect destClip = clip.Intersection(Rect(0, 0, width, height));
    for (int t = 0; t < triangleCount; ++t)
    {
        TriVertex vertices[3];
        bool colored = false;
        for (int k = 0; k < 3; ++k)
        {
            vertices[k] = triangles[t * 3 + k];
            vertices[k].x += tx;
            vertices[k].y += ty;
            colored = colored || vertices[k].color != 0;
        }
        DrawStrip(destClip, color, vertices, 3, src, destBits, pitch, format, blend, colored);
    }
}

} // namespace Kavo
