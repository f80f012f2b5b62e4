// Textured triangles times the interpolated vertex colours: the vertex alpha alone decides between
// an opaque write and a blend; the texels' own alpha takes no part.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

// The members of this family for one destination format (fmt in the names, Format the pixels).
#define KAVO_VERTEX_TEXTURED_FILLERS(fmt, Format)                                                            \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointVertex, Format, kRasterVertexColors)                        \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearVertex, Format, kRasterVertexColors | kRasterBilinear)   \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointVertexColor, Format, kRasterVertexColors | kRasterModulate) \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearVertexColor, Format,                                     \
                         kRasterVertexColors | kRasterModulate | kRasterBilinear)

KAVO_VERTEX_TEXTURED_FILLERS(8888, Format8888)
KAVO_VERTEX_TEXTURED_FILLERS(888, Format888)
KAVO_VERTEX_TEXTURED_FILLERS(565, Format565)
KAVO_VERTEX_TEXTURED_FILLERS(555, Format555)

#undef KAVO_VERTEX_TEXTURED_FILLERS

} // namespace Kavo
