#include "tools/art/Effects.h"

#include <cmath>

namespace Art
{

Canvas Dilate(const Canvas& mask, float radius)
{
    int w = mask.Width(), h = mask.Height();
    Canvas out(w, h);
    int reach = int(std::ceil(radius + 0.5f));
    struct Tap
    {
        int dx, dy;
        float weight;
    };
    std::vector<Tap> taps;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
        {
            float weight = Saturate(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)));
            if (weight > 0) taps.push_back({dx, dy, weight});
        }
    ForRows(w, h,
            [&](int y)
            {
                for (int x = 0; x < w; ++x)
                {
                    float best = 0;
                    for (const Tap& t : taps)
                    {
                        int sx = x + t.dx, sy = y + t.dy;
                        if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
                        best = std::max(best, mask.At(sx, sy).a * t.weight);
                        if (best >= 1) break;
                    }
                    out.At(x, y) = Rgba{best, best, best, best};
                }
            });
    return out;
}

Canvas Tinted(const Canvas& mask, const Rgba& colour)
{
    Canvas out(mask.Width(), mask.Height());
    out.Map([&](float x, float y, const Rgba&) { return colour * mask.At(int(x), int(y)).a; });
    return out;
}

Canvas GradientFilled(const Canvas& mask, const Rgba& top, const Rgba& bottom, float y0, float y1)
{
    Canvas out(mask.Width(), mask.Height());
    out.Map([&](float x, float y, const Rgba&)
            { return Mix(top, bottom, (y - y0) / (y1 - y0)) * mask.At(int(x), int(y)).a; });
    return out;
}

Canvas Shadow(const Canvas& mask, float blur, const Rgba& colour)
{
    Canvas out = Tinted(mask, colour);
    out.Blur(blur);
    return out;
}

Canvas Masked(const Canvas& a, const Canvas& mask)
{
    Canvas out(a.Width(), a.Height());
    out.Map(
        [&](float x, float y, const Rgba&)
        {
            int ix = int(x), iy = int(y);
            return mask.Inside(ix, iy) ? a.At(ix, iy) * mask.At(ix, iy).a : Rgba{};
        });
    return out;
}

Rgba Shade(const Rgba& c, float k)
{
    if (c.a <= 0) return c;
    float r = c.r / c.a, g = c.g / c.a, b = c.b / c.a;
    if (k >= 1)
    {
        float t = k - 1;
        r += (1 - r) * t;
        g += (1 - g) * t;
        b += (1 - b) * t;
    }
    else
    {
        r *= k;
        g *= k;
        b *= k;
    }
    return Colour(Saturate(r), Saturate(g), Saturate(b), c.a);
}

