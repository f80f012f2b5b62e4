// Textured triangles blended by the texels' alpha times the vertex alpha and coloured by the vertex
// colours; the skip test looks at the texel's alpha alone.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

KAVO_TEXTURED_FILLER(Rasterize8888TexPointBlendVertex, Format8888, kRasterBlend | kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearBlendVertex, Format8888,
                     kRasterBlend | kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize8888TexPointBlendVertexColor, Format8888,
                     kRasterBlend | kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearBlendVertexColor, Format8888,
                     kRasterBlend | kRasterVertexColors | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointBlendVertex, Format888, kRasterBlend | kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearBlendVertex, Format888,
                     kRasterBlend | kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointBlendVertexColor, Format888,
                     kRasterBlend | kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearBlendVertexColor, Format888,
                     kRasterBlend | kRasterVertexColors | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointBlendVertex, Format565, kRasterBlend | kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearBlendVertex, Format565,
                     kRasterBlend | kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointBlendVertexColor, Format565,
                     kRasterBlend | kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearBlendVertexColor, Format565,
                     kRasterBlend | kRasterVertexColors | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointBlendVertex, Format555, kRasterBlend | kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearBlendVertex, Format555,
                     kRasterBlend | kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointBlendVertexColor, Format555,
                     kRasterBlend | kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearBlendVertexColor, Format555,
                     kRasterBlend | kRasterVertexColors | kRasterModulate | kRasterBilinear)

} // namespace Kavo
