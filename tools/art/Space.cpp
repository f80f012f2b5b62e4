#include "tools/art/Space.h"

#include "tools/art/Noise.h"

#include <array>
#include <cmath>

namespace Art
{

namespace
{

struct Rgb
{
    float r = 0, g = 0, b = 0;
    Rgb operator+(const Rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Rgb operator*(float k) const { return {r * k, g * k, b * k}; }
    Rgb operator*(const Rgb& o) const { return {r * o.r, g * o.g, b * o.b}; }
};

Rgb ToRgb(const Rgba& c)
{
    if (c.a <= 0) return {};
    return {c.r / c.a, c.g / c.a, c.b / c.a};
}

Rgb MixRgb(const Rgb& a, const Rgb& b, float t)
{
    t = Saturate(t);
    return a * (1 - t) + b * t;
}

Rgba AddLight(const Rgb& light, float alpha)
{
    return Rgba{light.r * alpha, light.g * alpha, light.b * alpha, alpha};
}

void AddTo(Rgba& p, const Rgb& light, float k)
{
    p.r += light.r * k;
    p.g += light.g * k;
    p.b += light.b * k;
    p.a = std::min(1.0f, p.a + k);
}

// Adds light whose opacity is its brightest channel (so that it shows on transparent ground).
void AddGlow(Rgba& p, const Rgb& light)
{
    p.r += light.r;
    p.g += light.g;
    p.b += light.b;
    p.a = std::min(1.0f, p.a + std::max(light.r, std::max(light.g, light.b)));
}

} // namespace

void PaintSky(Canvas& canvas, const Rgba& top, const Rgba& bottom)
{
    float h = float(canvas.Height());
    canvas.Map([&](float, float y, const Rgba&) { return Mix(top, bottom, y / h); });
}

void PaintStar(Canvas& canvas, float x, float y, float size, const Rgba& colour, bool spikes)
{
    Rgb c = ToRgb(colour);
    float strength = colour.a;
    float sigma = std::max(0.35f, size);
    float reach = sigma * 3.5f + (size > 1.1f ? size * 5 : 0);
    float spikeReach = spikes ? size * 10 : 0;
    float box = std::max(reach, spikeReach);
    int x0 = int(std::floor(x - box)), x1 = int(std::ceil(x + box));
    int y0 = int(std::floor(y - box)), y1 = int(std::ceil(y + box));
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px)
        {
            if (!canvas.Inside(px, py)) continue;
            float dx = float(px) + 0.5f - x, dy = float(py) + 0.5f - y;
            float d2 = dx * dx + dy * dy;
            float k = std::exp(-d2 / (2 * sigma * sigma));
            if (size > 1.1f) k += 0.10f * std::exp(-std::sqrt(d2) / (size * 1.8f));
            if (spikes)
            {
                float sx = std::exp(-dy * dy / 0.35f) * std::exp(-std::abs(dx) / (size * 3.0f));
                float sy = std::exp(-dx * dx / 0.35f) * std::exp(-std::abs(dy) / (size * 3.0f));
                k += 0.45f * (sx + sy);
            }
            k *= strength;
            if (k > 0.002f) AddTo(canvas.At(px, py), c, std::min(k, 1.5f));
        }
}

void PaintStars(Canvas& canvas, const StarLook& look)
{
    Rng rng(look.seed);
    int count = int(look.density * float(canvas.Width()) * float(canvas.Height()) / 1000.0f);
    for (int i = 0; i < count; ++i)
    {
        float x = rng.Range(0, float(canvas.Width()));
        float y = rng.Range(0, float(canvas.Height()));
        float u = rng.Uniform();
        float t = rng.Uniform();
        bool big = rng.Uniform() < look.bigShare;
        Rgba colour = t < 0.12f   ? Colour255(255, 196, 150)
                      : t < 0.32f ? Colour255(255, 238, 210)
                      : t < 0.72f ? Colour255(238, 244, 255)
                                  : Colour255(176, 204, 255);
        float m = std::pow(u, 4.0f);
        float size = big ? rng.Range(1.1f, 2.2f) : 0.4f + 0.55f * m;
        float strength = big ? rng.Range(0.75f, 1.0f) : 0.18f + 0.8f * m;
        PaintStar(canvas, x, y, size, colour * (strength * look.brightness),
                  big && look.spikes && size > 1.5f);
    }
}

void PaintNebula(Canvas& canvas, const NebulaLook& look)
{
    Rgb a = ToRgb(look.colourA), b = ToRgb(look.colourB), core = ToRgb(look.core);
    canvas.Map(
        [&](float x, float y, const Rgba& p) -> Rgba
        {
            float qx = x / (look.scale * look.stretch), qy = y / look.scale;
            float wx = Fbm2(qx + 3.1f, qy + 7.7f, look.seed + 11, 4);
            float wy = Fbm2(qx - 5.3f, qy + 1.9f, look.seed + 23, 4);
            float n = Fbm2(qx + 1.7f * wx, qy + 1.7f * wy, look.seed, 6);
            float dx = (x - look.centre.x) / look.stretch, dy = y - look.centre.y;
            float region = std::exp(-(dx * dx + dy * dy) / (look.spread * look.spread));
            float density =
                SmoothStep(look.threshold, look.threshold + 0.55f, n + region * 0.35f - 0.15f) * region;
            density = std::pow(density, 1.3f);
            float hue =
                SmoothStep(-0.35f, 0.35f, Fbm2(qx * 0.7f + 9.0f, qy * 0.7f - 4.0f, look.seed + 37, 3));
            Rgb gas = MixRgb(a, b, hue) * (density * look.intensity) +
                      MixRgb(b, a, hue) * (region * region * 0.16f * look.intensity);
            float bright = std::pow(density, 3.0f) * look.intensity * 0.9f;
            gas = gas + core * bright;
            // Filaments: thin bright threads where the gas is.
            float fil = Ridged2(qx * 2.3f + wx, qy * 2.3f + wy, look.seed + 51, 4);
            gas = gas + MixRgb(a, core, 0.4f) * (std::pow(fil, 6.0f) * density * look.intensity * 0.7f);
            // Dark dust lanes dim the gas and what lies behind it.
            float dustN = Fbm2(qx * 1.4f + 2.2f, qy * 1.4f + 8.8f, look.seed + 61, 5);
            float dust = SmoothStep(0.0f, 0.45f, dustN) * look.dust * (0.3f + 0.7f * region);
            Rgba out = p;
            out.r = (out.r + gas.r) * (1 - dust);
            out.g = (out.g + gas.g) * (1 - dust);
            out.b = (out.b + gas.b) * (1 - dust);
            return out;
        });
}

void PaintGalaxy(Canvas& canvas, const GalaxyLook& look)
{
    Rgb core = ToRgb(look.core), arm = ToRgb(look.arm);
    canvas.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            Vec2 q = Rotate(Vec2{x - look.centre.x, y - look.centre.y}, -look.angle);
            q.y /= look.tilt;
            float r = Length(q) / look.radius;
            if (r > 1.6f) return Rgba{};
            float theta = std::atan2(q.y, q.x);
            float spiral = 0.5f + 0.5f * std::cos(float(look.arms) * (theta - std::log(r + 0.05f) * 2.4f));
            spiral = std::pow(spiral, 3.0f);
            float clumps = 0.6f + 0.4f * Fbm2(q.x / look.radius * 6, q.y / look.radius * 6, look.seed, 4);
            float disk = std::exp(-r * 3.2f) * (0.25f + 0.75f * spiral * clumps);
            float bulge = std::exp(-(r * r) / 0.018f);
            Rgb light = arm * (disk * 0.9f) + core * (bulge * 1.2f + disk * 0.25f);
            float k = look.brightness;
            return Rgba{light.r * k, light.g * k, light.b * k, 0};
        });
}