void PaintBevelled(Canvas& canvas, float cx, float cy, const Sdf& shape, const Bevel& bevel, float scale)
{
    const Vec3 light = Normalize(Vec3{-0.45f, -0.7f, 0.62f});
    const Vec3 half = Normalize(light + Vec3{0, 0, 1});
    float br = bevel.base.a > 0 ? bevel.base.r / bevel.base.a : 0;
    float bg = bevel.base.a > 0 ? bevel.base.g / bevel.base.a : 0;
    float bb = bevel.base.a > 0 ? bevel.base.b / bevel.base.a : 0;
    // The shape's size, for the flat face's light and the reflection.
    float extent = 0;
    for (float probe = 1; probe < 400; probe += 1)
        if (shape(Vec2{0, -probe / scale}) * scale > 0)
        {
            extent = probe;
            break;
        }
    canvas.Paint(
        [&](float x, float y) -> Rgba
        {
            Vec2 p{(x - cx) / scale, (y - cy) / scale};
            float d = shape(p) * scale;
            float cover = Coverage(d);
            if (cover <= 0) return Rgba{};
            float depth = std::max(0.0f, -d);
            // The rim tilts the surface: 70 degrees at the edge, flat beyond the bevel's width.
            float tilt = depth < bevel.width ? (1 - depth / bevel.width) : 0;
            tilt = tilt * tilt * (3 - 2 * tilt) * 1.2f;
            Vec2 g = SdGradient([&](Vec2 q) { return shape(q); }, p);
            Vec3 n{g.x * std::sin(tilt), g.y * std::sin(tilt), std::cos(tilt)};
            float diffuse = std::max(0.0f, Dot(n, light));
            float vertical = extent > 0 ? Clamp(-(y - cy) / extent, -1, 1) : 0;
            float lightK = 0.42f + 0.78f * diffuse + bevel.topLight * vertical * (tilt < 0.05f ? 1.0f : 0.5f);
            float r = br * lightK, gg = bg * lightK, b = bb * lightK;
            // The dark edge line.
            float edge =
                bevel.outline > 0 ? SmoothStep(bevel.outline + 0.8f, bevel.outline - 0.2f, depth) : 0;
            r = Lerp(r, br * bevel.outlineDarkness, edge);
            gg = Lerp(gg, bg * bevel.outlineDarkness, edge);
            b = Lerp(b, bb * bevel.outlineDarkness, edge);
            float spec = std::pow(std::max(0.0f, Dot(n, half)), bevel.shininess) * bevel.gloss * (1 - edge);
            r += spec;
            gg += spec;
            b += spec;
            if (bevel.glassHighlight && extent > 0)
            {
                // A soft reflection: an ellipse over the upper part, inside the rim.
                float ex = (x - cx + extent * 0.12f) / (extent * 0.72f);
                float ey = (y - cy + extent * 0.48f) / (extent * 0.36f);
                float e = ex * ex + ey * ey;
                float k = SmoothStep(1.0f, 0.55f, e) * SmoothStep(-2.0f, -bevel.width * 0.9f, d) * 0.32f;
                k *= Saturate(1.0f - (ey + 1.0f) * 0.45f);
                r += (1 - r) * k;
                gg += (1 - gg) * k;
                b += (1 - b) * k;
            }
            return Colour(Saturate(r), Saturate(gg), Saturate(b), cover * bevel.base.a);
        });
}

void PaintGlow(Canvas& canvas, float cx, float cy, const Sdf& shape, const Rgba& colour, float radius,
               float scale)
{
    canvas.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = shape(Vec2{(x - cx) / scale, (y - cy) / scale}) * scale;
            if (d >= radius) return Rgba{};
            float t = d <= 0 ? 1 : 1 - d / radius;
            return colour * (t * t);
        });
}

void PaintShape(Canvas& canvas, float cx, float cy, const Sdf& shape, const Rgba& colour, float scale)
{
    canvas.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = shape(Vec2{(x - cx) / scale, (y - cy) / scale}) * scale;
            return colour * Coverage(d);
        });
}

void PaintPanel(Canvas& canvas, float x, float y, float w, float h, const PanelLook& look)
{
    Vec2 centre{x + w / 2, y + h / 2};
    Vec2 halfSize{w / 2, h / 2};
    canvas.Paint(
        [&](float px, float py) -> Rgba
        {
            float d = SdBox(Vec2{px, py} - centre, halfSize, look.radius);
            Rgba out{};
            float inside = Coverage(d);
            if (look.outer.a > 0) out = look.outer * (1 - inside);
            if (inside > 0)
            {
                float t = (py - y) / h;
                Rgba fill = Mix(look.fillTop, look.fillBottom, t);
                if (look.sheen > 0)
                {
                    float k = look.sheen * SmoothStep(0.45f, 0.0f, t);
                    fill = fill + Rgba{k * fill.a, k * fill.a, k * fill.a, 0};
                }
                out = Over(fill * inside, out);
            }
            // Glow on both sides of the rim line, then the rim itself.
            float rimCentre = d + look.rimWidth / 2;
            if (look.glowWidth > 0)
            {
                float g = 1 - std::abs(rimCentre) / look.glowWidth;
                if (g > 0) out = Over(look.rimGlow * (g * g), out);
            }
            float rim = Coverage(std::abs(rimCentre) - look.rimWidth / 2);
            if (rim > 0) out = Over(look.rim * rim, out);
            return out;
        });
}

} // namespace Art
