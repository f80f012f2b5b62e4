// Textured triangles blended by the texels' alpha: texels of alpha 8 or less are skipped, those
// of 240 or more written opaque, the rest blended over the destination.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

KAVO_TEXTURED_FILLER(Rasterize8888TexPointBlend, Format8888, kRasterBlend)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearBlend, Format8888, kRasterBlend | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize8888TexPointBlendColor, Format8888, kRasterBlend | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinearBlendColor, Format8888,
                     kRasterBlend | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointBlend, Format888, kRasterBlend)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearBlend, Format888, kRasterBlend | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize888TexPointBlendColor, Format888, kRasterBlend | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize888TexBilinearBlendColor, Format888,
                     kRasterBlend | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointBlend, Format565, kRasterBlend)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearBlend, Format565, kRasterBlend | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPointBlendColor, Format565, kRasterBlend | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinearBlendColor, Format565,
                     kRasterBlend | kRasterModulate | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointBlend, Format555, kRasterBlend)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearBlend, Format555, kRasterBlend | kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPointBlendColor, Format555, kRasterBlend | kRasterModulate)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinearBlendColor, Format555,
                     kRasterBlend | kRasterModulate | kRasterBilinear)

} // namespace Kavo