// --- Planets ---

namespace
{

struct SurfacePoint
{
    Rgb albedo;
    Rgb emission;
    float gloss = 0; // specular share (water)
};

float Crater(Vec3 p, float frequency, uint32_t seed, float size, float* rim)
{
    uint32_t id = 0;
    float f = Worley3(p.x * frequency, p.y * frequency, p.z * frequency, seed, &id);
    float rc = size * (0.45f + 0.55f * Random01(id));
    if (Random01(id, 7) > 0.7f) rc *= 0.0f; // not every cell holds a crater
    if (rc <= 0) return 1;
    float t = f / rc;
    *rim += SmoothStep(0.7f, 0.95f, t) * (1 - SmoothStep(1.0f, 1.25f, t)) * 0.35f;
    return t < 1 ? 0.72f + 0.28f * t * t : 1;
}

SurfacePoint SampleSurface(const PlanetLook& look, Vec3 p)
{
    Rgb c1 = ToRgb(look.c1), c2 = ToRgb(look.c2), c3 = ToRgb(look.c3);
    uint32_t s = look.seed;
    SurfacePoint out;
    float lat = p.y;
    switch (look.surface)
    {
    case Surface::Ocean:
    {
        float h =
            Fbm3(p.x * 1.7f, p.y * 1.7f, p.z * 1.7f, s, 6) + 0.1f * Fbm3(p.x * 7, p.y * 7, p.z * 7, s + 9, 3);
        if (h > 0.06f)
        {
            float t = SmoothStep(0.06f, 0.5f, h);
            out.albedo = MixRgb(c1, c3, t);
        }
        else
        {
            out.albedo = MixRgb(c2 * 0.45f, c2, SmoothStep(-0.45f, 0.06f, h));
            out.gloss = 0.5f;
        }
        float ice =
            SmoothStep(0.86f, 0.92f, std::abs(lat) + 0.05f * Fbm3(p.x * 5, p.y * 5, p.z * 5, s + 3, 3));
        out.albedo = MixRgb(out.albedo, Rgb{0.93f, 0.96f, 1.0f}, ice);
        float wx = Fbm3(p.x * 1.3f, p.y * 1.3f, p.z * 1.3f, s + 21, 3);
        float cl = Fbm3(p.x * 2.4f + wx, p.y * 5.0f, p.z * 2.4f - wx, s + 5, 5);
        float cover = SmoothStep(0.12f, 0.5f, cl) * 0.85f;
        out.albedo = MixRgb(out.albedo, Rgb{0.97f, 0.98f, 1.0f}, cover);
        out.gloss *= 1 - cover;
        break;
    }
    case Surface::Water:
    {
        float h = Fbm3(p.x * 2.0f, p.y * 2.0f, p.z * 2.0f, s, 5);
        out.albedo = MixRgb(c2, c1, SmoothStep(-0.5f, 0.5f, h));
        out.gloss = 0.3f;
        float swirl = Fbm3(p.x * 1.2f, p.y * 1.2f, p.z * 1.2f, s + 4, 3);
        float cl = Fbm3(p.x * 2.2f + 2.5f * swirl, p.y * 6.0f + swirl, p.z * 2.2f - 2.5f * swirl, s + 8, 6);
        float cover = SmoothStep(0.0f, 0.42f, cl);
        out.albedo = MixRgb(out.albedo, c3, cover * 0.92f);
        out.gloss *= 1 - cover;
        break;
    }
    case Surface::Desert:
    {
        float h = Fbm3(p.x * 2.2f, p.y * 2.2f, p.z * 2.2f, s, 5);
        float dunes = 0.5f + 0.5f * std::sin(p.y * 16 + h * 7 + p.x * 3);
        out.albedo = MixRgb(c2, c1, SmoothStep(-0.45f, 0.45f, h)) * (0.9f + 0.12f * dunes);
        float canyon = Ridged3(p.x * 2.6f, p.y * 2.6f, p.z * 2.6f, s + 4, 4);
        out.albedo = MixRgb(out.albedo, c2 * 0.55f, SmoothStep(0.78f, 0.93f, canyon));
        out.albedo =
            MixRgb(out.albedo, c3, SmoothStep(0.35f, 0.7f, Fbm3(p.x * 4, p.y * 4, p.z * 4, s + 7, 3)) * 0.5f);
        break;
    }
    case Surface::Ice:
    {
        float v = 0.5f + 0.5f * Fbm3(p.x * 2.2f, p.y * 2.2f, p.z * 2.2f, s, 5);
        out.albedo = MixRgb(c1, c3, v);
        float cracks = Ridged3(p.x * 3.2f, p.y * 3.2f, p.z * 3.2f, s + 2, 5);
        out.albedo = MixRgb(out.albedo, c2, SmoothStep(0.8f, 0.95f, cracks) * 0.85f);
        out.gloss = 0.25f;
        break;
    }
    case Surface::Lava:
    {
        float v = 0.5f + 0.5f * Fbm3(p.x * 3, p.y * 3, p.z * 3, s, 5);
        out.albedo = MixRgb(c2 * 0.35f, c2, v);
        float rift = Ridged3(p.x * 2.2f, p.y * 2.2f, p.z * 2.2f, s + 3, 5);
        float glow = SmoothStep(0.78f, 0.97f, rift);
        out.emission = c1 * (glow * 1.1f) + c3 * (std::pow(glow, 4.0f) * 0.9f);
        out.albedo = out.albedo * (1 - glow * 0.8f);
        break;
    }
    case Surface::Bands:
    case Surface::Dusk:
    {
        float turb = Fbm3(p.x * 2.2f, p.y * 8.0f, p.z * 2.2f, s, 5);
        float fine = Fbm3(p.x * 7.0f, p.y * 26.0f, p.z * 7.0f, s + 17, 3);
        float b = lat * 5.2f + turb * 0.75f + fine * 0.18f;
        float v = 0.5f + 0.5f * std::sin(b * 2.9f);
        float w = 0.5f + 0.5f * std::sin(b * 1.3f + 1.7f);
        // A dusky world keeps its third colour for the aurora; its light belts are its own.
        Rgb light = look.surface == Surface::Dusk ? MixRgb(c1, Rgb{0.75f, 0.7f, 0.95f}, 0.35f) : c3;
        out.albedo = MixRgb(MixRgb(c1, c2, v), light, w * 0.55f);
        float lon = std::atan2(p.x, p.z);
        float e = ((lon - 0.35f) / 0.42f) * ((lon - 0.35f) / 0.42f) +
                  ((lat + 0.32f) / 0.11f) * ((lat + 0.32f) / 0.11f);
        if (look.surface == Surface::Bands && e < 1.3f)
        {
            float k = SmoothStep(1.3f, 0.5f, e);
            float ring = 0.5f + 0.5f * std::sin(e * 9.0f + turb * 2);
            out.albedo = MixRgb(out.albedo, MixRgb(c3, Rgb{0.85f, 0.35f, 0.2f}, ring), k * 0.85f);
        }
        if (look.surface == Surface::Dusk)
        {
            float aurora = SmoothStep(0.72f, 0.9f, std::abs(lat)) *
                           (0.5f + 0.5f * Fbm3(p.x * 6, p.y * 3, p.z * 6, s + 9, 3));
            out.emission = c3 * (aurora * 0.9f);
        }
        break;
    }
    case Surface::Rocky:
    case Surface::Moon:
    {
        float v = 0.5f + 0.5f * Fbm3(p.x * 2.5f, p.y * 2.5f, p.z * 2.5f, s, 6);
        out.albedo = MixRgb(c2, c1, v);
        float maria = SmoothStep(0.1f, 0.35f, Fbm3(p.x * 1.2f, p.y * 1.2f, p.z * 1.2f, s + 13, 4));
        out.albedo = MixRgb(out.albedo, c3, maria * (look.surface == Surface::Moon ? 0.6f : 0.35f));
        float rim = 0;
        float shade = Crater(p, 4.0f, s + 1, 0.42f, &rim) * Crater(p, 9.0f, s + 2, 0.4f, &rim);
        out.albedo = out.albedo * shade + Rgb{rim, rim, rim} * 0.3f;
        break;
    }
    case Surface::Crystal:
    {
        // Crystal faces of slightly different tints, veined with light.
        uint32_t id = 0;
        float w = Fbm3(p.x * 2, p.y * 2, p.z * 2, s + 3, 3) * 0.35f;
        Worley3(p.x * 7 + w, p.y * 7 - w, p.z * 7 + w, s, &id);
        float facet = 0.72f + 0.28f * Random01(id);
        out.albedo = MixRgb(c1, c2, 0.3f + 0.5f * Random01(id, 1)) * facet;
        float vein = Ridged3(p.x * 2.4f, p.y * 2.4f, p.z * 2.4f, s + 5, 4);
        float glow = SmoothStep(0.8f, 0.95f, vein);
        out.emission = c3 * (glow * 0.8f);
        out.albedo = MixRgb(out.albedo, c3, glow * 0.4f);
        out.gloss = 0.45f;
        break;
    }
    }
    return out;
}

} // namespace

