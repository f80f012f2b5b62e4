#include "raster/RasterizerTable.h"

#include "raster/TriangleFillers.h"
#include "raster/TriangleRasterizer.h"

namespace Kavo
{

TriangleRasterizer TriangleRasterizerTable[kRasterTableSize] = {};

namespace
{

// One format's entries: the two untextured fillers and the 16 textured ones (index 16 + bits).
struct FillerGroup
{
    TriangleRasterizer gouraud;
    TriangleRasterizer gouraudColor;
    TriangleRasterizer textured[16];
};

const FillerGroup kGroups[4] = {
    {Rasterize8888Gouraud,
     Rasterize8888GouraudColor,
     {Rasterize8888TexPoint, Rasterize8888TexBilinear, Rasterize8888TexPointColor,
      Rasterize8888TexBilinearColor, Rasterize8888TexPointVertex, Rasterize8888TexBilinearVertex,
      Rasterize8888TexPointVertexColor, Rasterize8888TexBilinearVertexColor, Rasterize8888TexPointBlend,
      Rasterize8888TexBilinearBlend, Rasterize8888TexPointBlendColor, Rasterize8888TexBilinearBlendColor,
      Rasterize8888TexPointBlendVertex, Rasterize8888TexBilinearBlendVertex,
      Rasterize8888TexPointBlendVertexColor, Rasterize8888TexBilinearBlendVertexColor}},
    {Rasterize888Gouraud,
     Rasterize888GouraudColor,
     {Rasterize8888TexPoint, Rasterize8888TexBilinear, Rasterize888TexPointColor,
      Rasterize888TexBilinearColor, Rasterize888TexPointVertex, Rasterize888TexBilinearVertex,
      Rasterize888TexPointVertexColor, Rasterize888TexBilinearVertexColor, Rasterize888TexPointBlend,
      Rasterize888TexBilinearBlend, Rasterize888TexPointBlendColor, Rasterize888TexBilinearBlendColor,
      Rasterize888TexPointBlendVertex, Rasterize888TexBilinearBlendVertex,
      Rasterize888TexPointBlendVertexColor, Rasterize888TexBilinearBlendVertexColor}},
    {Rasterize565Gouraud,
     Rasterize565GouraudColor,
     {Rasterize565TexPoint, Rasterize565TexBilinear, Rasterize565TexPointColor, Rasterize565TexBilinearColor,
      Rasterize565TexPointVertex, Rasterize565TexBilinearVertex, Rasterize565TexPointVertexColor,
      Rasterize565TexBilinearVertexColor, Rasterize565TexPointBlend, Rasterize565TexBilinearBlend,
      Rasterize565TexPointBlendColor, Rasterize565TexBilinearBlendColor, Rasterize565TexPointBlendVertex,
      Rasterize565TexBilinearBlendVertex, Rasterize565TexPointBlendVertexColor,
      Rasterize565TexBilinearBlendVertexColor}},
    {Rasterize555Gouraud,
     Rasterize555GouraudColor,
     {Rasterize555TexPoint, Rasterize555TexBilinear, Rasterize555TexPointColor, Rasterize555TexBilinearColor,
      Rasterize555TexPointVertex, Rasterize555TexBilinearVertex, Rasterize555TexPointVertexColor,
      Rasterize555TexBilinearVertexColor, Rasterize555TexPointBlend, Rasterize555TexBilinearBlend,
      Rasterize555TexPointBlendColor, Rasterize555TexBilinearBlendColor, Rasterize555TexPointBlendVertex,
      Rasterize555TexBilinearBlendVertex, Rasterize555TexPointBlendVertexColor,
      Rasterize555TexBilinearBlendVertexColor}},
};

} // namespace

void InitTriangleRasterizerTable()
{
    for (int group = 0; group < 4; ++group)
    {
        const FillerGroup& fillers = kGroups[group];
        TriangleRasterizer* entries = TriangleRasterizerTable + 32 * group;
        for (unsigned i = 0; i < 16; ++i)
        {
            if ((i & kRasterVertexColors) == 0)
                entries[i] = NullTriangleRasterizer;
            else
                entries[i] = (i & kRasterModulate) ? fillers.gouraudColor : fillers.gouraud;
            entries[16 + i] = fillers.textured[i];
        }
    }
}

int TriangleRasterizerIndex(bool textured, bool vertexColors, bool modulate, bool blend, bool bilinear,
                            int formatCode)
{
    int flags = (textured ? kRasterTextured : 0) | (blend ? kRasterBlend : 0) |
                (vertexColors ? kRasterVertexColors : 0) | (modulate ? kRasterModulate : 0) |
                (bilinear ? kRasterBilinear : 0);
    int group = formatCode == kRasterFormat888   ? 32
                : formatCode == kRasterFormat565 ? 64
                : formatCode == kRasterFormat555 ? 96
                                                 : 0;
    return group + flags;
}

void DispatchTriangleRasterizer(bool textured, bool vertexColors, bool modulate, bool blend,
                                const RasterVertex* vertices, uint32_t* destBits, int pitch,
                                const RasterTexture* texture, const RasterColor* color, int formatCode,
                                bool bilinear)
{
    TriangleRasterizer filler = TriangleRasterizerTable[TriangleRasterizerIndex(
        textured, vertexColors, modulate, blend, bilinear, formatCode)];
    if (filler) filler(vertices, destBits, pitch, texture, color);
}

} // namespace Kavo
