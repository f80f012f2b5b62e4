#include "graphics/Image.h"

namespace Kavo
{

Image::Image(const Image& other)
    : width(other.width), height(other.height), numRows(other.numRows), numCols(other.numCols)
{
    if (other.animInfo) animInfo = std::make_unique<AnimInfo>(*other.animInfo);
}

Image::~Image() = default;

bool Image::PolyFill(const Point*, int, const Rect&, const Color&, int, int, int)
{
    return false;
}

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode)
{
    int x = rect.mX, y = rect.mY, w = rect.mWidth, h = rect.mHeight;
    FillRect(Rect(x, y, w + 1, 1), color, drawMode);
    FillRect(Rect(x, y + h, w + 1, 1), color, drawMode);
    FillRect(Rect(x, y + 1, 1, h - 1), color, drawMode);
    FillRect(Rect(x + w, y + 1, 1, h - 1), color, drawMode);
}

void Image::ClearRect(const Rect&) {}
void Image::DrawLine(double, double, double, double, const Color&, int) {}
void Image::DrawLineAA(double, double, double, double, const Color&, int) {}

void Image::FillScanLines(const Span* spans, int count, const Color& color, int drawMode)
{
    for (int i = 0; i < count; ++i)
        FillRect(Rect(spans[i].mX, spans[i].mY, spans[i].mWidth, 1), color, drawMode);
}

void Image::FillScanLinesWithCoverage(Span*, int, const Color&, int, const uint8_t*, int, int, int, int) {}
void Image::Blt(Image*, int, int, const Rect&, const Color&, int) {}

void Image::BltGlyphs(Image* src, const GlyphBlit* glyphs, int count, const Rect& clip, const Color& color,
                      int drawMode, const TintedGlyphs*)
{
    for (int i = 0; i < count; ++i)
    {
        GlyphBlit cut = glyphs[i];
        if (CutToClip(cut, clip)) Blt(src, cut.x, cut.y, cut.src, color, drawMode);
    }
}
void Image::BltF(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}
void Image::BltRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int, double, float,
                       float)
{
}
void Image::StretchBlt(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}
void Image::BltMatrix(Image*, float, float, const Matrix3&, const Rect&, const Color&, int, const Rect&, bool)
{
}
void Image::BltTrianglesTex(Image*, const TriVertex*, int, const Rect&, const Color&, int, float, float, bool)
{
}
void Image::BltMirror(Image*, int, int, const Rect&, const Color&, int) {}
void Image::StretchBltMirror(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

Rect Image::GetCelRect(int cel) const
{
    int cols = numCols > 0 ? numCols : 1;
    int celWidth = GetCelWidth();
    int celHeight = GetCelHeight();
    return Rect((cel % cols) * celWidth, (cel / cols) * celHeight, celWidth, celHeight);
}

bool Image::IsOpaque()
{
    return false;
}

void Image::CopyAttributes(const Image* source, Image* target)
{
    target->numRows = source->numRows;
    target->numCols = source->numCols;
    target->animInfo.reset(source->animInfo ? new AnimInfo(*source->animInfo) : nullptr);
}

Image& Image::GetEmptyImage()
{
    static Image empty;
    return empty;
}

} // namespace Kavo