float PlanetReach(const PlanetLook& look)
{
    float reach = 1 + look.atmosphereWidth * 4;
    if (look.rings) reach = std::max(reach, look.ringOuter);
    return reach;
}

void PaintPlanet(Canvas& canvas, float cx, float cy, float r, const PlanetLook& look)
{
    const Vec3 light = Normalize(look.light);
    const Vec3 half = Normalize(light + Vec3{0, 0, 1});
    const Rgb atmosphere = ToRgb(look.atmosphere);
    const Rgb ring = ToRgb(look.ringColour);
    float ca = std::cos(look.axis), sa = std::sin(look.axis);
    float cs = std::cos(look.spin), ss = std::sin(look.spin);
    float ra = std::cos(look.ringAngle), rs = std::sin(look.ringAngle);
    float reach = PlanetReach(look) * r + 2;

    // The ring's opacity and light at a point (in radii from the centre), and whether it lies
    // on the near side.
    auto ringAt = [&](float dx, float dy, bool* nearSide) -> Rgba
    {
        float u = dx * ra + dy * rs, v = -dx * rs + dy * ra;
        *nearSide = v > 0;
        float rho = std::sqrt(u * u + (v / look.ringFlatten) * (v / look.ringFlatten));
        float soft = 1.2f / (r * look.ringFlatten);
        float inner = SmoothStep(look.ringInner - soft, look.ringInner + soft, rho);
        float outer = SmoothStep(look.ringOuter + soft, look.ringOuter - soft, rho);
        float cover = inner * outer;
        if (cover <= 0) return Rgba{};
        float f = (rho - look.ringInner) / (look.ringOuter - look.ringInner);
        float bands = 0.6f + 0.22f * std::sin(f * 21.0f) + 0.14f * std::sin(f * 57.0f + 1.3f);
        float gap = SmoothStep(0.03f, 0.0f, std::abs(f - 0.63f)) * 0.85f;
        float density = Saturate(bands * (1 - gap) * (0.7f + 0.3f * f)) * look.ringColour.a;
        // The planet's shadow falls on the far ring, on the side away from the light.
        float lightLength = std::sqrt(light.x * light.x + light.y * light.y);
        float along = -(dx * light.x + dy * light.y) / lightLength;
        float across = std::abs(dx * light.y - dy * light.x) / lightLength;
        float lit = (along > 0 && across < 1 && !*nearSide) ? 0.25f : 1.0f;
        Rgb c = ring * (lit * (0.75f + 0.25f * f));
        return AddLight(c, density * cover);
    };

    int x0 = std::max(0, int(cx - reach)), x1 = std::min(canvas.Width(), int(cx + reach) + 1);
    int y0 = std::max(0, int(cy - reach)), y1 = std::min(canvas.Height(), int(cy + reach) + 1);
    ForRows(
        x1 - x0, y1 - y0,
        [&](int row)
        {
            int py = y0 + row;
            for (int px = x0; px < x1; ++px)
            {
                float dx = (float(px) + 0.5f - cx) / r, dy = (float(py) + 0.5f - cy) / r;
                float r2 = dx * dx + dy * dy;
                float rr = std::sqrt(r2);
                Rgba& out = canvas.At(px, py);
                bool nearSide = false;
                Rgba ringColour = look.rings ? ringAt(dx, dy, &nearSide) : Rgba{};
                if (look.rings && !nearSide) out = Over(ringColour, out);

                // The halo beyond the edge, lit on the side of the light.
                if (rr > 0.95f && look.atmosphereWidth > 0)
                {
                    Vec3 edge = Normalize(Vec3{dx, dy, 0.25f});
                    float lit = SmoothStep(-0.35f, 0.6f, Dot(edge, light));
                    float t = std::max(0.0f, rr - 1) / look.atmosphereWidth;
                    float halo =
                        std::exp(-t * 1.6f) * lit * look.atmosphere.a * (rr > 1 ? 1.0f : 0.0f) * 0.8f;
                    AddTo(out, atmosphere, halo);
                }

                float cover = Coverage((rr - 1) * r);
                if (cover > 0)
                {
                    float z = std::sqrt(std::max(0.0f, 1 - std::min(r2, 1.0f)));
                    Vec3 n{dx, dy, z};
                    if (rr > 1) n = Normalize(Vec3{dx, dy, 0});
                    // Into the planet's own frame: the axis tilt, then the spin.
                    Vec3 q{n.x * ca + n.y * sa, -n.x * sa + n.y * ca, n.z};
                    Vec3 p{q.x * cs + q.z * ss, q.y, -q.x * ss + q.z * cs};
                    SurfacePoint sp = SampleSurface(look, p);
                    float lambert = Dot(n, light);
                    float lit = SmoothStep(-0.14f, 0.3f, lambert) *
                                (0.2f + 0.8f * std::pow(std::max(lambert, 0.0f), 0.75f));
                    float limb = 0.75f + 0.25f * z;
                    Rgb c = sp.albedo * (0.025f + lit * 1.08f * limb);
                    if (sp.gloss > 0)
                        c = c +
                            Rgb{1, 1, 1} * (std::pow(std::max(0.0f, Dot(n, half)), 38.0f) * sp.gloss * lit);
                    float night = 1 - SmoothStep(-0.2f, 0.15f, lambert);
                    c = c + sp.emission * (0.55f + 0.45f * night);
                    // The atmosphere brightens the rim on the lit side.
                    float rim = std::pow(1 - z, 2.6f) * look.atmosphere.a;
                    c = c + atmosphere * (rim * (0.12f + 0.95f * SmoothStep(-0.3f, 0.5f, lambert)));
                    out = Over(AddLight(Rgb{Saturate(c.r), Saturate(c.g), Saturate(c.b)}, 1) * cover, out);
                }
                if (look.rings && nearSide) out = Over(ringColour, out);
            }
        });
}

