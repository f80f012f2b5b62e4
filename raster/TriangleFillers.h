#pragma once

// The 70 triangle fillers of the rasteriser table, named by destination format and kind; each keeps
// the contract of TriangleRasterizer (raster/RasterRecords.h). One routine serves both 32-bit
// formats for the plain textured kinds (TexPoint, TexBilinear), whose writes are alike.

#include "raster/RasterRecords.h"

#include <cstdint>

namespace Kavo
{

using TriangleFiller = void(const RasterVertex* vertices, uint32_t* destBits, int pitch,
                            const RasterTexture* texture, const RasterColor* color);

// Draws nothing: the entry of every untextured combination without vertex colours.
TriangleFiller NullTriangleRasterizer;

// Untextured: the vertex colours interpolated, plain or scaled by the constant colour.
TriangleFiller Rasterize8888Gouraud;
TriangleFiller Rasterize8888GouraudColor;
TriangleFiller Rasterize888Gouraud;
TriangleFiller Rasterize888GouraudColor;
TriangleFiller Rasterize565Gouraud;
TriangleFiller Rasterize565GouraudColor;
TriangleFiller Rasterize555Gouraud;
TriangleFiller Rasterize555GouraudColor;

// Textured triangles, point or bilinear, plain or times the constant colour; written opaque except
// where the colour's alpha is low.
TriangleFiller Rasterize8888TexPoint;
TriangleFiller Rasterize8888TexBilinear;
TriangleFiller Rasterize8888TexPointColor;
TriangleFiller Rasterize8888TexBilinearColor;
TriangleFiller Rasterize888TexPointColor;
TriangleFiller Rasterize888TexBilinearColor;
TriangleFiller Rasterize565TexPoint;
TriangleFiller Rasterize565TexBilinear;
TriangleFiller Rasterize565TexPointColor;
TriangleFiller Rasterize565TexBilinearColor;
TriangleFiller Rasterize555TexPoint;
TriangleFiller Rasterize555TexBilinear;
TriangleFiller Rasterize555TexPointColor;
TriangleFiller Rasterize555TexBilinearColor;

// Textured triangles times the interpolated vertex colours; the vertex alpha alone decides between an
// opaque write and a blend.
TriangleFiller Rasterize8888TexPointVertex;
TriangleFiller Rasterize8888TexBilinearVertex;
TriangleFiller Rasterize8888TexPointVertexColor;
TriangleFiller Rasterize8888TexBilinearVertexColor;
TriangleFiller Rasterize888TexPointVertex;
TriangleFiller Rasterize888TexBilinearVertex;
TriangleFiller Rasterize888TexPointVertexColor;
TriangleFiller Rasterize888TexBilinearVertexColor;
TriangleFiller Rasterize565TexPointVertex;
TriangleFiller Rasterize565TexBilinearVertex;
TriangleFiller Rasterize565TexPointVertexColor;
TriangleFiller Rasterize565TexBilinearVertexColor;
TriangleFiller Rasterize555TexPointVertex;
TriangleFiller Rasterize555TexBilinearVertex;
TriangleFiller Rasterize555TexPointVertexColor;
TriangleFiller Rasterize555TexBilinearVertexColor;

// Textured triangles blended by the texels' alpha: nearly transparent texels skipped, nearly opaque
// ones written, the rest blended.
TriangleFiller Rasterize8888TexPointBlend;
TriangleFiller Rasterize8888TexBilinearBlend;
TriangleFiller Rasterize8888TexPointBlendColor;
TriangleFiller Rasterize8888TexBilinearBlendColor;
TriangleFiller Rasterize888TexPointBlend;
TriangleFiller Rasterize888TexBilinearBlend;
TriangleFiller Rasterize888TexPointBlendColor;
TriangleFiller Rasterize888TexBilinearBlendColor;
TriangleFiller Rasterize565TexPointBlend;
TriangleFiller Rasterize565TexBilinearBlend;
TriangleFiller Rasterize565TexPointBlendColor;
TriangleFiller Rasterize565TexBilinearBlendColor;
TriangleFiller Rasterize555TexPointBlend;
TriangleFiller Rasterize555TexBilinearBlend;
TriangleFiller Rasterize555TexPointBlendColor;
TriangleFiller Rasterize555TexBilinearBlendColor;

// Textured triangles blended by the texels' alpha times the vertex alpha, coloured by the vertex
// colours.
TriangleFiller Rasterize8888TexPointBlendVertex;
TriangleFiller Rasterize8888TexBilinearBlendVertex;
TriangleFiller Rasterize8888TexPointBlendVertexColor;
TriangleFiller Rasterize8888TexBilinearBlendVertexColor;
TriangleFiller Rasterize888TexPointBlendVertex;
TriangleFiller Rasterize888TexBilinearBlendVertex;
TriangleFiller Rasterize888TexPointBlendVertexColor;
TriangleFiller Rasterize888TexBilinearBlendVertexColor;
TriangleFiller Rasterize565TexPointBlendVertex;
TriangleFiller Rasterize565TexBilinearBlendVertex;
TriangleFiller Rasterize565TexPointBlendVertexColor;
TriangleFiller Rasterize565TexBilinearBlendVertexColor;
TriangleFiller Rasterize555TexPointBlendVertex;
TriangleFiller Rasterize555TexBilinearBlendVertex;
TriangleFiller Rasterize555TexPointBlendVertexColor;
TriangleFiller Rasterize555TexBilinearBlendVertexColor;

} // namespace Kavo
