#pragma once

#include "base/CheckedConversions.h"
#include "graphics/GlyphBlit.h"
#include "graphics/GraphicsState.h"
#include "graphics/Matrix3.h"
#include "graphics/TintedGlyphs.h"
#include "graphics/Transform2D.h"

#include <cstdint>
#include <list>
#include <string>
#include <utility>

namespace Kavo
{

class Font;
class Image;

// The drawing context. Every call translates its coordinates (truncating towards zero),
// scales or clips them as needed, chooses the cheapest image operation and calls that slot of
// the destination image. Images are drawn with the image colour: color when colorizeImages is
// set, else Color::White.
class Graphics : public GraphicsState
{
public:
    // Saved states, most recent first.
    std::list<GraphicsState> stateStack;

    // Tells whether an image draws through the 3D renderer; installed by the display.
    using DrawsThrough3DQuery = bool (*)(Image* image);
    static void SetDrawsThrough3DQuery(DrawsThrough3DQuery query);

    // Without a destination the context draws into the empty image.
    explicit Graphics(Image* destImage = nullptr);
    // Copies the state; the stack starts empty.
    Graphics(const Graphics& other);
    Graphics& operator=(const Graphics&) = delete;
    virtual ~Graphics();
    // A new context copied from this one, owned by the caller.
    Graphics* Create();

    // --- State ---
    void PushState();
    // Restores the most recently pushed state; nothing when the stack is empty.
    void PopState();
    void SetFont(Font* newFont) { font = newFont; }
    Font* GetFont() { return font; }
    void SetColor(const Color& newColor) { color = newColor; }
    const Color& GetColor() { return color; }
    void SetDrawMode(int mode) { drawMode = mode; }
    int GetDrawMode() { return drawMode; }
    void SetColorizeImages(bool on) { colorizeImages = on; }
    bool GetColorizeImages() { return colorizeImages; }
    void SetFastStretch(bool on) { fastStretch = on; }
    void SetLinearBlend(bool on) { linearBlend = on; }
    void Translate(int dx, int dy);
    // The clip becomes its intersection with the translated rectangle.
    void ClipRect(int x, int y, int w, int h);

    // --- Shapes ---
    void FillRect(int x, int y, int w, int h);
    void FillRect(const Rect& rect);
    // An outline covering (w + 1) x (h + 1) pixels.
    void DrawRect(int x, int y, int w, int h);
    void DrawLine(int x1, int y1, int x2, int y2);
    // Clips a line to the clip rectangle; false (inputs unchanged) when nothing is left.
    bool ClipLine(double& x1, double& y1, double& x2, double& y2);

    // --- Text ---
    void DrawString(const std::string& text, int x, int y);
    int StringWidth(const std::string& text);
    // Draws (or only measures) text[offset, offset + length) with "^RRGGBB^" colour tags;
    // justification 0 centres in width, 1 right-aligns. oldColor -1 means the current colour.
    // Returns the width in pixels.
    int WriteString(const std::string& text, int x, int y, int width = -1, int justification = 0,
                    bool draw = true, int offset = 0, int length = -1, int oldColor = -1);
    // Lays text out word-wrapped in rect; returns the height used.
    int WriteWordWrapped(const Rect& rect, const std::string& text, int lineSpacing = -1,
                         int justification = -1, int* maxWidth = nullptr, int maxChars = -1,
                         int* lastWidth = nullptr);
    int WriteWordWrappedLine(int length, int maxChars, int offset, const std::string& text, int x, int y,
                             int width, int justification, int oldColor);
    int GetWordWrappedHeight(int width, const std::string& text, int lineSpacing = -1,
                             int* maxWidth = nullptr);

    // --- Images ---
    void DrawImage(Image* image, int x, int y);
    void DrawImageSrc(Image* image, int x, int y, const Rect& src);
    // DrawImageSrc of each glyph, in array order, with the blit set up once. The positions are
    // turned into the destination's in place. tinted: as Image::BltGlyphs.
    void DrawImageGlyphs(Image* image, GlyphBlit* glyphs, int count, const TintedGlyphs* tinted = nullptr);
    void DrawImageMirror(Image* image, int x, int y, bool mirror = true);
    void DrawImageMirrorSrc(Image* image, int x, int y, const Rect& src, bool mirror = true);
    void DrawImageStretched(Image* image, int x, int y, int w, int h);
    void DrawImageStretchedSrc(Image* image, const Rect& dest, const Rect& src);
    void DrawImageMirrorStretched(Image* image, const Rect& dest, const Rect& src, bool mirror = true);
    void DrawImageF(Image* image, float x, float y);
    void DrawImageFSrc(Image* image, float x, float y, const Rect& src);
    // Rotation about the centre of the source rectangle (or of the image when src is null).
    void DrawImageRotated(Image* image, int x, int y, double angle, const Rect* src = nullptr);
    void DrawImageRotatedAround(Image* image, int x, int y, double angle, int centerX, int centerY,
                                const Rect* src = nullptr);
    void DrawImageRotatedF(Image* image, float x, float y, double angle, float centerX, float centerY,
                           const Rect* src = nullptr);
    void DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& src, float x, float y);
    void DrawImageTransform(Image* image, Transform2D& transform, int x, int y);
    void DrawImageTransformSrc(Image* image, Transform2D& transform, const Rect& src, int x, int y);
    void DrawImageTransformF(Image* image, Transform2D& transform, const Rect& src, float x, float y);
    void DrawImageCel(Image* image, int x, int y, int cel);
    void DrawImageCelColRow(Image* image, int x, int y, int column, int row);
    // A 3 x 3 frame: corners once, edges and centre tiled.
    void DrawImageBox(const Rect& dest, Image* image);
    void DrawImageBoxSrc(const Rect& dest, Image* image, const Rect& src);

private:
    // Held in the int range: a far position with a far translation lands at the range's end.
    int TranslateX(float x) const { return TruncateToInt(x + transX); }
    int TranslateY(float y) const { return TruncateToInt(y + transY); }
    const Color& ImageColor() const;
    void DrawImageTransformHelper(Image* image, Transform2D& transform, const Rect& src, float x, float y,
                                  bool subPixel);
    // ClipRect of a rectangle given in 64 bits: the same as ClipRect where a float holds its
    // corner exactly; a far corner is translated exactly, so the edges that meet the clip stay
    // where they are.
    void ClipRect64(int64_t x, int64_t y, int64_t w, int64_t h);
    // Of the pieces i from 0 to count - 1 that DrawImageSrc draws at start + i * step along one
    // axis (y when yAxis), each srcLength source pixels long: [first, last) of those that can
    // reach the clip; the others draw nothing.
    std::pair<int64_t, int64_t> PiecesInClip(int64_t start, int64_t step, int64_t count, int srcLength,
                                             bool yAxis) const;
};

} // namespace Kavo
