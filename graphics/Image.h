#pragma once

#include "base/Color.h"
#include "base/Point.h"
#include "base/Rect.h"
#include "base/TriVertex.h"
#include "graphics/AnimInfo.h"
#include "graphics/GlyphBlit.h"
#include "graphics/Matrix3.h"
#include "graphics/Span.h"
#include "graphics/TintedGlyphs.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Kavo
{

// Draw modes of every image operation; an image operation given another mode draws nothing.
enum DrawMode
{
    DRAWMODE_NORMAL = 0,   // alpha blending
    DRAWMODE_ADDITIVE = 1, // channels added and saturated
};

// The abstract drawable image: size, cel grid of a sprite sheet, optional animation data and
// the drawing operations that concrete images implement. The base draws nothing except the
// outline (four FillRects) and scan lines (one FillRect each).
//
// Colours modulate the source (Color::White = unchanged). Clip rectangles are in destination
// coordinates. Blt and BltMirror trust their position and source rectangle (the drawing
// context has clipped them); every other blit clips against the clip rectangle it receives.
class Image
{
public:
    bool drawn = false;   // has been the source of a blit
    std::string filePath; // where the image was loaded from; not copied
    int width = 0;
    int height = 0;
    int numRows = 1; // the cel grid
    int numCols = 1;
    std::unique_ptr<AnimInfo> animInfo; // may be null

    Image() = default;
    // Copies size, cel grid and a deep copy of the animation data; not drawn, no path.
    Image(const Image& other);
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    // --- Drawing operations (overridden by concrete images) ---
    // Vertices are offset by (tx, ty). The base fills nothing and returns false.
    virtual bool PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color,
                          int drawMode, int tx, int ty);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    // An outline of (w + 1) x (h + 1) pixels as four FillRects: top, bottom, left, right.
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void ClearRect(const Rect& rect);
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    virtual void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    // One FillRect (x, y, width, 1) per span, in array order.
    virtual void FillScanLines(const Span* spans, int count, const Color& color, int drawMode);
    // coverage holds coverWidth x coverHeight bytes for the area at (coverX, coverY). The spans
    // are the caller's: an image may move them (the display's image does, on its 3D road).
    virtual void FillScanLinesWithCoverage(Span* spans, int count, const Color& color, int drawMode,
                                           const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                           int coverHeight);
    virtual void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    // The glyphs of a line from one image in one colour, in array order: each its Blt cut to the
    // clip rectangle. The base blits them one by one. tinted (when given, for this colour) holds
    // the source's pixels in the forms that spare their modulation.
    virtual void BltGlyphs(Image* src, const GlyphBlit* glyphs, int count, const Rect& clip,
                           const Color& color, int drawMode, const TintedGlyphs* tinted = nullptr);
    virtual void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                      int drawMode);
    // Rotation by angle (radians) about (centerX, centerY) of the source rectangle.
    virtual void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                            const Color& color, int drawMode, double angle, float centerX, float centerY);
    virtual void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                            const Color& color, int drawMode, bool fastStretch);
    virtual void BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip,
                           const Color& color, int drawMode, const Rect& srcRect, bool blend);
    // triangleCount triangles, three consecutive vertices each, moved by (tx, ty).
    virtual void BltTrianglesTex(Image* src, const TriVertex* triangles, int triangleCount, const Rect& clip,
                                 const Color& color, int drawMode, float tx, float ty, bool blend);
    // As Blt and StretchBlt, flipped left to right.
    virtual void BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    virtual void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                  const Color& color, int drawMode, bool fastStretch);

    // --- Size and cels ---
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetCelWidth() const { return numCols > 0 ? width / numCols : width; }
    int GetCelHeight() const { return numRows > 0 ? height / numRows : height; }
    // Cel n lies in column n mod numCols, row n / numCols.
    Rect GetCelRect(int cel) const;
    // Every pixel is known to have alpha 255, so a plain blit hides what it is drawn over. The
    // base knows nothing of its pixels: false.
    virtual bool IsOpaque();

    // The target takes the source's cel grid and a deep copy of its animation data.
    static void CopyAttributes(const Image* source, Image* target);

    // The process-wide empty image (0 x 0) that a drawing context without a destination draws into.
    static Image& GetEmptyImage();
};

} // namespace Kavo
