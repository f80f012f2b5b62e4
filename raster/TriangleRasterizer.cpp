#include "raster/TriangleRasterizer.h"

namespace Kavo
{

// The fillers, the clipper and the driver arrive in the following commits; until then the
// entry points link and draw nothing.
void InitTriangleRasterizerTable() {}

void DrawClippedTriangleStrip(const Rect&, const Color&, const TriVertex*, int, const RasterSourceImage*,
                              uint32_t*, int, int, bool, bool)
{
}

} // namespace Kavo
