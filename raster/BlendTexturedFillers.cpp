// Textured triangles blended by the texels' alpha: texels of alpha 8 or less are skipped, those
// of 240 or more written opaque, the rest blended over the destination.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

// The members of this family for one destination format (fmt in the names, Format the pixels).
#define KAVO_BLEND_TEXTURED_FILLERS(fmt, Format)                                                             \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointBlend, Format, kRasterBlend)                                \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearBlend, Format, kRasterBlend | kRasterBilinear)           \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointBlendColor, Format, kRasterBlend | kRasterModulate)         \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearBlendColor, Format,                                      \
                         kRasterBlend | kRasterModulate | kRasterBilinear)

KAVO_BLEND_TEXTURED_FILLERS(8888, Format8888)
KAVO_BLEND_TEXTURED_FILLERS(888, Format888)
KAVO_BLEND_TEXTURED_FILLERS(565, Format565)
KAVO_BLEND_TEXTURED_FILLERS(555, Format555)

#undef KAVO_BLEND_TEXTURED_FILLERS

} // namespace Kavo