Canvas PlanetImage(int size, const PlanetLook& look)
{
    return PlanetImage(size, size, look);
}

Canvas PlanetImage(int w, int h, const PlanetLook& look)
{
    Canvas canvas(w, h);
    float globe = 1 + look.atmosphereWidth * 4;
    float halfW = globe, halfH = globe;
    if (look.rings)
    {
        // The ring's ellipse, turned on the screen.
        float a = look.ringOuter, b = look.ringOuter * look.ringFlatten;
        float c = std::cos(look.ringAngle), s = std::sin(look.ringAngle);
        halfW = std::max(halfW, std::sqrt(a * a * c * c + b * b * s * s));
        halfH = std::max(halfH, std::sqrt(a * a * s * s + b * b * c * c));
    }
    float radius = std::min((float(w) / 2 - 1) / halfW, (float(h) / 2 - 1) / halfH);
    PaintPlanet(canvas, float(w) / 2, float(h) / 2, radius, look);
    return canvas;
}

const PlanetLook& MapPlanet(int number)
{
    static const std::array<PlanetLook, 12> planets = {{
        // 1: a blue and green home world under clouds.
        {.surface = Surface::Ocean,
         .c1 = Colour255(70, 140, 70),
         .c2 = Colour255(30, 80, 170),
         .c3 = Colour255(190, 170, 120),
         .seed = 101,
         .spin = 0.4f,
         .atmosphere = Colour255(110, 170, 255, 0.9f)},
        // 2: an ochre desert of dunes and canyons.
        {.surface = Surface::Desert,
         .c1 = Colour255(226, 160, 82),
         .c2 = Colour255(150, 80, 40),
         .c3 = Colour255(250, 214, 150),
         .seed = 202,
         .spin = 0.77f,
         .atmosphere = Colour255(255, 190, 120, 0.6f)},
        // 3: a cracked ice world.
        {.surface = Surface::Ice,
         .c1 = Colour255(200, 232, 250),
         .c2 = Colour255(60, 130, 200),
         .c3 = Colour255(250, 252, 255),
         .seed = 303,
         .spin = 1.14f,
         .atmosphere = Colour255(160, 220, 255, 0.7f)},
        // 4: a lava world with glowing rifts.
        {.surface = Surface::Lava,
         .c1 = Colour255(255, 110, 20),
         .c2 = Colour255(70, 50, 50),
         .c3 = Colour255(255, 230, 120),
         .seed = 404,
         .spin = 1.51f,
         .atmosphere = Colour255(255, 90, 40, 0.5f)},
        // 5: a banded giant with a great storm.
        {.surface = Surface::Bands,
         .c1 = Colour255(222, 180, 130),
         .c2 = Colour255(170, 100, 60),
         .c3 = Colour255(250, 236, 210),
         .seed = 505,
         .spin = 1.88f,
         .axis = 0.12f,
         .atmosphere = Colour255(255, 220, 180, 0.5f)},
        // 6: a violet giant with rings.
        {.surface = Surface::Bands,
         .c1 = Colour255(150, 110, 220),
         .c2 = Colour255(90, 60, 160),
         .c3 = Colour255(220, 200, 255),
         .seed = 606,
         .spin = 2.25f,
         .atmosphere = Colour255(190, 160, 255, 0.6f),
         .rings = true,
         .ringColour = Colour255(200, 190, 255, 0.8f)},
        // 7: a teal water world wrapped in swirling cloud.
        {.surface = Surface::Water,
         .c1 = Colour255(40, 190, 190),
         .c2 = Colour255(10, 80, 110),
         .c3 = Colour255(230, 250, 250),
         .seed = 707,
         .spin = 2.62f,
         .atmosphere = Colour255(120, 255, 230, 0.8f)},
        // 8: a rust-red cratered world.
        {.surface = Surface::Rocky,
         .c1 = Colour255(200, 96, 60),
         .c2 = Colour255(120, 50, 36),
         .c3 = Colour255(230, 160, 120),
         .seed = 808,
         .spin = 2.99f,
         .atmosphere = Colour255(255, 140, 110, 0.45f)},
        // 9: a golden ringed giant.
        {.surface = Surface::Bands,
         .c1 = Colour255(240, 210, 120),
         .c2 = Colour255(190, 140, 60),
         .c3 = Colour255(255, 246, 214),
         .seed = 909,
         .spin = 3.36f,
         .atmosphere = Colour255(255, 230, 160, 0.5f),
         .rings = true,
         .ringColour = Colour255(240, 220, 170, 0.85f),
         .ringAngle = 0.22f},
        // 10: a magenta crystal world.
        {.surface = Surface::Crystal,
         .c1 = Colour255(230, 90, 180),
         .c2 = Colour255(120, 40, 140),
         .c3 = Colour255(255, 200, 250),
         .seed = 1010,
         .spin = 3.73f,
         .atmosphere = Colour255(255, 120, 220, 0.7f)},
        // 11: a grey moon with a thin blue air.
        {.surface = Surface::Moon,
         .c1 = Colour255(180, 180, 186),
         .c2 = Colour255(110, 110, 120),
         .c3 = Colour255(80, 82, 96),
         .seed = 1111,
         .spin = 4.1f,
         .atmosphere = Colour255(140, 180, 255, 0.45f)},
        // 12: a dusky violet world with auroras, the last before the black hole.
        {.surface = Surface::Dusk,
         .c1 = Colour255(70, 50, 110),
         .c2 = Colour255(40, 30, 70),
         .c3 = Colour255(90, 255, 200),
         .seed = 1212,
         .spin = 4.47f,
         .atmosphere = Colour255(150, 110, 255, 0.8f)},
    }};
    return planets[size_t((number - 1) % 12)];
}

