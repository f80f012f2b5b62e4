// The AVX2 form of the vertical pass and blend of FilteredStretch::Draw; this file alone is
// compiled for AVX2, and its function is called only where the processor has it.
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)

#include "graphics/Avx2Register.h"
#include "graphics/FilteredStretchKernels.h"

namespace Kavo::FilteredStretch::Avx2
{

void FilterRow(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
    FilterRowWith<Avx2Register>(d, pairs, count, bias, n);
}

} // namespace Kavo::FilteredStretch::Avx2

#endif
