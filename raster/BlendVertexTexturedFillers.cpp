// Textured triangles blended by the texels' alpha times the vertex alpha and coloured by the vertex
// colours; the skip test looks at the texel's alpha alone.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

// The members of this family for one destination format (fmt in the names, Format the pixels).
#define KAVO_BLEND_VERTEX_TEXTURED_FILLERS(fmt, Format)                                                      \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointBlendVertex, Format, kRasterBlend | kRasterVertexColors)    \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearBlendVertex, Format,                                     \
                         kRasterBlend | kRasterVertexColors | kRasterBilinear)                               \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointBlendVertexColor, Format,                                   \
                         kRasterBlend | kRasterVertexColors | kRasterModulate)                               \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearBlendVertexColor, Format,                                \
                         kRasterBlend | kRasterVertexColors | kRasterModulate | kRasterBilinear)

KAVO_BLEND_VERTEX_TEXTURED_FILLERS(8888, Format8888)
KAVO_BLEND_VERTEX_TEXTURED_FILLERS(888, Format888)
KAVO_BLEND_VERTEX_TEXTURED_FILLERS(565, Format565)
KAVO_BLEND_VERTEX_TEXTURED_FILLERS(555, Format555)

#undef KAVO_BLEND_VERTEX_TEXTURED_FILLERS

} // namespace Kavo
