// System-font text drawn onto a display image by the display's own route: the top of the text
// cell lies one pixel below y - ascent (one pixel lower than text drawn into a software image),
// the colour's alpha is not used, and the context's draw mode does not apply.
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "graphics/Graphics.h"
#include "graphics/SysFont.h"
#include "platform/display/SystemFont.h"

#include <cmath>

namespace Kavo
{

using SurfacePixels::Overlap;

// Installed by the display; false when the destination is not a display image with a surface
// (the text then goes through the software path).
bool DrawSurfaceText(SysFont& font, Graphics* g, int x, int y, const std::string& text, const Color& color,
                     const Rect& clip)
{
    DDImage* image = g ? dynamic_cast<DDImage*>(g->destImage) : nullptr;
    if (!image || !image->mDDInterface || !font.font) return false;
    const bool threeD = image->DrawsThrough3D();
    if (!threeD && (!image->IsPlain() || !image->GetSurface())) return false;

    const int w = font.StringWidth(text) + (font.drawShadow ? 1 : 0) + (font.simulateBold ? 1 : 0);
    const int h = font.height + (font.drawShadow ? 1 : 0);
    if (w <= 0 || h <= 0) return true;
    MemoryImage cell(image->app);
    cell.Create(w, h);
    uint32_t* bits = cell.GetBits();
    if (!bits) return true;
    platform::PixelBuffer buffer{bits, w, h, w};
    platform::ClipBox all{0, 0, w, h};
    if (font.drawShadow)
    {
        font.font->DrawText(buffer, 1, 1, text, 0xFF000000u, all);
        if (font.simulateBold) font.font->DrawText(buffer, 2, 1, text, 0xFF000000u, all);
    }
    uint32_t rgb = 0xFF000000u | (uint32_t(color.mRed & 0xFF) << 16) | (uint32_t(color.mGreen & 0xFF) << 8) |
                   uint32_t(color.mBlue & 0xFF);
    font.font->DrawText(buffer, 0, 0, text, rgb, all);
    if (font.simulateBold) font.font->DrawText(buffer, 1, 0, text, rgb, all);
    cell.BitsChanged();
    cell.CommitBits();

    const double fx = double(x) + g->transX, fy = double(y - font.ascent + 1) + g->transY;
    if (!std::isfinite(fx) || !std::isfinite(fy) || std::fabs(fx) > 1e9 || std::fabs(fy) > 1e9) return true;
    const int X = int(fx), Y = int(fy);
    Rect shown = Overlap(Overlap(Rect(X, Y, w, h), clip), Rect(0, 0, image->width, image->height));
    if (shown.mWidth <= 0 || shown.mHeight <= 0) return true;
    Rect part(shown.mX - X, shown.mY - Y, shown.mWidth, shown.mHeight);
    if (threeD)
    {
        image->mDDInterface->mD3DInterface->Blt(&cell, float(shown.mX), float(shown.mY), part, Color::White,
                                                0, false);
        image->mDDInterface->RemoveImageTextures(&cell);
        return true;
    }
    if (image->NormalBlt(&cell, shown.mX, shown.mY, part, Color::White)) image->DiscardMemoryCopies();
    return true;
}

} // namespace Kavo
