#include "raster/FillerPipelines.h"
#include "raster/TriangleFillers.h"

namespace Kavo
{

void NullTriangleRasterizer(const RasterVertex*, uint32_t*, int, const RasterTexture*, const RasterColor*) {}

#define KAVO_GOURAUD_FILLER(name, Format, modulate)                                                          \
    void name(const RasterVertex* vertices, uint32_t* destBits, int pitch, const RasterTexture*,             \
              const RasterColor* color)                                                                      \
    {                                                                                                        \
        FillGouraud<Format, modulate>(vertices, destBits, pitch, color);                                     \
    }

KAVO_GOURAUD_FILLER(Rasterize8888Gouraud, Format8888, false)
KAVO_GOURAUD_FILLER(Rasterize8888GouraudColor, Format8888, true)
KAVO_GOURAUD_FILLER(Rasterize888Gouraud, Format888, false)
KAVO_GOURAUD_FILLER(Rasterize888GouraudColor, Format888, true)
KAVO_GOURAUD_FILLER(Rasterize565Gouraud, Format565, false)
KAVO_GOURAUD_FILLER(Rasterize565GouraudColor, Format565, true)
KAVO_GOURAUD_FILLER(Rasterize555Gouraud, Format555, false)
KAVO_GOURAUD_FILLER(Rasterize555GouraudColor, Format555, true)

#undef KAVO_GOURAUD_FILLER

} // namespace Kavo
