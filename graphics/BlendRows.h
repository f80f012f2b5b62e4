#pragma once

#include "base/Color.h"
#include "graphics/GlyphBlit.h"
#include "graphics/PixelBlend.h"

#include <cstddef>
#include <cstdint>

// Whole rows of the software image's "over" rules, four (SSE2) or eight (AVX2, chosen when the
// processor has it) pixels at a time. Every row gives exactly the pixels of the one-pixel rules
// in PixelBlend: over opaque destination pixels the rules' tables reduce to outA = 255 and
// w = a; over any other the wide forms compute the tables' two divisions exactly; the pixels
// past the last whole register take the one-pixel rule.
namespace Kavo::BlendRows
{

// A colour the source is drawn in: each channel and the alpha 0-255. Grey colours (red, green
// and blue equal) round in their own order.
struct Modulation
{
    uint32_t alpha = 255;
    uint32_t red = 255, green = 255, blue = 255;
    bool grey = false;
};

// The source's part of rule over with a modulated source at weight w, as channels of a word.
inline uint32_t ModulatedShare(uint32_t sp, uint32_t w, const Modulation& m)
{
    using namespace PixelBlend;
    uint32_t r, g, b;
    if (m.grey)
    {
        r = (((Red(sp) * m.red) >> 8) * w) >> 8;
        b = (((Blue(sp) * m.red) >> 8) * w) >> 8;
        g = (Green(sp) * w * m.red) >> 16;
    }
    else
    {
        r = (((Red(sp) * w) >> 8) * m.red) >> 8;
        g = (Green(sp) * w * m.green) >> 16;
        b = (Blue(sp) * w * m.blue) >> 16;
    }
    return (r << 16) | (g << 8) | b;
}

// The modulation of drawing in a colour (its channels held to 0-255).
inline Modulation ModulationOf(const Color& color)
{
    using PixelBlend::Clamp255;
    Modulation m;
    m.alpha = Clamp255(color.mAlpha);
    m.red = Clamp255(color.mRed);
    m.green = Clamp255(color.mGreen);
    m.blue = Clamp255(color.mBlue);
    m.grey = !color.IsWhite() && color.mRed == color.mGreen && color.mGreen == color.mBlue;
    return m;
}

// Rule over with a modulated source, one pixel: a = sa x alpha / 255, nothing drawn at a = 0.
inline uint32_t ModulatedOver(uint32_t dp, uint32_t sp, const Modulation& m, const PixelBlend::OverTables& t)
{
    using namespace PixelBlend;
    uint32_t a = (sp >> 24) * m.alpha / 255;
    if (a == 0) return dp;
    uint32_t outA = t.outAlpha[dp >> 24][a];
    uint32_t w = t.weight[outA][a];
    return (outA << 24) | (SplitKeep(dp, w) + ModulatedShare(sp, w, m));
}

// A source pixel tinted for opaque destination pixels, where the rule's weight is a: alpha
// a = sa x alpha / 255 and the channels ModulatedShare(sp, a). Onto an opaque pixel dp,
// ModulatedOver gives 0xFF000000 | (SplitKeep(dp, a) + the tinted channels).
inline uint32_t TintedPixel(uint32_t sp, const Modulation& m)
{
    uint32_t a = (sp >> 24) * m.alpha / 255;
    return a << 24 | ModulatedShare(sp, a, m);
}

// Whether the rows run in a form wider than SSE2 (AVX2). AllowWideForms(false) keeps them to
// SSE2 (for comparing the two forms); they are allowed from the start.
bool HasWideForms();
void AllowWideForms(bool allow);

// Rule opaque-over onto a destination taken as opaque: every pixel
// 0xFF000000 | (d (256 - a)) >> 8 + (s a) >> 8 per channel.
void OpaqueOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);

// Rule over-split with an unmodulated source.
void OverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);

// Rule over with a modulated source (ModulatedOver).
void ModulatedOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m);

// OverRow and ModulatedOverRow over h rows of w pixels, the rows pitch pixels apart, with the
// setup done once (a glyph is a dozen short rows).
void OverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
void ModulatedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h,
                       const Modulation& m);

// ModulatedOverRect with each source pixel also given tinted (TintedPixel, the same pitch):
// opaque destination pixels take the tinted form, which spares the modulation.
void TintedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* tinted,
                    ptrdiff_t sPitch, int w, int h, const Modulation& m);
// TintedOverRect of each glyph in turn, set up once: glyph i's source rectangle of the images
// (s, tinted) at (x, y) of the destination, each inside its image.
void TintedOverGlyphs(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* tinted,
                      ptrdiff_t sPitch, const GlyphBlit* glyphs, int count, const Modulation& m);

// The rules of an unmodulated source onto a destination taken as opaque, per pixel: opaque
// source pixels copied, transparent ones left, the others OpaqueOver.
void OntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
// The same for a sprite, mostly opaque and transparent: registers of opaque pixels are copied.
void SpriteOntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);

// Additive with the source weighted by its alpha: each channel min(d + (s a) >> 8, 255), the
// destination alpha kept.
void AddAlphaRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);

// h rows of w words copied, the rows pitch words apart (the images apart).
void CopyRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);

// Additive: each channel min(d + s, 255), the destination alpha kept (the source's alpha adds
// nothing); AddRect over h rows of w pixels, the rows pitch pixels apart.
void AddRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);
void AddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);

} // namespace Kavo::BlendRows
