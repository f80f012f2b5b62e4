#include "graphics/BlendRows.h"

#include "graphics/BlendRowsKernels.h"
#include "graphics/Sse2Register.h"

#include <atomic>

namespace Kavo::BlendRows
{

#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)
// The AVX2 forms, in BlendRowsAvx2.cpp (compiled for AVX2, run only where the processor has it).
namespace Avx2
{
void OpaqueOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);
void OverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);
void ModulatedOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m);
void AddAlphaRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n);
void AddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
void CopyRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
void OverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
void ModulatedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h,
                       const Modulation& m);
void OntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
void SpriteOntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h);
void TintedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* t, ptrdiff_t sPitch,
                    int w, int h, const Modulation& m);
void TintedOverGlyphs(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* t, ptrdiff_t sPitch,
                      const GlyphBlit* glyphs, int count, const Modulation& m);
} // namespace Avx2
#endif

namespace
{

#ifdef __SSE2__
using Sse2 = Sse2Register;
#else
// Without SSE2 the loops run one pixel at a time: a "register" of no pixels sends every pixel
// to the tail.
struct Sse2
{
    using Reg = uint32_t;
    static constexpr int kPixels = 1 << 30;
    static constexpr bool kPartial = false;
    static Reg Load(const uint32_t* p) { return *p; }
    static void Store(uint32_t* p, Reg v) { *p = v; }
    static Reg LoadPart(const uint32_t* p, int, uint32_t) { return *p; }
    static void StorePart(uint32_t* p, Reg v, int) { *p = v; }
    static Reg Zero() { return 0; }
    static Reg Set32(uint32_t v) { return v; }
    static Reg Set16(uint16_t v) { return v; }
    static Reg SetLanes16(uint16_t b, uint16_t, uint16_t, uint16_t) { return b; }
    static Reg UnpackLo8(Reg a, Reg) { return a; }
    static Reg UnpackHi8(Reg a, Reg) { return a; }
    static Reg Packus16(Reg a, Reg) { return a; }
    static Reg Mullo16(Reg a, Reg b) { return a * b; }
    static Reg Mulhi16u(Reg a, Reg b) { return a * b; }
    static Reg Srli16(Reg a, int k) { return a >> k; }
    static Reg Add16(Reg a, Reg b) { return a + b; }
    static Reg AddSat8u(Reg a, Reg b) { return a + b; }
    static Reg Sub16(Reg a, Reg b) { return a - b; }
    static Reg And(Reg a, Reg b) { return a & b; }
    static Reg AndNot(Reg a, Reg b) { return ~a & b; }
    static Reg Or(Reg a, Reg b) { return a | b; }
    static Reg Max16(Reg a, Reg b) { return a > b ? a : b; }
    static Reg CmpEq32(Reg a, Reg b) { return a == b ? ~0u : 0u; }
    static Reg CmpGt32(Reg a, Reg b) { return int32_t(a) > int32_t(b) ? ~0u : 0u; }
    static Reg Srli32(Reg a, int k) { return a >> k; }
    static Reg Slli32(Reg a, int k) { return a << k; }
    static Reg DivTrunc32(Reg a, Reg b) { return a / b; }
    static Reg BroadcastAlpha16(Reg a) { return a; }
    static Reg ChannelLanesLo(Reg a) { return a; }
    static Reg ChannelLanesHi(Reg a) { return a; }
    static Reg AlphaInColourLanesLo(Reg a) { return a; }
    static Reg AlphaInColourLanesHi(Reg a) { return a; }
    static bool AllOnes(Reg a) { return a == ~0u; }
    static bool AllZero(Reg a) { return a == 0; }
};
#endif

// The forms used: AVX2 where the processor has it (and it is allowed), SSE2 otherwise.
struct Forms
{
    void (*opaqueOver)(uint32_t*, const uint32_t*, int) = OpaqueOverRowWith<Sse2>;
    void (*over)(uint32_t*, const uint32_t*, int) = OverRowWith<Sse2>;
    void (*modulatedOver)(uint32_t*, const uint32_t*, int, const Modulation&) = ModulatedOverRowWith<Sse2>;
    void (*addAlpha)(uint32_t*, const uint32_t*, int) = AddAlphaRowWith<Sse2>;
    void (*addRect)(uint32_t*, ptrdiff_t, const uint32_t*, ptrdiff_t, int, int) = AddRectWith<Sse2>;
    void (*copyRect)(uint32_t*, ptrdiff_t, const uint32_t*, ptrdiff_t, int, int) = CopyRectWith<Sse2>;
    void (*overRect)(uint32_t*, ptrdiff_t, const uint32_t*, ptrdiff_t, int, int) = OverRectWith<Sse2>;
    void (*modulatedOverRect)(uint32_t*, ptrdiff_t, const uint32_t*, ptrdiff_t, int, int,
                              const Modulation&) = ModulatedOverRectWith<Sse2>;
    void (*ontoOpaqueRect)(uint32_t*, ptrdiff_t, const uint32_t*, ptrdiff_t, int,
                           int) = OntoOpaqueRectWith<Sse2>;
    void (*spriteOntoOpaqueRect)(uint32_t*, ptrdiff_t, const uint32_t*, ptrdiff_t, int,
                                 int) = OntoOpaqueRectWith<Sse2, true>;
    void (*tintedOverRect)(uint32_t*, ptrdiff_t, const uint32_t*, const uint32_t*, ptrdiff_t, int, int,
                           const Modulation&) = TintedOverRectWith<Sse2>;
    void (*tintedOverGlyphs)(uint32_t*, ptrdiff_t, const uint32_t*, const uint32_t*, ptrdiff_t,
                             const GlyphBlit*, int, const Modulation&) = TintedOverGlyphsWith<Sse2>;
    explicit Forms(bool wide)
    {
        (void)wide;
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)
        if (wide && __builtin_cpu_supports("avx2"))
        {
            opaqueOver = Avx2::OpaqueOverRow;
            over = Avx2::OverRow;
            modulatedOver = Avx2::ModulatedOverRow;
            addAlpha = Avx2::AddAlphaRow;
            addRect = Avx2::AddRect;
            copyRect = Avx2::CopyRect;
            overRect = Avx2::OverRect;
            modulatedOverRect = Avx2::ModulatedOverRect;
            ontoOpaqueRect = Avx2::OntoOpaqueRect;
            spriteOntoOpaqueRect = Avx2::SpriteOntoOpaqueRect;
            tintedOverRect = Avx2::TintedOverRect;
            tintedOverGlyphs = Avx2::TintedOverGlyphs;
        }
#endif
    }
};

