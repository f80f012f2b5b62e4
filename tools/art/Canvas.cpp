#include "tools/art/Canvas.h"

#include "graphics/ImageLib.h"
#include "tools/art/Noise.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace Art
{

namespace
{

// The generator shares the machine with the build: a few threads are enough.
constexpr int kThreads = 4;

float Clamp01(float v)
{
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

// One box pass of the given half-width along a line of n values spaced by stride.
void BoxLine(Rgba* line, int n, int stride, int half, std::vector<Rgba>& scratch)
{
    scratch.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        scratch[size_t(i)] = line[size_t(i) * size_t(stride)];
    float norm = 1.0f / float(2 * half + 1);
    Rgba sum{};
    for (int i = -half; i <= half; ++i)
        if (i >= 0 && i < n) sum = sum + scratch[size_t(i)];
    for (int i = 0; i < n; ++i)
    {
        line[size_t(i) * size_t(stride)] = sum * norm;
        int out = i - half, in = i + half + 1;
        if (out >= 0) sum = sum + scratch[size_t(out)] * -1.0f;
        if (in < n) sum = sum + scratch[size_t(in)];
    }
}

} // namespace

Rgba Mix(const Rgba& a, const Rgba& b, float t)
{
    t = Clamp01(t);
    return a * (1 - t) + b * t;
}

void ForRows(int width, int height, const std::function<void(int)>& body)
{
    // Starting threads costs more than a small picture's rows.
    if (int64_t(width) * height < 150000)
    {
        for (int y = 0; y < height; ++y)
            body(y);
        return;
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(
            [&, t]
            {
                for (int y = t; y < height; y += kThreads)
                    body(y);
            });
    for (std::thread& thread : threads)
        thread.join();
}

Canvas::Canvas(int width, int height)
    : mWidth(width), mHeight(height), mPixels(size_t(width) * size_t(height))
{
}

Rgba Canvas::Sample(float x, float y) const
{
    x -= 0.5f;
    y -= 0.5f;
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - float(x0), fy = y - float(y0);
    auto get = [&](int px, int py) { return Inside(px, py) ? At(px, py) : Rgba{}; };
    Rgba top = get(x0, y0) * (1 - fx) + get(x0 + 1, y0) * fx;
    Rgba bottom = get(x0, y0 + 1) * (1 - fx) + get(x0 + 1, y0 + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

void Canvas::Paint(const std::function<Rgba(float, float)>& shader)
{
    ForRows(mWidth, mHeight,
            [&](int y)
            {
                for (int x = 0; x < mWidth; ++x)
                    At(x, y) = Over(shader(float(x) + 0.5f, float(y) + 0.5f), At(x, y));
            });
}

void Canvas::PaintAdd(const std::function<Rgba(float, float)>& shader)
{
    ForRows(mWidth, mHeight,
            [&](int y)
            {
                for (int x = 0; x < mWidth; ++x)
                {
                    Rgba& p = At(x, y);
                    p = p + shader(float(x) + 0.5f, float(y) + 0.5f);
                    p.a = std::min(p.a, 1.0f);
                }
            });
}

void Canvas::Map(const std::function<Rgba(float, float, const Rgba&)>& shader)
{
    ForRows(mWidth, mHeight,
            [&](int y)
            {
                for (int x = 0; x < mWidth; ++x)
                    At(x, y) = shader(float(x) + 0.5f, float(y) + 0.5f, At(x, y));
            });
}

void Canvas::Clear(const Rgba& colour)
{
    std::fill(mPixels.begin(), mPixels.end(), colour);
}

void Canvas::Draw(const Canvas& src, int x, int y, float opacity)
{
    for (int sy = 0; sy < src.mHeight; ++sy)
        for (int sx = 0; sx < src.mWidth; ++sx)
            if (Inside(x + sx, y + sy))
                At(x + sx, y + sy) = Over(src.At(sx, sy) * opacity, At(x + sx, y + sy));
}

void Canvas::DrawAdd(const Canvas& src, int x, int y, float opacity)
{
    for (int sy = 0; sy < src.mHeight; ++sy)
        for (int sx = 0; sx < src.mWidth; ++sx)
            if (Inside(x + sx, y + sy))
            {
                Rgba& p = At(x + sx, y + sy);
                p = p + src.At(sx, sy) * opacity;
                p.a = std::min(p.a, 1.0f);
            }
}

void Canvas::DrawScaled(const Canvas& src, float cx, float cy, float factor, float opacity)
{
    if (factor <= 0) return;
    float hw = float(src.mWidth) * factor / 2, hh = float(src.mHeight) * factor / 2;
    int x0 = std::max(0, int(std::floor(cx - hw))), x1 = std::min(mWidth, int(std::ceil(cx + hw)));
    int y0 = std::max(0, int(std::floor(cy - hh))), y1 = std::min(mHeight, int(std::ceil(cy + hh)));
    // Shrinking a lot samples a pre-shrunk copy, so that the result stays smooth.
    const Canvas* from = &src;
    Canvas smaller;
    if (factor < 0.5f)
    {
        smaller = src.Resized(std::max(1, int(float(src.mWidth) * factor * 2)),
                              std::max(1, int(float(src.mHeight) * factor * 2)));
        from = &smaller;
    }
    float fw = float(from->mWidth), fh = float(from->mHeight);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            float u = (float(x) + 0.5f - (cx - hw)) / (2 * hw) * fw;
            float v = (float(y) + 0.5f - (cy - hh)) / (2 * hh) * fh;
            At(x, y) = Over(from->Sample(u, v) * opacity, At(x, y));
        }
}

Canvas Canvas::Crop(int x, int y, int w, int h) const
{
    Canvas out(w, h);
    for (int cy = 0; cy < h; ++cy)
        for (int cx = 0; cx < w; ++cx)
            if (Inside(x + cx, y + cy)) out.At(cx, cy) = At(x + cx, y + cy);
    return out;
}

Canvas Canvas::Resized(int w, int h) const
{
    Canvas out(w, h);
    float sx = float(mWidth) / float(w), sy = float(mHeight) / float(h);
    if (sx <= 1 && sy <= 1)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out.At(x, y) = Sample((float(x) + 0.5f) * sx, (float(y) + 0.5f) * sy);
        return out;
    }
    // Box filter: each output pixel averages the source area it covers.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            float fx0 = float(x) * sx, fx1 = float(x + 1) * sx;
            float fy0 = float(y) * sy, fy1 = float(y + 1) * sy;
            Rgba sum{};
            float weight = 0;
            for (int py = int(fy0); py < int(std::ceil(fy1)) && py < mHeight; ++py)
            {
                float wy = std::min(fy1, float(py + 1)) - std::max(fy0, float(py));
                for (int px = int(fx0); px < int(std::ceil(fx1)) && px < mWidth; ++px)
                {
                    float wx = std::min(fx1, float(px + 1)) - std::max(fx0, float(px));
                    sum = sum + At(px, py) * (wx * wy);
                    weight += wx * wy;
                }
            }
            out.At(x, y) = weight > 0 ? sum * (1.0f / weight) : Rgba{};
        }
    return out;
}

Canvas Canvas::Mirrored() const
{
    Canvas out(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            out.At(mWidth - 1 - x, y) = At(x, y);
    return out;
}

void Canvas::Blur(float radius)
{
    if (radius <= 0.25f) return;
    // Three box passes of width w approximate a Gaussian of sigma radius / 2.
    float sigma = radius / 2;
    int half = std::max(1, int(std::lround(std::sqrt(12.0f * sigma * sigma / 3.0f + 1.0f) / 2.0f)));
    for (int pass = 0; pass < 3; ++pass)
    {
        ForRows(mWidth, mHeight,
                [&](int y)
                {
                    std::vector<Rgba> scratch;
                    BoxLine(&At(0, y), mWidth, 1, half, scratch);
                });
        // Columns, shared out the same way as rows.
        ForRows(mHeight, mWidth,
                [&](int x)
                {
                    std::vector<Rgba> scratch;
                    BoxLine(&At(x, 0), mHeight, mWidth, half, scratch);
                });
    }
}

void Canvas::Multiply(float k)
{
    for (Rgba& p : mPixels)
        p = p * k;
}

void Canvas::FadeBorder(float width)
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
        {
            float edge = float(std::min(std::min(x, mWidth - 1 - x), std::min(y, mHeight - 1 - y))) + 0.5f;
            if (edge >= width) continue;
            float t = edge / width;
            At(x, y) = At(x, y) * (t * t * (3 - 2 * t));
        }
}

std::unique_ptr<ImageLib::Image> Canvas::ToImage(uint32_t ditherSeed) const
{
    auto image = std::make_unique<ImageLib::Image>();
    image->Allocate(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
        {
            const Rgba& p = At(x, y);
            // The faintest tails of glows are dropped (smoothly): spread over a large area, a
            // blend of one level out of 255 would show as a box around the picture.
            constexpr float kFloor = 2.5f / 255.0f;
            float a = Clamp01((Clamp01(p.a) - kFloor) / (1 - kFloor));
            uint32_t h = Hash(uint32_t(x), uint32_t(y), ditherSeed);
            // Triangular noise of one step's width hides the banding of slow gradients.
            float dither = (float(h & 0xFFFF) + float(h >> 16)) / 65536.0f - 1.0f;
            auto channel = [&](float premultiplied)
            {
                float v = p.a > 0 ? premultiplied / p.a : 0;
                return uint32_t(
                    std::clamp(int(std::floor(Clamp01(v) * 255.0f + 0.5f + dither * 0.5f)), 0, 255));
            };
            uint32_t alpha = uint32_t(std::clamp(int(std::floor(a * 255.0f + 0.5f)), 0, 255));
            uint32_t word =
                alpha == 0 ? 0u : (alpha << 24) | (channel(p.r) << 16) | (channel(p.g) << 8) | channel(p.b);
            image->bits[size_t(y) * size_t(mWidth) + size_t(x)] = word;
        }
    return image;
}

Canvas Canvas::FromImage(const ImageLib::Image& image)
{
    Canvas out(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
        {
            uint32_t w = image.bits[size_t(y) * size_t(image.width) + size_t(x)];
            out.At(x, y) =
                Colour255(int((w >> 16) & 255), int((w >> 8) & 255), int(w & 255), float(w >> 24) / 255.0f);
        }
    return out;
}

bool WritePng(const Canvas& canvas, const std::string& path)
{
    return ImageLib::WritePNG(path, *canvas.ToImage());
}

bool WriteJpeg(const Canvas& canvas, const std::string& path)
{
    // A JPEG has no alpha: the picture is flattened onto black first.
    Canvas flat(canvas.Width(), canvas.Height());
    flat.Clear(Colour(0, 0, 0));
    flat.Draw(canvas, 0, 0);
    return ImageLib::WriteJPEG(path, *flat.ToImage());
}

} // namespace Art