void PaintBlackHole(Canvas& canvas, float cx, float cy, const BlackHoleLook& look)
{
    Rgb hot = ToRgb(look.hot), warm = ToRgb(look.warm), cool = ToRgb(look.cool);
    float ca = std::cos(look.angle), sa = std::sin(look.angle);
    float R = look.radius;
    float reach = R * (look.diskRadius + 0.8f);
    int x0 = std::max(0, int(cx - reach)), x1 = std::min(canvas.Width(), int(cx + reach) + 1);
    int y0 = std::max(0, int(cy - reach)), y1 = std::min(canvas.Height(), int(cy + reach) + 1);
    auto disk = [&](float u, float v, float rho) -> Rgb
    {
        if (rho < 1.25f || rho > look.diskRadius + 0.1f) return {};
        float t = (rho - 1.25f) / (look.diskRadius - 1.25f);
        float theta = std::atan2(v, u);
        float phase = theta * 3 + std::log(rho) * 5 - look.swirl;
        float streaks = 0.55f + 0.3f * std::sin(phase) + 0.1f * std::sin(2 * phase + 1.1f) +
                        0.05f * std::sin(3 * phase + 2.3f);
        float edge =
            SmoothStep(1.25f, 1.45f, rho) * SmoothStep(look.diskRadius + 0.1f, look.diskRadius - 0.35f, rho);
        float intensity = std::pow(1 - Saturate(t), 1.4f) * streaks * edge;
        float doppler = 1 + 0.45f * (-u / rho);
        Rgb c = t < 0.45f ? MixRgb(hot, warm, t / 0.45f) : MixRgb(warm, cool, (t - 0.45f) / 0.55f);
        return c * (intensity * doppler * look.brightness * 1.6f);
    };
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px)
        {
            float dx = float(px) + 0.5f - cx, dy = float(py) + 0.5f - cy;
            float u = (dx * ca + dy * sa) / R, v = (-dx * sa + dy * ca) / R;
            float rho = std::sqrt(u * u + (v / look.flatten) * (v / look.flatten));
            float r = std::sqrt(dx * dx + dy * dy) / R;
            Rgba& out = canvas.At(px, py);
            // A faint halo of scattered light.
            AddTo(out, MixRgb(cool, warm, 0.3f),
                  std::exp(-r * 1.4f) * 0.25f * look.brightness * SmoothStep(0.9f, 1.3f, r));
            // The far half of the disk, and its lensed image arching over the hole.
            Rgb back = v < 0 ? disk(u, v, rho) : Rgb{};
            float lens = SmoothStep(1.05f, 1.25f, r) * SmoothStep(2.1f, 1.35f, r) *
                         SmoothStep(0.2f, -0.6f, v / std::max(r, 0.01f));
            back = back + MixRgb(hot, warm, Saturate((r - 1.1f) / 0.9f)) * (lens * 0.5f * look.brightness);
            AddGlow(out, back);
            // The shadow of the hole.
            float shadow = Coverage((r - 1) * R);
            out = Over(Colour(0, 0, 0) * shadow, out);
            // The photon ring.
            float ring = std::exp(-std::pow((r - 1.08f) * R / 0.9f, 2.0f));
            AddTo(out, MixRgb(hot, warm, 0.2f), ring * 0.9f * look.brightness);
            // The near half of the disk passes in front.
            if (v >= 0)
            {
                AddGlow(out, disk(u, v, rho));
            }
        }
}

} // namespace Art
