// Textured triangles times the interpolated vertex colours: the vertex alpha alone decides between
// an opaque write and a blend; the texels' own alpha takes no part.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

KAVO_TEXTURED_FILLER(Rasterize8888TexPointVertex, Format8888, kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearVertex, Format8888, kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize8888TexPointVertexColor, Format8888, kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearVertexColor, Format8888,
                     kRasterVertexColors | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointVertex, Format888, kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearVertex, Format888, kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointVertexColor, Format888, kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearVertexColor, Format888,
                     kRasterVertexColors | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointVertex, Format565, kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearVertex, Format565, kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointVertexColor, Format565, kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearVertexColor, Format565,
                     kRasterVertexColors | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointVertex, Format555, kRasterVertexColors)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearVertex, Format555, kRasterVertexColors | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointVertexColor, Format555, kRasterVertexColors | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearVertexColor, Format555,
                     kRasterVertexColors | kRasterModulate | kRasterBilinear)

} // namespace Kavo
