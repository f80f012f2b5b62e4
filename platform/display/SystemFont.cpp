#include "platform/display/SystemFont.h"

#include "platform/files/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace platform
{

namespace
{

// FreeType's library object and fontconfig are shared by every font; opening and closing faces
// and matching names happen under this lock (fonts may be made on the loading thread).
std::mutex& LibraryLock()
{
    static std::mutex lock;
    return lock;
}

// Created on first use and kept for the life of the process, so that fonts held by static
// objects can still be closed at exit.
FT_Library Library()
{
    static FT_Library library = []
    {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

// Fontconfig loads its configuration on first use; its caches are released at exit.
void StartFontconfig()
{
    static bool started = []
    {
        FcInit();
        std::atexit(
            []
            {
                std::lock_guard<std::mutex> guard(LibraryLock());
                FcFini();
            });
        return true;
    }();
    (void)started;
}

int CeilPixels(FT_Pos value26_6)
{
    return int((value26_6 + 63) >> 6);
}

int RoundPixels(FT_Pos value26_6)
{
    return int((value26_6 + 32) >> 6);
}

struct Match
{
    std::string file;
    int index = 0;
    std::string family;
    bool embolden = false;
    bool oblique = false;
};

bool MatchFace(const FontRequest& request, const std::string& family, Match& match)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    std::string utf8 = Cp1252ToUtf8(family);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
    int weight = std::clamp(request.weight, 1, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, double(std::max(request.pixelHeight, 1)));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return false;

    bool ok = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file)
    {
        ok = true;
        match.file = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(found, FC_INDEX, 0, &match.index) != FcResultMatch) match.index = 0;
        FcChar8* name = nullptr;
        if (FcPatternGetString(found, FC_FAMILY, 0, &name) == FcResultMatch && name)
            match.family = reinterpret_cast<const char*>(name);
        int foundWeight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(found, FC_WEIGHT, 0, &foundWeight);
        int foundSlant = FC_SLANT_ROMAN;
        FcPatternGetInteger(found, FC_SLANT, 0, &foundSlant);
        match.embolden = weight >= 600 && FcWeightToOpenType(foundWeight) < 600;
        match.oblique = request.italic && foundSlant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(found);
    return ok;
}

// A rendered character: 8-bit coverage with its placement relative to the pen and baseline.
struct Glyph
{
    bool ready = false;
    FT_UInt index = 0;
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;
};

bool IsControl(unsigned char c)
{
    return c < 0x20;
}

// Source-over blend of one colour with the given coverage (0..255) into an ARGB pixel that may
// itself be transparent.
inline void BlendPixel(uint32_t& pixel, uint32_t rgb, int coverage)
{
    int sa = coverage;
    if (sa <= 0) return;
    int sr = int((rgb >> 16) & 0xFF), sg = int((rgb >> 8) & 0xFF), sb = int(rgb & 0xFF);
    if (sa >= 255)
    {
        pixel = 0xFF000000u | (rgb & 0xFFFFFFu);
        return;
    }
    int da = int(pixel >> 24);
    if (da == 0)
    {
        // What the general form below gives with no destination weight.
        pixel = uint32_t(sa << 24) | (rgb & 0xFFFFFFu);
        return;
    }
    int dr = int((pixel >> 16) & 0xFF), dg = int((pixel >> 8) & 0xFF), db = int(pixel & 0xFF);
    int inv = 255 - sa;
    if (da == 255)
    {
        int r = (sr * sa + dr * inv + 127) / 255;
        int g = (sg * sa + dg * inv + 127) / 255;
        int b = (sb * sa + db * inv + 127) / 255;
        pixel = 0xFF000000u | uint32_t(r << 16) | uint32_t(g << 8) | uint32_t(b);
        return;
    }
    int dw = (da * inv + 127) / 255; // what is left of the destination's own weight
    int oa = sa + dw;
    if (oa <= 0)
    {
        pixel = 0;
        return;
    }
    int r = (sr * sa + dr * dw + oa / 2) / oa;
    int g = (sg * sa + dg * dw + oa / 2) / oa;
    int b = (sb * sa + db * dw + oa / 2) / oa;
    pixel = uint32_t(oa << 24) | uint32_t(r << 16) | uint32_t(g << 8) | uint32_t(b);
}

// A row of coverage in an opaque colour (alpha 255): BlendPixel of each pixel. Four at a time
// where the four pixels are transparent, which each covered one becomes (coverage << 24) | rgb.
void BlendCoverageRow(uint32_t* out, const uint8_t* cov, long count, uint32_t rgb)
{
    long i = 0;
#ifdef __SSE2__
    const __m128i colour = _mm_set1_epi32(int(rgb & 0xFFFFFFu)), alphas = _mm_set1_epi32(int(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4)
    {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        int32_t four;
        std::memcpy(&four, cov + i, sizeof(four));
        if (four == 0) continue;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphas), zero)) != 0xFFFF)
        {
            for (long k = i; k < i + 4; ++k)
                if (cov[k]) BlendPixel(out[k], rgb, cov[k]);
            continue;
        }
        __m128i c = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero);
        __m128i bare = _mm_cmpeq_epi32(c, zero);
        __m128i drawn = _mm_or_si128(_mm_slli_epi32(c, 24), colour);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_and_si128(bare, d), _mm_andnot_si128(bare, drawn)));
    }
