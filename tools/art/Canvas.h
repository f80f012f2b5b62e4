#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ImageLib
{
class Image;
}

// The art generator's working surface: floating-point pixels with premultiplied alpha, drawn
// into by shading functions and composited with the usual operators. Finished pictures become
// 32-bit images of the framework (ImageLib) to be written as PNG or JPEG files.
namespace Art
{

struct Rgba
{
    float r = 0, g = 0, b = 0, a = 0; // premultiplied, 0..1

    Rgba operator+(const Rgba& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    Rgba operator*(float k) const { return {r * k, g * k, b * k, a * k}; }
};

// A colour given straight (not premultiplied).
inline Rgba Colour(float r, float g, float b, float a = 1.0f)
{
    return {r * a, g * a, b * a, a};
}
// A colour from 0..255 channels.
inline Rgba Colour255(int r, int g, int b, float a = 1.0f)
{
    return Colour(r / 255.0f, g / 255.0f, b / 255.0f, a);
}
// Source over destination.
inline Rgba Over(const Rgba& top, const Rgba& bottom)
{
    return top + bottom * (1.0f - top.a);
}
// Straight-alpha interpolation of two straight colours, returned premultiplied.
Rgba Mix(const Rgba& a, const Rgba& b, float t);
// The same colour (premultiplied) with its opacity scaled.
inline Rgba Fade(const Rgba& c, float k)
{
    return c * k;
}

// Runs body(y) for every row of a picture of the given size, spread over a few threads when the
// picture is large; each row is independent, so the result is the same however they are shared.
void ForRows(int width, int height, const std::function<void(int)>& body);

class Canvas
{
public:
    Canvas() = default;
    Canvas(int width, int height);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    Rgba& At(int x, int y) { return mPixels[size_t(y) * size_t(mWidth) + size_t(x)]; }
    const Rgba& At(int x, int y) const { return mPixels[size_t(y) * size_t(mWidth) + size_t(x)]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < mWidth && y < mHeight; }
    // Bilinear, transparent outside.
    Rgba Sample(float x, float y) const;

    // Every pixel composited (source over) with shader(x, y) at its centre.
    void Paint(const std::function<Rgba(float, float)>& shader);
    // Every pixel added to (glows, light).
    void PaintAdd(const std::function<Rgba(float, float)>& shader);
    // Every pixel replaced by shader(x, y, current).
    void Map(const std::function<Rgba(float, float, const Rgba&)>& shader);
    void Clear(const Rgba& colour = Rgba{});

    // src at (x, y) over this canvas, its opacity scaled.
    void Draw(const Canvas& src, int x, int y, float opacity = 1.0f);
    void DrawAdd(const Canvas& src, int x, int y, float opacity = 1.0f);
    // src drawn scaled by factor about its centre, the centre placed at (cx, cy); bilinear.
    void DrawScaled(const Canvas& src, float cx, float cy, float factor, float opacity = 1.0f);
    // The rectangle (x, y, w, h) of this canvas as a new one.
    Canvas Crop(int x, int y, int w, int h) const;
    // A resized copy: averaged when shrinking, bilinear when growing.
    Canvas Resized(int w, int h) const;
    // Mirror image left to right.
    Canvas Mirrored() const;

    // Gaussian-like blur of the given radius (three box passes per axis).
    void Blur(float radius);
    // Every pixel's colour kept, its opacity multiplied by k.
    void Multiply(float k);
    // Fades the picture out towards its edges over the given width, so that glows end softly
    // inside it instead of being cut.
    void FadeBorder(float width);

    // The pixels as 0xAARRGGBB words (straight alpha), with a fixed dither against banding.
    std::unique_ptr<ImageLib::Image> ToImage(uint32_t ditherSeed = 1) const;
    static Canvas FromImage(const ImageLib::Image& image);

private:
    int mWidth = 0;
    int mHeight = 0;
    std::vector<Rgba> mPixels;
};

// Writes the canvas as a PNG (any alpha) or a JPEG (opaque pictures); false on failure.
bool WritePng(const Canvas& canvas, const std::string& path);
bool WriteJpeg(const Canvas& canvas, const std::string& path);

} // namespace Art
