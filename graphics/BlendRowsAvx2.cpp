// The AVX2 forms of the rows of BlendRows; this file alone is compiled for AVX2, and its
// functions are called only where the processor has it.
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)

#include "graphics/Avx2Register.h"
#include "graphics/BlendRowsKernels.h"

namespace Kavo::BlendRows::Avx2
{

using Avx2Reg = Avx2Register;

void OpaqueOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    OpaqueOverRowWith<Avx2Reg>(d, s, n);
}

void OverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    OverRowWith<Avx2Reg>(d, s, n);
}

void ModulatedOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m)
{
    ModulatedOverRowWith<Avx2Reg>(d, s, n, m);
}

void AddAlphaRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    AddAlphaRowWith<Avx2Reg>(d, s, n);
}

void AddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    AddRectWith<Avx2Reg>(d, dPitch, s, sPitch, w, h);
}

void CopyRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    CopyRectWith<Avx2Reg>(d, dPitch, s, sPitch, w, h);
}

void OverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    OverRectWith<Avx2Reg>(d, dPitch, s, sPitch, w, h);
}

void ModulatedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h,
                       const Modulation& m)
{
    ModulatedOverRectWith<Avx2Reg>(d, dPitch, s, sPitch, w, h, m);
}

void OntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    OntoOpaqueRectWith<Avx2Reg>(d, dPitch, s, sPitch, w, h);
}

void SpriteOntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    OntoOpaqueRectWith<Avx2Reg, true>(d, dPitch, s, sPitch, w, h);
}

void TintedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* t, ptrdiff_t sPitch,
                    int w, int h, const Modulation& m)
{
    TintedOverRectWith<Avx2Reg>(d, dPitch, s, t, sPitch, w, h, m);
}

void TintedOverGlyphs(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* t, ptrdiff_t sPitch,
                      const GlyphBlit* glyphs, int count, const Modulation& m)
{
    TintedOverGlyphsWith<Avx2Reg>(d, dPitch, s, t, sPitch, glyphs, count, m);
}

} // namespace Kavo::BlendRows::Avx2

#endif