#endif
    for (; i < count; ++i)
        if (cov[i]) BlendPixel(out[i], rgb, cov[i]);
}

} // namespace

struct SystemFont::Impl
{
    FontRequest request;
    Match match;
    FontMetrics metrics;
    FT_Face face = nullptr;
    int underlineTop = 0; // relative to the baseline, downwards positive
    int underlineThickness = 1;
    std::array<Glyph, 256> glyphs;

    ~Impl()
    {
        if (face)
        {
            std::lock_guard<std::mutex> guard(LibraryLock());
            FT_Done_Face(face);
        }
    }

    bool OpenFace()
    {
        FT_Library library = Library();
        if (!library) return false;
        if (FT_New_Face(library, match.file.c_str(), match.index, &face) != 0)
        {
            face = nullptr;
            return false;
        }
        int pixels = std::max(request.pixelHeight, 1);
        if (FT_IS_SCALABLE(face))
        {
            if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) != 0) return false;
        }
        else if (face->num_fixed_sizes > 0)
        {
            // A bitmap-only face: the strike nearest to the request.
            int best = 0;
            for (int i = 1; i < face->num_fixed_sizes; ++i)
                if (std::abs(face->available_sizes[i].height - pixels) <
                    std::abs(face->available_sizes[best].height - pixels))
                    best = i;
            if (FT_Select_Size(face, best) != 0) return false;
        }
        else
        {
            return false;
        }
        ComputeMetrics();
        return true;
    }

    void ComputeMetrics()
    {
        const FT_Size_Metrics& size = face->size->metrics;
        int ascent = CeilPixels(size.ascender);
        int descent = CeilPixels(-size.descender);
        // Windows-style line metrics come from the OS/2 table when the face has one, so that the
        // line box covers every glyph the face designer meant to fit.
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && FT_IS_SCALABLE(face) && (os2->usWinAscent || os2->usWinDescent))
        {
            ascent = CeilPixels(FT_MulFix(os2->usWinAscent, size.y_scale));
            descent = CeilPixels(FT_MulFix(os2->usWinDescent, size.y_scale));
        }
        metrics.ascent = std::max(ascent, 0);
        metrics.descent = std::max(descent, 0);
        metrics.height = metrics.ascent + metrics.descent;
        metrics.lineSpacing = std::max(metrics.height, CeilPixels(size.height));

        if (FT_IS_SCALABLE(face))
        {
            underlineThickness = std::max(1, RoundPixels(FT_MulFix(face->underline_thickness, size.y_scale)));
            int position = RoundPixels(FT_MulFix(-face->underline_position, size.y_scale));
            underlineTop = std::max(1, position - underlineThickness / 2);
        }
        else
        {
            underlineThickness = 1;
            underlineTop = std::max(1, metrics.descent / 2);
        }
        if (match.embolden) underlineThickness += 1;
    }

    FT_UInt GlyphIndex(unsigned char c) { return FT_Get_Char_Index(face, Cp1252ToUnicode(c)); }

    const Glyph& GetGlyph(unsigned char c)
    {
        Glyph& glyph = glyphs[c];
        if (glyph.ready) return glyph;
        glyph.ready = true;
        if (IsControl(c)) return glyph;
        glyph.index = GlyphIndex(c);
        FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;
        if (FT_Load_Glyph(face, glyph.index, flags) != 0) return glyph;
        FT_GlyphSlot slot = face->glyph;
        if (match.oblique) FT_GlyphSlot_Oblique(slot);
        if (match.embolden) FT_GlyphSlot_Embolden(slot);
        glyph.advance = RoundPixels(slot->advance.x);
        if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            return glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = int(bitmap.width);
        glyph.rows = int(bitmap.rows);
        glyph.coverage.assign(size_t(glyph.width) * size_t(glyph.rows), 0);
        for (int row = 0; row < glyph.rows; ++row)
        {
            const unsigned char* src = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
            uint8_t* dst = glyph.coverage.data() + size_t(row) * size_t(glyph.width);
            for (int col = 0; col < glyph.width; ++col)
            {
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    dst[col] = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
                else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                    dst[col] = bitmap.num_grays == 256
                                   ? src[col]
                                   : uint8_t(src[col] * 255 / std::max(1, bitmap.num_grays - 1));
            }
        }
        return glyph;
    }

    int Kerning(unsigned char previous, unsigned char c)
    {
        if (!FT_HAS_KERNING(face) || IsControl(previous) || IsControl(c)) return 0;
        FT_Vector delta{};
        if (FT_Get_Kerning(face, GetGlyph(previous).index, GetGlyph(c).index, FT_KERNING_DEFAULT, &delta) !=
            0)
            return 0;
        return RoundPixels(delta.x);
    }
};

SystemFont::SystemFont(std::unique_ptr<Impl> impl) : mImpl(std::move(impl)) {}

SystemFont::~SystemFont() = default;

