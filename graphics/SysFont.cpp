#include "graphics/SysFont.h"

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/display/SystemFont.h"

#include <algorithm>
#include <cstdlib>

namespace Kavo
{

namespace
{

constexpr int kDotsPerInch = 96;
SysFont::SurfaceTextDrawer gSurfaceTextDrawer = nullptr;

} // namespace

void SysFont::SetSurfaceTextDrawer(SurfaceTextDrawer drawer)
{
    gSurfaceTextDrawer = drawer;
}

SysFont::SysFont(const std::string& face, int pointSize, bool bold, bool italic, bool underline)
{
    Init(nullptr, face, pointSize, bold, italic, underline);
}

SysFont::SysFont(FontHost* host, const std::string& face, int pointSize, int)
{
    Init(host, face, pointSize, false, false, false);
}

SysFont::SysFont(const SysFont& other) : Font(other), app(other.app)
{
    if (other.font) font = other.font->Clone();
    height = other.height;
    ascent = other.ascent;
}

SysFont::~SysFont() = default;

void SysFont::Init(FontHost* host, const std::string& face, int pointSize, bool bold, bool italic,
                   bool underline)
{
    app = host;
    platform::FontRequest request;
    request.face = face;
    // The point size in pixels, rounded as integer scaling does.
    int64_t points = std::abs(int64_t(pointSize));
    request.pixelHeight = int(std::clamp<int64_t>((points * kDotsPerInch + 36) / 72, 1, 4096));
    request.weight = bold ? 700 : 400;
    request.italic = italic;
    request.underline = underline;
    font = platform::SystemFont::Open(request);
    if (font)
    {
        height = font->Metrics().height;
        ascent = font->Metrics().ascent;
    }
    drawShadow = false;
    simulateBold = false;
}

int SysFont::StringWidth(const std::string& text)
{
    return font ? font->TextWidth(text) : 0;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                         const Rect& clip)
{
    if (!g || !font || g->destImage == &Image::GetEmptyImage()) return;
    if (gSurfaceTextDrawer && gSurfaceTextDrawer(*this, g, x, y, text, color, clip)) return;

    // The software path: the text with its shadow and bold strokes into an image of its own
    // (coverage becomes alpha, the image kept for the next line), which is then drawn like any
    // other image.
    int w = StringWidth(text);
    int h = height;
    if (w <= 0 || h <= 0) return;
    int extraX = (drawShadow ? 1 : 0) + (simulateBold ? 1 : 0);
    int extraY = drawShadow ? 1 : 0;
    if (!lineImage) lineImage = std::make_unique<MemoryImage>();
    MemoryImage& image = *lineImage;
    if (image.GetWidth() != w + extraX || image.GetHeight() != h + extraY)
        image.Create(w + extraX, h + extraY);
    else
        image.Clear();
    uint32_t* bits = image.GetBits();
    if (!bits) return;
    platform::PixelBuffer buffer{bits, image.GetWidth(), image.GetHeight(), image.GetWidth()};
    platform::ClipBox all{0, 0, buffer.width, buffer.height};
    if (drawShadow)
    {
        font->DrawText(buffer, 1, 1, text, 0xFF000000u, all);
        if (simulateBold) font->DrawText(buffer, 2, 1, text, 0xFF000000u, all);
    }
    uint32_t rgb = 0xFF000000u | (uint32_t(color.mRed & 0xFF) << 16) | (uint32_t(color.mGreen & 0xFF) << 8) |
                   uint32_t(color.mBlue & 0xFF);
    font->DrawText(buffer, 0, 0, text, rgb, all);
    if (simulateBold) font->DrawText(buffer, 1, 0, text, rgb, all);
    image.BitsChanged();
    // As DrawImage, a glyph of the whole line.
    GlyphBlit whole{x, y - ascent, Rect(0, 0, image.GetWidth(), image.GetHeight())};
    g->DrawImageGlyphs(&image, &whole, 1);
}

Font* SysFont::Duplicate()
{
    return new SysFont(*this);
}

} // namespace Kavo
