// Textured triangles without vertex colours or blending: every covered pixel is written opaque,
// except where a constant colour with a low alpha blends it over the destination.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

KAVO_TEXTURED_FILLER(Rasterize8888TexPoint, Format8888, 0)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinear, Format8888, kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize8888TexPointColor, Format8888, kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearColor, Format8888, kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointColor, Format888, kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearColor, Format888, kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPoint, Format565, 0)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinear, Format565, kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointColor, Format565, kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearColor, Format565, kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPoint, Format555, 0)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinear, Format555, kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointColor, Format555, kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearColor, Format555, kRasterModulate | kRasterBilinear)

} // namespace Kavo