std::unique_ptr<SystemFont> SystemFont::Open(const FontRequest& request)
{
    auto impl = std::make_unique<Impl>();
    impl->request = request;
    impl->request.pixelHeight = std::max(request.pixelHeight, 1);
    std::lock_guard<std::mutex> guard(LibraryLock());
    StartFontconfig();
    // The requested face first, then the system's default sans-serif face.
    for (const std::string& family : {request.face, std::string("sans-serif")})
    {
        if (!MatchFace(impl->request, family, impl->match)) continue;
        if (impl->OpenFace()) return std::unique_ptr<SystemFont>(new SystemFont(std::move(impl)));
        if (impl->face) FT_Done_Face(impl->face);
        impl->face = nullptr;
    }
    return nullptr;
}

std::unique_ptr<SystemFont> SystemFont::Clone() const
{
    auto impl = std::make_unique<Impl>();
    impl->request = mImpl->request;
    impl->match = mImpl->match;
    std::lock_guard<std::mutex> guard(LibraryLock());
    if (!impl->OpenFace())
    {
        if (impl->face) FT_Done_Face(impl->face);
        impl->face = nullptr;
        return nullptr;
    }
    return std::unique_ptr<SystemFont>(new SystemFont(std::move(impl)));
}

const FontRequest& SystemFont::Request() const
{
    return mImpl->request;
}

const FontMetrics& SystemFont::Metrics() const
{
    return mImpl->metrics;
}

const std::string& SystemFont::FamilyName() const
{
    return mImpl->match.family;
}

const std::string& SystemFont::FilePath() const
{
    return mImpl->match.file;
}

int SystemFont::CharWidth(unsigned char c)
{
    return mImpl->GetGlyph(c).advance;
}

int SystemFont::Kerning(unsigned char previous, unsigned char c)
{
    return mImpl->Kerning(previous, c);
}

int SystemFont::TextWidth(std::string_view text, bool kerning)
{
    int widest = 0;
    int line = 0;
    unsigned char previous = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n')
        {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            widest = std::max(widest, line);
            line = 0;
            previous = 0;
            continue;
        }
        if (IsControl(c)) continue;
        if (kerning && previous) line += mImpl->Kerning(previous, c);
        line += mImpl->GetGlyph(c).advance;
        previous = c;
    }
    return std::max(widest, line);
}

void SystemFont::DrawText(const PixelBuffer& target, int x, int y, std::string_view text, uint32_t argb,
                          const ClipBox& clip, bool kerning)
{
    if (!target.pixels || target.width <= 0 || target.height <= 0 || target.pitch < target.width) return;
    // The visible box: the clip within the buffer, as half-open bounds.
    long left = std::max<long>(clip.x, 0);
    long top = std::max<long>(clip.y, 0);
    long right = std::min<long>(long(clip.x) + std::max(clip.width, 0), target.width);
    long bottom = std::min<long>(long(clip.y) + std::max(clip.height, 0), target.height);
    if (left >= right || top >= bottom) return;

    int alpha = int(argb >> 24);
    if (alpha == 0) return;
    uint32_t rgb = argb & 0xFFFFFFu;
    long baseline = long(y) + mImpl->metrics.ascent;

    auto blendCoverage = [&](long px, long py, int coverage)
    {
        if (px < left || px >= right || py < top || py >= bottom) return;
        int a = alpha == 255 ? coverage : (coverage * alpha + 127) / 255;
        BlendPixel(target.pixels[size_t(py) * size_t(target.pitch) + size_t(px)], rgb, a);
    };

    long pen = x;
    unsigned char previous = 0;
    for (char ch : text)
    {
        unsigned char c = static_cast<unsigned char>(ch);
        if (IsControl(c)) continue;
        if (kerning && previous) pen += mImpl->Kerning(previous, c);
        const Glyph& glyph = mImpl->GetGlyph(c);
        long gx = pen + glyph.left;
        long gy = baseline - glyph.top;
        // Rows and columns of the glyph that fall inside the visible box.
        long r0 = std::max<long>(0, top - gy), r1 = std::min<long>(glyph.rows, bottom - gy);
        long c0 = std::max<long>(0, left - gx), c1 = std::min<long>(glyph.width, right - gx);
        for (long row = r0; row < r1; ++row)
        {
            const uint8_t* cov = glyph.coverage.data() + size_t(row) * size_t(glyph.width);
            uint32_t* out = target.pixels + size_t(gy + row) * size_t(target.pitch);
            if (alpha == 255)
            {
                if (c1 > c0) BlendCoverageRow(out + gx + c0, cov + c0, c1 - c0, rgb);
                continue;
            }
            for (long col = c0; col < c1; ++col)
                if (cov[col]) BlendPixel(out[gx + col], rgb, (cov[col] * alpha + 127) / 255);
        }
        pen += glyph.advance;
        previous = c;
    }

    if (mImpl->request.underline && pen > x)
    {
        long uy = baseline + mImpl->underlineTop;
        for (long row = uy; row < uy + mImpl->underlineThickness; ++row)
            for (long col = x; col < pen; ++col)
                blendCoverage(col, row, 255);
    }
}

} // namespace platform
