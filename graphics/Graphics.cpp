#include "graphics/Graphics.h"

#include "base/StringUtils.h"
#include "graphics/Font.h"
#include "graphics/Image.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Kavo
{

namespace
{

Graphics::DrawsThrough3DQuery gDrawsThrough3D = nullptr;

// A source rectangle that ends past the right or bottom edge of its image (in 64 bits).
bool ReachesPast(const Rect& src, const Image* image)
{
    return int64_t(src.mX) + src.mWidth > image->width || int64_t(src.mY) + src.mHeight > image->height;
}

} // namespace

void Graphics::SetDrawsThrough3DQuery(DrawsThrough3DQuery query)
{
    gDrawsThrough3D = query;
}

Graphics::Graphics(Image* image)
{
    destImage = image ? image : &Image::GetEmptyImage();
    clipRect = Rect(0, 0, destImage->width, destImage->height);
    is3D = image && gDrawsThrough3D ? gDrawsThrough3D(image) : false;
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other) {}

Graphics::~Graphics() = default;

Graphics* Graphics::Create()
{
    return new Graphics(*this);
}

void Graphics::PushState()
{
    stateStack.emplace_front();
    stateStack.front().CopyForStack(*this);
}

void Graphics::PopState()
{
    if (stateStack.empty()) return;
    CopyFrom(stateStack.front());
    stateStack.pop_front();
}

void Graphics::Translate(int dx, int dy)
{
    transX += float(dx);
    transY += float(dy);
}

void Graphics::ClipRect(int x, int y, int w, int h)
{
    clipRect = clipRect.Intersection(Rect(TranslateX(float(x)), TranslateY(float(y)), w, h));
}

const Color& Graphics::ImageColor() const
{
    return colorizeImages ? color : Color::White;
}

// ---------------------------------------------------------------------------------------------
// Shapes

void Graphics::FillRect(int x, int y, int w, int h)
{
    FillRect(Rect(x, y, w, h));
}

void Graphics::FillRect(const Rect& rect)
{
    if (color.mAlpha == 0) return;
    Rect r = Rect(TranslateX(float(rect.mX)), TranslateY(float(rect.mY)), rect.mWidth, rect.mHeight)
                 .Intersection(clipRect);
    if (r.mWidth <= 0 || r.mHeight <= 0) return;
    destImage->FillRect(r, color, drawMode);
}

void Graphics::DrawRect(int x, int y, int w, int h)
{
    if (color.mAlpha == 0) return;
    Rect box(TranslateX(float(x)), TranslateY(float(y)), w + 1, h + 1);
    if (box.Intersection(clipRect) == box)
    {
        destImage->DrawRect(Rect(box.mX, box.mY, w, h), color, drawMode);
        return;
    }
    FillRect(x, y, w + 1, 1);
    FillRect(x, y + h, w + 1, 1);
    FillRect(x, y + 1, 1, h - 1);
    FillRect(x + w, y + 1, 1, h - 1);
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2)
{
    double ax = x1 + double(transX), ay = y1 + double(transY);
    double bx = x2 + double(transX), by = y2 + double(transY);
    if (ClipLine(ax, ay, bx, by)) destImage->DrawLine(ax, ay, bx, by, color, drawMode);
}

namespace
{

// One axis of the line clip: orders the end points by their first coordinate p and cuts the
// segment to [low, high) along it, moving q along the line. False when it lies wholly outside.
// Slopes are taken only between points on different sides of an edge, so never over 0.
bool ClipAxis(double& p1, double& q1, double& p2, double& q2, double low, double high)
{
    if (p2 < p1)
    {
        std::swap(p1, p2);
        std::swap(q1, q2);
    }
    if (p1 < low)
    {
        if (p2 < low) return false;
        q1 += (q2 - q1) / (p2 - p1) * (low - p1);
        p1 = low;
    }
    if (p2 >= high)
    {
        if (p1 >= high) return false;
        q2 += (q2 - q1) / (p2 - p1) * (high - 1 - p2);
        p2 = high - 1;
    }
    return true;
}

} // namespace

// Left and right edges with the points ordered by x, then top and bottom with them ordered by
// y; the top point comes back first.
bool Graphics::ClipLine(double& x1, double& y1, double& x2, double& y2)
{
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (!ClipAxis(ax, ay, bx, by, clipRect.mX, double(clipRect.mX) + clipRect.mWidth)) return false;
    if (!ClipAxis(ay, ax, by, bx, clipRect.mY, double(clipRect.mY) + clipRect.mHeight)) return false;
    x1 = ax;
    y1 = ay;
    x2 = bx;
    y2 = by;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Text

void Graphics::DrawString(const std::string& text, int x, int y)
{
    if (font) font->DrawString(this, x, y, text, color, clipRect);
}

int Graphics::StringWidth(const std::string& text)
{
    return font ? font->StringWidth(text) : 0;
}

int Graphics::WriteString(const std::string& text, int x, int y, int width, int justification, bool draw,
                          int offset, int length, int oldColor)
{
    if (oldColor == -1) oldColor = int(color.ToInt());
    if (draw)
    {
        if (justification == 0 || justification == 1)
        {
            int measured = WriteString(text, x, y, width, justification, false, offset, length, oldColor);
            x += justification == 0 ? (width - measured) / 2 : width - measured;
        }
    }
    int size = int(text.size());
    if (offset < 0) offset = 0;
    int end = length < 0 || int64_t(offset) + length > size ? size : offset + length;

    std::string piece;
    int widthSoFar = 0;
    int i = offset;
    while (i < end)
    {
        char c = text[size_t(i)];
        if (c != '^' || !writeColoredString)
        {
            piece += c;
            ++i;
            continue;
        }
        if (i + 1 < end && text[size_t(i) + 1] == '^')
        {
            piece += '^';
            i += 2;
            continue;
        }
        if (i > end - 8) break; // an incomplete tag ends the text
        uint32_t newColor;
        if (text[size_t(i) + 1] == 'o')
            newColor = text.compare(size_t(i) + 1, 6, "oldclr") == 0 ? uint32_t(oldColor) : 0;
        else
        {
            newColor = 0;
            for (int k = 1; k <= 6; ++k) // a byte that is no hexadecimal digit counts as 0
                newColor = (newColor << 4) | uint32_t(std::max(HexDigitValue(text[size_t(i + k)]), 0));
        }
        if (draw)
        {
            DrawString(piece, x + widthSoFar, y);
            color = Color(int((newColor >> 16) & 0xFF), int((newColor >> 8) & 0xFF), int(newColor & 0xFF),
                          color.mAlpha);
        }
        i += 8;
        widthSoFar += StringWidth(piece);
        piece.clear();
    }
    if (draw) DrawString(piece, x + widthSoFar, y);
    return widthSoFar + StringWidth(piece);
}

int Graphics::WriteWordWrappedLine(int length, int maxChars, int offset, const std::string& text, int x,
                                   int y, int width, int justification, int oldColor)
{
    if (int64_t(offset) + length > maxChars)
    {
        length = maxChars - offset;
        if (length < 1) return -1;
    }
    return WriteString(text, x, y, width, justification, true, offset, length, oldColor);
}

int Graphics::WriteWordWrapped(const Rect& rect, const std::string& text, int lineSpacing, int justification,
                               int* maxWidth, int maxChars, int* lastWidth)
{
    if (!font) return 0;
    Color saved = color;
    int oldColor = int(color.mAlpha == 255 ? color.ToInt() & 0xFFFFFF : color.ToInt());
    const int len = int(text.size());
    if (maxChars < 0) maxChars = len;

    int yOffset = font->GetAscent() - font->GetAscentPadding();
    if (lineSpacing == -1) lineSpacing = font->GetLineSpacing();

    int pos = 0, lineStart = 0, lineWidth = 0, spacePos = -1, widest = 0, indent = 0;
    char previous = 0;
    if (lastWidth)
    {
        indent = *lastWidth;
        lineWidth = *lastWidth;
    }
    bool stopped = false;

    // A line wholly past maxChars draws nothing and has no width to pass on.
    auto lineDone = [&](int w)
    {
        if (w < 0) return;
        if (w > widest) widest = w;
        if (lastWidth) *lastWidth = w;
    };

    while (pos < len)
    {
        char c = text[size_t(pos)];
        if (c == '^' && writeColoredString && pos + 1 < len)
        {
            if (text[size_t(pos) + 1] != '^')
            {
                pos += 8;
                continue;
            }
            ++pos; // a doubled caret measures as one
        }
        if (c == ' ')
            spacePos = pos;
        else if (c == '\n')
        {
            spacePos = pos;
            lineWidth = rect.mWidth + 1;
        }
        lineWidth += font->CharWidthKern(c, previous);
        previous = c;

        if (lineWidth > rect.mWidth)
        {
            if (spacePos != -1)
            {
                // A line a line spacing above the clip still reaches into it: below its baseline
                // (descenders, a font's shadow and glow) as one below reaches up into it.
                int baseline = int(transY + float(rect.mY + yOffset));
                if (baseline >= clipRect.mY - lineSpacing &&
                    baseline < clipRect.mY + clipRect.mHeight + lineSpacing)
                    WriteWordWrappedLine(spacePos - lineStart, maxChars, lineStart, text, rect.mX + indent,
                                         rect.mY + yOffset, rect.mWidth, justification, oldColor);
                if (indent + lineWidth > widest) widest = indent + lineWidth;
                bool newline = text[size_t(spacePos)] == '\n';
                pos = spacePos + 1;
                if (!newline)
                    while (pos < len && text[size_t(pos)] == ' ')
                        ++pos;
            }
            else
            {
                if (pos == lineStart) ++pos;
                int w = WriteWordWrappedLine(pos - lineStart, maxChars, lineStart, text, rect.mX + indent,
                                             rect.mY + yOffset, rect.mWidth, justification, oldColor);
                if (w < 0)
                {
                    stopped = true;
                    break;
                }
                lineDone(w);
            }
            yOffset += lineSpacing;
            lineWidth = 0;
            previous = 0;
            indent = 0;
            spacePos = -1;
            lineStart = pos;
        }
        else
        {
            ++pos;
        }
    }

    if (!stopped)
    {
        if (lineStart < len)
        {
            int w = WriteWordWrappedLine(len - lineStart, maxChars, lineStart, text, rect.mX + indent,
                                         rect.mY + yOffset, rect.mWidth, justification, oldColor);
            lineDone(w);
            yOffset += lineSpacing;
        }
        else if (len > 0 && text[size_t(len) - 1] == '\n')
        {
            yOffset += lineSpacing;
            if (lastWidth) *lastWidth = 0;
        }
    }

    color = saved;
    if (maxWidth) *maxWidth = widest;
    return font->GetDescent() + yOffset - lineSpacing;
}

int Graphics::GetWordWrappedHeight(int width, const std::string& text, int lineSpacing, int* maxWidth)
{
    Graphics measure;
    measure.SetFont(font);
    return measure.WriteWordWrapped(Rect(0, 0, width, 0), text, lineSpacing, -1, maxWidth, -1, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Images

// The whole image: at scale 1 a clipped Blt, otherwise a stretch.
void Graphics::DrawImage(Image* image, int x, int y)
{
    if (!image) return;
    DrawImageSrc(image, x, y, Rect(0, 0, image->width, image->height));
}

void Graphics::DrawImageSrc(Image* image, int x, int y, const Rect& src)
{
    if (!image) return;
    if (ReachesPast(src, image)) return;
    int tx = TranslateX(float(x)), ty = TranslateY(float(y));
    if (scaleX == 1.0f && scaleY == 1.0f)
    {
        GlyphBlit cut{tx, ty, src};
        if (CutToClip(cut, clipRect)) destImage->Blt(image, cut.x, cut.y, cut.src, ImageColor(), drawMode);
        return;
    }
    int h = int(std::ceil(float(src.mHeight) * scaleY));
    int w = int(std::ceil(float(src.mWidth) * scaleX));
    int dx = int(std::floor((float(tx) - scaleOrigX) * scaleX) + scaleOrigX);
    int dy = int(std::floor((float(ty) - scaleOrigY) * scaleY) + scaleOrigY);
    destImage->StretchBlt(image, Rect(dx, dy, w, h), src, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImageGlyphs(Image* image, GlyphBlit* glyphs, int count, const TintedGlyphs* tinted)
{
    if (!image || count <= 0) return;
    if (scaleX != 1.0f || scaleY != 1.0f)
    {
        for (int i = 0; i < count; ++i)
            DrawImageSrc(image, glyphs[i].x, glyphs[i].y, glyphs[i].src);
        return;
    }
    for (int i = 0; i < count; ++i)
    {
        GlyphBlit& glyph = glyphs[i];
        if (ReachesPast(glyph.src, image)) glyph.src.mWidth = glyph.src.mHeight = 0;
        glyph.x = TranslateX(float(glyph.x));
        glyph.y = TranslateY(float(glyph.y));
    }
    destImage->BltGlyphs(image, glyphs, count, clipRect, ImageColor(), drawMode, tinted);
}

void Graphics::DrawImageMirror(Image* image, int x, int y, bool mirror)
{
    if (!image) return;
    DrawImageMirrorSrc(image, x, y, Rect(0, 0, image->width, image->height), mirror);
}

void Graphics::DrawImageMirrorSrc(Image* image, int x, int y, const Rect& src, bool mirror)
{
    if (!image) return;
    if (!mirror)
    {
        DrawImageSrc(image, x, y, src);
        return;
    }
    if (ReachesPast(src, image)) return;
    int tx = TranslateX(float(x)), ty = TranslateY(float(y));
    Rect c = Rect(tx, ty, src.mWidth, src.mHeight).Intersection(clipRect);
    Rect part(src.mX + src.mWidth - (c.mX - tx) - c.mWidth, src.mY + (c.mY - ty), c.mWidth, c.mHeight);
    if (part.mWidth >= 1 && part.mHeight >= 1)
        destImage->BltMirror(image, c.mX, c.mY, part, ImageColor(), drawMode);
}

void Graphics::DrawImageStretched(Image* image, int x, int y, int w, int h)
{
    if (!image) return;
    DrawImageStretchedSrc(image, Rect(x, y, w, h), Rect(0, 0, image->width, image->height));
}

void Graphics::DrawImageStretchedSrc(Image* image, const Rect& dest, const Rect& src)
{
    if (!image) return;
    Rect d(TranslateX(float(dest.mX)), TranslateY(float(dest.mY)), dest.mWidth, dest.mHeight);
    destImage->StretchBlt(image, d, src, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImageMirrorStretched(Image* image, const Rect& dest, const Rect& src, bool mirror)
{
    if (!image) return;
    if (!mirror)
    {
        DrawImageStretchedSrc(image, dest, src);
        return;
    }
    Rect d(TranslateX(float(dest.mX)), TranslateY(float(dest.mY)), dest.mWidth, dest.mHeight);
    destImage->StretchBltMirror(image, d, src, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImageF(Image* image, float x, float y)
{
    if (!image) return;
    DrawImageFSrc(image, x, y, Rect(0, 0, image->width, image->height));
}

void Graphics::DrawImageFSrc(Image* image, float x, float y, const Rect& src)
{
    if (!image) return;
    destImage->BltF(image, x + transX, y + transY, src, clipRect, ImageColor(), drawMode);
}

void Graphics::DrawImageRotated(Image* image, int x, int y, double angle, const Rect* src)
{
    if (!image) return;
    int w = src ? src->mWidth : image->width, h = src ? src->mHeight : image->height;
    DrawImageRotatedF(image, float(x), float(y), angle, float(w / 2), float(h / 2), src);
}

void Graphics::DrawImageRotatedAround(Image* image, int x, int y, double angle, int centerX, int centerY,
                                      const Rect* src)
{
    DrawImageRotatedF(image, float(x), float(y), angle, float(centerX), float(centerY), src);
}

void Graphics::DrawImageRotatedF(Image* image, float x, float y, double angle, float centerX, float centerY,
                                 const Rect* src)
{
    if (!image) return;
    Rect whole(0, 0, image->width, image->height);
    destImage->BltRotated(image, x + transX, y + transY, src ? *src : whole, clipRect, ImageColor(), drawMode,
                          angle, centerX, centerY);
}

void Graphics::DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& src, float x, float y)
{
    if (!image) return;
    destImage->BltMatrix(image, x + transX, y + transY, matrix, clipRect, ImageColor(), drawMode, src,
                         linearBlend);
}

void Graphics::DrawImageTransform(Image* image, Transform2D& transform, int x, int y)
{
    if (!image) return;
    DrawImageTransformHelper(image, transform, Rect(0, 0, image->width, image->height), float(x), float(y),
                             false);
}

void Graphics::DrawImageTransformSrc(Image* image, Transform2D& transform, const Rect& src, int x, int y)
{
    DrawImageTransformHelper(image, transform, src, float(x), float(y), false);
}

void Graphics::DrawImageTransformF(Image* image, Transform2D& transform, const Rect& src, float x, float y)
{
    DrawImageTransformHelper(image, transform, src, x, y, true);
}

void Graphics::DrawImageTransformHelper(Image* image, Transform2D& t, const Rect& src, float x, float y,
                                        bool subPixel)
{
    if (!image) return;
    if (t.complex || (is3D && subPixel))
    {
        DrawImageMatrix(image, t.GetMatrix(), src, x, y);
        return;
    }
    float w2 = float(src.mWidth) * 0.5f, h2 = float(src.mHeight) * 0.5f;
    if (t.haveRot)
    {
        float cx = w2 - t.transX1, cy = h2 - t.transY1;
        float px = t.transX2 + x - cx + 0.5f, py = t.transY2 + y - cy + 0.5f;
        if (subPixel)
            DrawImageRotatedF(image, px, py, t.rot, cx, cy, &src);
        else
            DrawImageRotatedAround(image, int(px), int(py), t.rot, int(cx), int(cy), &src);
        return;
    }
    float px = t.transX1 + x + t.transX2 - w2 + 0.5f, py = t.transY1 + y + t.transY2 - h2 + 0.5f;
    if (!t.haveScale)
    {
        if (subPixel)
            DrawImageFSrc(image, px, py, src);
        else
            DrawImageSrc(image, int(px), int(py), src);
        return;
    }
    if (t.scaleX == -1.0f && t.scaleY == 1.0f)
    {
        DrawImageMirrorSrc(image, int(px), int(py), src, true);
        return;
    }
    float sw2 = t.scaleX * w2, sh2 = t.scaleY * h2;
    Rect dest(int(t.transX2 + x - sw2), int(t.transY2 + y - sh2), int(2 * sw2), int(2 * sh2));
    DrawImageMirrorStretched(image, dest, src, t.scaleX == -1.0f);
}

void Graphics::DrawImageCel(Image* image, int x, int y, int cel)
{
    if (!image || image->numCols <= 0) return;
    DrawImageCelColRow(image, x, y, cel % image->numCols, cel / image->numCols);
}

void Graphics::DrawImageCelColRow(Image* image, int x, int y, int column, int row)
{
    if (!image) return;
    if (column < 0 || row < 0 || column >= image->numCols || row >= image->numRows) return;
    int cw = image->GetCelWidth(), ch = image->GetCelHeight();
    DrawImageSrc(image, x, y, Rect(column * cw, row * ch, cw, ch));
}

void Graphics::DrawImageBox(const Rect& dest, Image* image)
{
    if (!image) return;
    DrawImageBoxSrc(dest, image, Rect(0, 0, image->width, image->height));
}

namespace
{

constexpr int64_t kIntMin = std::numeric_limits<int>::min();
constexpr int64_t kIntMax = std::numeric_limits<int>::max();

bool FitsInt(int64_t v)
{
    return v >= kIntMin && v <= kIntMax;
}

// A rectangle whose corner is given in 64 bits; false when the corner lies outside the int range
// (a source rectangle that far reaches past any image).
bool MakeRect(int64_t x, int64_t y, int w, int h, Rect& out)
{
    if (!FitsInt(x) || !FitsInt(y)) return false;
    out = Rect(int(x), int(y), w, h);
    return true;
}

// a / b rounded down and up, for b above 0.
int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && a < 0);
}

int64_t CeilDiv(int64_t a, int64_t b)
{
    return a / b + (a % b != 0 && a > 0);
}

} // namespace

void Graphics::ClipRect64(int64_t x, int64_t y, int64_t w, int64_t h)
{
    // Where a float holds every integer of the corner, exactly ClipRect.
    constexpr int64_t kExactInFloat = int64_t(1) << 24;
    if (std::abs(x) <= kExactInFloat && std::abs(y) <= kExactInFloat && FitsInt(w) && FitsInt(h))
    {
        ClipRect(int(x), int(y), int(w), int(h));
        return;
    }
    // A far corner is translated in double precision, so the edges that meet the clip stay
    // where they are; the overlap is taken in 64 bits.
    auto translated = [](int64_t v, float t) { return int64_t(std::trunc(double(v) + double(t))); };
    const int64_t left = std::isfinite(transX) ? translated(x, transX) : x;
    const int64_t top = std::isfinite(transY) ? translated(y, transY) : y;
    const int64_t x0 = std::max<int64_t>(left, clipRect.mX), y0 = std::max<int64_t>(top, clipRect.mY);
    const int64_t x1 = std::min<int64_t>(left + w, int64_t(clipRect.mX) + clipRect.mWidth);
    const int64_t y1 = std::min<int64_t>(top + h, int64_t(clipRect.mY) + clipRect.mHeight);
    clipRect = x1 < x0 || y1 < y0 ? Rect() : Rect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

std::pair<int64_t, int64_t> Graphics::PiecesInClip(int64_t start, int64_t step, int64_t count, int srcLength,
                                                   bool yAxis) const
{
    if (count <= 0 || step <= 0 || srcLength <= 0) return {0, 0};
    const int64_t clipStart = yAxis ? clipRect.mY : clipRect.mX;
    const int64_t clipEnd = clipStart + (yAxis ? clipRect.mHeight : clipRect.mWidth);
    if (clipEnd <= clipStart) return {0, 0};
    // As DrawImageSrc places and sizes a piece.
    const bool unscaled = scaleX == 1.0f && scaleY == 1.0f;
    const float scale = yAxis ? scaleY : scaleX, origin = yAxis ? scaleOrigY : scaleOrigX;
    int64_t length = srcLength;
    if (!unscaled)
    {
        // A scale of 0 or below, or none at all, stretches every piece to nothing.
        if (!std::isfinite(scale) || !std::isfinite(origin) || !(scale > 0.0f)) return {0, 0};
        length = int64_t(std::min(double(std::ceil(float(srcLength) * scale)), double(kIntMax)));
        if (length <= 0) return {0, 0};
    }
    auto placed = [&](int64_t i) -> int64_t
    {
        const float p = float(int(start + i * step));
        const int t = yAxis ? TranslateY(p) : TranslateX(p);
        if (unscaled) return t;
        const double v = double(std::floor((float(t) - origin) * scale) + origin);
        return int64_t(std::clamp(v, -4e18, 4e18));
    };
    // Only positions in the int range can be drawn at.
    int64_t first = std::max<int64_t>(0, CeilDiv(kIntMin - start, step));
    int64_t last = std::min<int64_t>(count, FloorDiv(kIntMax - start, step) + 1);
    if (last <= first) return {0, 0};
    // Where a piece lands never falls as its position grows: the pieces that reach the clip are
    // those from the first whose far edge passes the clip's start to the last that starts before
    // its end, each found by halving.
    auto firstWhere = [&](int64_t low, int64_t high, auto&& holds)
    {
        while (low < high)
        {
            int64_t middle = low + (high - low) / 2;
            if (holds(middle))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    };
    const int64_t from = firstWhere(first, last, [&](int64_t i) { return placed(i) + length > clipStart; });
    const int64_t to = firstWhere(from, last, [&](int64_t i) { return placed(i) >= clipEnd; });
    return {from, to};
}

void Graphics::DrawImageBoxSrc(const Rect& dest, Image* image, const Rect& src)
{
    if (!image || src.mWidth <= 0 || src.mHeight <= 0) return;
    // Sums in 64 bits: a box may reach to the ends of the int range.
    const int64_t dx = dest.mX, dy = dest.mY, dw = dest.mWidth, dh = dest.mHeight;
    const int64_t sx = src.mX, sy = src.mY;
    const int cw = src.mWidth / 3, ch = src.mHeight / 3;
    const int mw = src.mWidth - 2 * cw, mh = src.mHeight - 2 * ch;
    auto draw = [&](Graphics& g, int64_t x, int64_t y, const Rect& part)
    {
        if (FitsInt(x) && FitsInt(y)) g.DrawImageSrc(image, int(x), int(y), part);
    };
    Rect part;
    if (MakeRect(sx, sy, cw, ch, part)) draw(*this, dx, dy, part);
    if (MakeRect(sx + cw + mw, sy, cw, ch, part)) draw(*this, dx + dw - cw, dy, part);
    if (MakeRect(sx, sy + ch + mh, cw, ch, part)) draw(*this, dx, dy + dh - ch, part);
    if (MakeRect(sx + cw + mw, sy + ch + mh, cw, ch, part)) draw(*this, dx + dw - cw, dy + dh - ch, part);

    // The edges and the centre are tiled only where the tiles reach the clip.
    const int64_t columns = (dw - 2 * cw + mw - 1) / mw, rows = (dh - 2 * ch + mh - 1) / mh;
    Rect top, bottom, left, right, centre;
    const bool hasTop = MakeRect(sx + cw, sy, mw, ch, top);
    const bool hasBottom = MakeRect(sx + cw, sy + ch + mh, mw, ch, bottom);
    const bool hasLeft = MakeRect(sx, sy + ch, cw, mh, left);
    const bool hasRight = MakeRect(sx + cw + mw, sy + ch, cw, mh, right);
    const bool hasCentre = MakeRect(sx + cw, sy + ch, mw, mh, centre);
    {
        Graphics edges(*this);
        edges.ClipRect64(dx + cw, dy, dw - 2 * cw, dh);
        auto [first, last] = edges.PiecesInClip(dx + cw, mw, columns, mw, false);
        for (int64_t i = first; i < last; ++i)
        {
            if (hasTop) draw(edges, dx + cw + i * mw, dy, top);
            if (hasBottom) draw(edges, dx + cw + i * mw, dy + dh - ch, bottom);
        }
    }
    {
        Graphics edges(*this);
        edges.ClipRect64(dx, dy + ch, dw, dh - 2 * ch);
        auto [first, last] = edges.PiecesInClip(dy + ch, mh, rows, mh, true);
        for (int64_t j = first; j < last; ++j)
        {
            if (hasLeft) draw(edges, dx, dy + ch + j * mh, left);
            if (hasRight) draw(edges, dx + dw - cw, dy + ch + j * mh, right);
        }
    }
    if (hasCentre)
    {
        Graphics middle(*this);
        middle.ClipRect64(dx + cw, dy + ch, dw - 2 * cw, dh - 2 * ch);
        auto [firstColumn, lastColumn] = middle.PiecesInClip(dx + cw, mw, columns, mw, false);
        auto [firstRow, lastRow] = middle.PiecesInClip(dy + ch, mh, rows, mh, true);
        for (int64_t i = firstColumn; i < lastColumn; ++i)
            for (int64_t j = firstRow; j < lastRow; ++j)
                draw(middle, dx + cw + i * mw, dy + ch + j * mh, centre);
    }
}

} // namespace Kavo
