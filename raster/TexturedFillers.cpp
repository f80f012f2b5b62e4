// Textured triangles without vertex colours or blending: every covered pixel is written opaque,
// except where a constant colour with a low alpha blends it over the destination.

#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

// The members with the constant colour for one destination format (fmt in the names, Format the
// pixels).
#define KAVO_PLAIN_TEXTURED_FILLERS(fmt, Format)                                                             \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexPointColor, Format, kRasterModulate)                             \
    KAVO_TEXTURED_FILLER(Rasterize##fmt##TexBilinearColor, Format, kRasterModulate | kRasterBilinear)

// The plain point and bilinear members serve both 32-bit formats.
KAVO_TEXTURED_FILLER(Rasterize8888TexPoint, Format8888, 0)
KAVO_TEXTURED_FILLER(Rasterize8888TexBilinear, Format8888, kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize565TexPoint, Format565, 0)
KAVO_TEXTURED_FILLER(Rasterize565TexBilinear, Format565, kRasterBilinear)
KAVO_TEXTURED_FILLER(Rasterize555TexPoint, Format555, 0)
KAVO_TEXTURED_FILLER(Rasterize555TexBilinear, Format555, kRasterBilinear)

KAVO_PLAIN_TEXTURED_FILLERS(8888, Format8888)
KAVO_PLAIN_TEXTURED_FILLERS(888, Format888)
KAVO_PLAIN_TEXTURED_FILLERS(565, Format565)
KAVO_PLAIN_TEXTURED_FILLERS(555, Format555)

#undef KAVO_PLAIN_TEXTURED_FILLERS

} // namespace Kavo