const Forms gNarrow(false);
std::atomic<const Forms*> gForms{nullptr};

const Forms& GetForms()
{
    const Forms* forms = gForms.load(std::memory_order_relaxed);
    if (forms) return *forms;
    static const Forms wide(true);
    gForms.store(&wide, std::memory_order_relaxed);
    return wide;
}

} // namespace

bool HasWideForms()
{
    return GetForms().over != gNarrow.over;
}

void AllowWideForms(bool allow)
{
    static const Forms wide(true);
    gForms.store(allow ? &wide : &gNarrow, std::memory_order_relaxed);
}

void OpaqueOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    GetForms().opaqueOver(d, s, n);
}

void OverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    GetForms().over(d, s, n);
}

void ModulatedOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m)
{
    GetForms().modulatedOver(d, s, n, m);
}

void AddAlphaRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    GetForms().addAlpha(d, s, n);
}

void AddRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    AddRect(d, 0, s, 0, n, 1);
}

void AddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    GetForms().addRect(d, dPitch, s, sPitch, w, h);
}

void CopyRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    GetForms().copyRect(d, dPitch, s, sPitch, w, h);
}

void OverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    GetForms().overRect(d, dPitch, s, sPitch, w, h);
}

void ModulatedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h,
                       const Modulation& m)
{
    GetForms().modulatedOverRect(d, dPitch, s, sPitch, w, h, m);
}

void OntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    GetForms().ontoOpaqueRect(d, dPitch, s, sPitch, w, h);
}

void SpriteOntoOpaqueRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    GetForms().spriteOntoOpaqueRect(d, dPitch, s, sPitch, w, h);
}

void TintedOverRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* tinted,
                    ptrdiff_t sPitch, int w, int h, const Modulation& m)
{
    GetForms().tintedOverRect(d, dPitch, s, tinted, sPitch, w, h, m);
}

void TintedOverGlyphs(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* tinted,
                      ptrdiff_t sPitch, const GlyphBlit* glyphs, int count, const Modulation& m)
{
    GetForms().tintedOverGlyphs(d, dPitch, s, tinted, sPitch, glyphs, count, m);
}

} // namespace Kavo::BlendRows
