#include "tools/art/Pieces.h"

#include "tools/art/Catalogue.h"
#include "tools/art/Noise.h"
#include "tools/art/Space.h"

#include <array>
#include <cmath>

namespace Art
{

namespace
{

constexpr int kExplosionCell = 124; // an explosion frame: 124 x 120
constexpr int kExplosionCellHeight = 120;
constexpr int kExplosionFrames = 5;
constexpr int kBlackHoleFrames = 8;
constexpr int kSupernovaCels = 6;
constexpr int kTileColours = 10;
constexpr float kCellRadius = 25.0f; // a piece's radius in its board cell

Sdf Rounded(std::vector<Vec2> polygon, float rounding)
{
    return [polygon = std::move(polygon), rounding](Vec2 p) { return SdPolygon(p, polygon) - rounding; };
}

} // namespace

Rgba PieceColour(int code)
{
    // Colour-blind-safe hues first (the early levels use colours 1 to 4); every colour also has
    // its own silhouette.
    static const std::array<Rgba, kPieceColours> colours = {
        Colour255(236, 64, 52),   // 1 red: a round orb
        Colour255(64, 166, 255),  // 2 sky blue: a diamond
        Colour255(255, 212, 36),  // 3 yellow: a five-pointed star
        Colour255(24, 196, 120),  // 4 green: a hexagon
        Colour255(184, 86, 236),  // 5 purple: a crescent moon
        Colour255(255, 138, 24),  // 6 orange: a triangle
        Colour255(236, 242, 252), // 7 white: a four-pointed sparkle
        Colour255(70, 84, 236),   // 8 deep blue: a rounded square
        Colour255(255, 116, 196), // 9 pink: a comet
        Colour255(176, 116, 62),  // 10 bronze: a cross
    };
    return colours[size_t(std::clamp(code, 1, kPieceColours) - 1)];
}

Sdf PieceShape(int code)
{
    switch (code)
    {
    case 1:
        return [](Vec2 p) { return SdCircle(p, 0.96f); };
    case 2:
        return Rounded({{0, -1.08f}, {0.86f, 0}, {0, 1.08f}, {-0.86f, 0}}, 0.07f);
    case 3:
        return Rounded(StarPolygon(5, 1.08f, 0.5f, -kPi / 2), 0.07f);
    case 4:
        return Rounded(RegularPolygon(6, 0.94f, 0), 0.08f);
    case 5:
        return [](Vec2 p)
        {
            float outer = SdCircle(p, 0.98f);
            float cut = SdCircle(p - Vec2{0.46f, -0.30f}, 0.74f);
            return std::max(outer, -cut);
        };
    case 6:
        return [](Vec2 p)
        {
            static const std::vector<Vec2> triangle = RegularPolygon(3, 1.16f, -kPi / 2);
            return SdPolygon(p - Vec2{0, 0.2f}, triangle) - 0.1f;
        };
    case 7:
        return Rounded(StarPolygon(4, 1.1f, 0.42f, -kPi / 2), 0.06f);
    case 8:
        return [](Vec2 p) { return SdBox(p, Vec2{0.8f, 0.8f}, 0.26f); };
    case 9:
        return [](Vec2 p)
        {
            float head = SdCircle(p - Vec2{-0.24f, 0.24f}, 0.7f);
            float tail = SdPolygon(p, {{-0.66f, -0.2f}, {0.92f, -0.92f}, {0.2f, 0.66f}});
            return SmoothUnion(head, tail, 0.12f);
        };
    default:
        return [](Vec2 p)
        {
            float a = SdBox(p, Vec2{0.96f, 0.34f}, 0.12f);
            float b = SdBox(p, Vec2{0.34f, 0.96f}, 0.12f);
            return std::min(a, b);
        };
    }
}

void PaintPiece(Canvas& canvas, int code, float cx, float cy, float radius, bool bare)
{
    float k = radius / kCellRadius; // 1 in a board cell
    if (code == 11)
    {
        // A wall: a block of dark rock set in the board.
        Sdf block = [](Vec2 p) { return SdBox(p, Vec2{1.16f, 1.12f}, 0.2f); };
        Canvas shadow(canvas.Width(), canvas.Height());
        PaintShape(shadow, cx + 1.5f * k, cy + 2.5f * k, block, Colour(0, 0, 0, 0.5f), radius);
        shadow.Blur(3 * k);
        canvas.Draw(shadow, 0, 0);
        Bevel bevel{.base = Colour255(108, 104, 118),
                    .width = 7 * k,
                    .gloss = 0.25f,
                    .shininess = 16,
                    .glassHighlight = false};
        Canvas rock(canvas.Width(), canvas.Height());
        PaintBevelled(rock, cx, cy, block, bevel, radius);
        rock.Map(
            [&](float x, float y, const Rgba& p)
            {
                float n = Fbm2(x / (7 * k), y / (7 * k), 1111, 4);
                float crack = Ridged2(x / (16 * k), y / (16 * k), 2222, 3);
                float shade = 0.82f + 0.35f * n - 0.45f * SmoothStep(0.82f, 0.96f, crack);
                return Rgba{p.r * shade, p.g * shade, p.b * shade, p.a};
            });
        canvas.Draw(rock, 0, 0);
        return;
    }
    Sdf shape = PieceShape(code);
    Rgba colour = PieceColour(code);
    if (!bare)
    {
        // A soft shadow below and a faint glow of the piece's own colour around it.
        Canvas under(canvas.Width(), canvas.Height());
        PaintShape(under, cx + 1.2f * k, cy + 2.2f * k, shape, Colour(0, 0, 0, 0.55f), radius);
        under.Blur(3.2f * k);
        PaintGlow(under, cx, cy, shape, Shade(colour, 1.15f) * 0.35f, 5.0f * k, radius);
        canvas.Draw(under, 0, 0);
    }
    Bevel bevel{.base = colour,
                .width = 6.5f * k,
                .gloss = 0.6f,
                .shininess = 26,
                .outline = 1.3f * std::max(k, 0.75f),
                .outlineDarkness = code == 7 ? 0.45f : 0.38f};
    PaintBevelled(canvas, cx, cy, shape, bevel, radius);
}

namespace
{

Canvas PieceStrip(float radius, int cellWidth, int cellHeight)
{
    Canvas strip(cellWidth * 11, cellHeight);
    for (int code = 1; code <= 11; ++code)
    {
        Canvas cell(cellWidth, cellHeight);
        PaintPiece(cell, code, float(cellWidth) / 2, float(cellHeight) / 2, radius);
        strip.Draw(cell, (code - 1) * cellWidth, 0);
    }
    return strip;
}

// One frame of a black hole in a board cell, its disk turned by the frame.
// A black hole seen from above: a dark core, a bright rim and two arms of hot gas spiralling
// in. swirl turns the arms; a turn of 2 pi brings them back where they were.
void PaintVortex(Canvas& canvas, float cx, float cy, float core, float outer, float swirl, float brightness)
{
    const Rgba hot = Colour255(255, 236, 190), warm = Colour255(255, 120, 40), cool = Colour255(150, 60, 230);
    canvas.Paint(
        [&](float x, float y) -> Rgba
        {
            float dx = x - cx, dy = (y - cy) / 0.86f;
            float r = std::sqrt(dx * dx + dy * dy);
            if (r > outer + 4) return Rgba{};
            float a = std::atan2(dy, dx);
            float t = Saturate((r - core) / (outer - core));
            float arms = 0.5f + 0.5f * std::cos(2 * a + 4.2f * std::log(std::max(r, 1.0f) / core) - swirl);
            arms = 0.12f + 0.88f * arms * arms * arms;
            float gas = arms * std::pow(1 - t, 1.3f) * SmoothStep(core - 1, core + 2, r) * brightness;
            Rgba c = t < 0.35f ? Mix(hot, warm, t / 0.35f) : Mix(warm, cool, (t - 0.35f) / 0.65f);
            float k = Saturate(gas * 1.5f);
            Rgba out = Rgba{c.r * k, c.g * k, c.b * k, k};
            // A haze beyond the arms, and the dark core with its bright rim.
            out = Over(out, Colour(0.25f, 0.05f, 0.4f, 0.35f * SmoothStep(outer + 4, core, r)));
            float rim = std::exp(-std::pow((r - core - 0.6f) / 1.3f, 2.0f)) * brightness;
            out = Over(Colour(1, 0.9f, 0.75f, Saturate(rim)), out);
            return Over(Colour(0, 0, 0.02f, Coverage(r - core)), out);
        });
}

Canvas BlackHoleFrame(int frame, int w, int h, float scale)
{
    Canvas cell(w, h);
    PaintVortex(cell, float(w) / 2, float(h) / 2, 9 * scale, 27 * scale,
                2 * kPi * float(frame) / kBlackHoleFrames, 1.0f);
    return cell;
}

// The halo behind a supernova piece; cel k of the six turns and pulses.
Canvas SupernovaCel(int cel)
{
    Canvas c(kExplosionCell, kExplosionCellHeight);
    float cx = kExplosionCell / 2.0f, cy = kExplosionCellHeight / 2.0f;
    float turn = float(cel) / kSupernovaCels * (2 * kPi / 12);
    float pulse = 0.85f + 0.15f * std::sin(2 * kPi * float(cel) / kSupernovaCels);
    c.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            float dx = x - cx, dy = y - cy;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            float rays =
                std::pow(0.5f + 0.5f * std::cos(12 * (a - turn)), 10.0f) * std::exp(-r / (26 * pulse));
            float thin = std::pow(0.5f + 0.5f * std::cos(6 * (a + turn * 1.5f) + 0.5f), 40.0f) *
                         std::exp(-r / (40 * pulse));
            float core = std::exp(-(r * r) / (2 * 22.0f * 22.0f)) * 0.75f * pulse;
            float ring = std::exp(-std::pow((r - 32 * pulse) / 3.0f, 2.0f)) * 0.35f;
            float edge = SmoothStep(60, 48, r);
            float k = (rays * 0.9f + thin * 0.8f + core + ring) * edge;
            Rgba warm = Colour255(255, 226, 140);
            Rgba white = Colour255(255, 255, 240);
            Rgba tint = Mix(white, warm, Saturate(r / 40));
            return Rgba{tint.r * k, tint.g * k, tint.b * k, Saturate(k)};
        });
    return c;
}

// Explosion frame f (1..5) of piece code 1..10: a flash, a shock ring, the piece breaking into
// shards that fly apart, and sparks.
Canvas ExplosionFrame(int code, int f)
{
    const float w = kExplosionCell, h = kExplosionCellHeight;
    const float cx = w / 2, cy = h / 2;
    Canvas frame{int(w), int(h)};
    Rgba colour = PieceColour(code);
    Rgba bright = Shade(colour, 1.45f);
    const float spread[kExplosionFrames] = {0.0f, 0.18f, 0.45f, 0.72f, 1.0f};
    const float fade[kExplosionFrames] = {1.0f, 1.0f, 0.85f, 0.55f, 0.22f};
    float t = spread[f - 1], alpha = fade[f - 1];

    // The flash behind everything.
    const float flashes[kExplosionFrames] = {1.0f, 0.75f, 0.4f, 0.2f, 0.08f};
    float flash = flashes[f - 1];
    frame.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            float r = std::hypot(x - cx, y - cy);
            float k = std::exp(-(r * r) / (2 * (20 + 22 * t) * (20 + 22 * t))) * flash;
            return Rgba{bright.r * k, bright.g * k, bright.b * k, Saturate(k)};
        });
    // The shock ring.
    float ringR = 18 + 40 * t, ringW = 3.5f - 1.8f * t;
    frame.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            float r = std::hypot(x - cx, y - cy);
            float k = std::exp(-std::pow((r - ringR) / ringW, 2.0f)) * alpha * 0.95f;
            k *= SmoothStep(61, 55, r);
            Rgba c = Mix(Colour(1, 1, 1), bright, t);
            return Rgba{c.r * k, c.g * k, c.b * k, Saturate(k)};
        });

    // The piece, white hot, breaking into shards.
    Canvas piece{int(w), int(h)};
    PaintPiece(piece, code, cx, cy, kCellRadius * (f == 1 ? 1.08f : 1.0f), true);
    const float heats[kExplosionFrames] = {0.6f, 0.38f, 0.18f, 0.08f, 0.0f};
    float heat = heats[f - 1];
    piece.Map(
        [&](float, float, const Rgba& p) {
            return Rgba{p.r + (p.a - p.r) * heat, p.g + (p.a - p.g) * heat, p.b + (p.a - p.b) * heat, p.a};
        });
    struct Shard
    {
        Vec2 seed, move;
        float turn;
    };
    std::vector<Shard> shards;
    Rng rng(uint32_t(code * 31 + 7));
    shards.push_back({{0, 0}, {0, 0}, 0});
    for (int i = 0; i < 7; ++i)
    {
        float a = 2 * kPi * (float(i) + rng.Range(-0.25f, 0.25f)) / 7;
        Vec2 dir{std::cos(a), std::sin(a)};
        shards.push_back({dir * (kCellRadius * 0.62f), dir * rng.Range(26, 40), rng.Range(-0.9f, 0.9f)});
    }
    shards[0].move = Vec2{rng.Range(-3, 3), rng.Range(-3, 3)};
    float shardScale = 1 - 0.35f * t;
    frame.Paint(
        [&](float x, float y) -> Rgba
        {
            Rgba out{};
            for (size_t k = 0; k < shards.size(); ++k)
            {
                const Shard& s = shards[k];
                Vec2 p{x - cx, y - cy};
                // Where this point came from in the unbroken piece, were it on shard k.
                Vec2 q = Rotate((p - s.seed - s.move * t) * (1 / shardScale), -s.turn * t) + s.seed;
                size_t nearest = 0;
                float best = 1e9f;
                for (size_t j = 0; j < shards.size(); ++j)
                {
                    Vec2 d = q - shards[j].seed;
                    float dd = Dot(d, d);
                    if (dd < best)
                    {
                        best = dd;
                        nearest = j;
                    }
                }
                if (nearest != k) continue;
                // A thin crack between the shards once they part.
                Rgba c = piece.Sample(q.x + cx, q.y + cy) * alpha;
                out = Over(c, out);
            }
            return out;
        });
    // Sparks flying out with short trails.
    Rng sparks(uint32_t(code * 97 + 3));
    for (int i = 0; i < 16 && f > 1; ++i)
    {
        float a = sparks.Range(0, 2 * kPi);
        float speed = sparks.Range(24, 40);
        float r1 = 20 + speed * t, r0 = r1 - 9 * (1 - t * 0.5f);
        Vec2 dir{std::cos(a), std::sin(a)};
        Vec2 a0 = dir * r0, a1 = dir * r1;
        float strength = alpha * (0.7f + 0.3f * sparks.Uniform());
        frame.PaintAdd(
            [&](float x, float y) -> Rgba
            {
                float d = SdSegment(Vec2{x - cx, y - cy}, a0, a1);
                float k = std::exp(-d * d / 1.1f) * strength;
                Rgba c = Mix(Colour(1, 1, 1), bright, 0.4f);
                return Rgba{c.r * k, c.g * k, c.b * k, Saturate(k)};
            });
    }
    return frame;
}

// The black hole's end: it flares, its disk whirls inwards and a violet ring runs out.
Canvas BlackHoleCollapse(int f)
{
    const int w = kExplosionCell, h = kExplosionCellHeight;
    Canvas frame(w, h);
    float t = float(f) / kExplosionFrames;
    // The hole shrinks and its gas whirls in, brightening, before the last flash.
    if (f < kExplosionFrames)
        PaintVortex(frame, float(w) / 2, float(h) / 2, 9 * (1 - 0.75f * t), 27 * (1 - 0.45f * t),
                    2.4f * float(f), 1.0f + 0.8f * t);
    float ringR = 14 + 44 * t;
    frame.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            float r = std::hypot(x - float(w) / 2, y - float(h) / 2);
            float k = std::exp(-std::pow((r - ringR) / (4 - 2 * t), 2.0f)) * (1 - t * 0.7f);
            k += std::exp(-(r * r) / (2 * 10.0f * 10.0f)) * (f == kExplosionFrames ? 0.9f : 0.35f * t);
            k *= SmoothStep(61, 55, r);
            Rgba c = Mix(Colour255(255, 240, 255), Colour255(170, 90, 255), r / 50);
            return Rgba{c.r * k, c.g * k, c.b * k, Saturate(k)};
        });
    return frame;
}

// A grid square of tile colour c: a pane of dark glass; the lit tile (1) glows gold and the
// other colours are tinted, each with its own pattern.
Canvas GridSquare(int c)
{
    const int size = 62;
    Canvas cel(size, size);
    static const std::array<Rgba, kTileColours> tints = {
        Colour255(60, 90, 170),   Colour255(255, 196, 60), Colour255(230, 60, 110), Colour255(60, 200, 110),
        Colour255(90, 130, 255),  Colour255(255, 130, 40), Colour255(170, 90, 240), Colour255(40, 200, 210),
        Colour255(180, 180, 200), Colour255(255, 120, 200)};
    Rgba tint = tints[size_t(c)];
    Vec2 centre{size / 2.0f, size / 2.0f};
    cel.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = SdBox(Vec2{x, y} - centre, Vec2{30.5f, 30.5f}, 7);
            float inside = Coverage(d);
            if (inside <= 0) return Rgba{};
            float depth = -d;
            float t = y / size;
            // Glass: darker at the foot, a lighter rim along the top and left.
            float base = c == 0 ? 0.34f : c == 1 ? 0.5f : 0.42f;
            Rgba fill = Mix(Shade(tint, 0.30f), Shade(tint, 0.16f), t);
            float alpha = base + 0.18f * (1 - t);
            if (c == 1)
            {
                float glow = std::exp(-std::pow(Length(Vec2{x, y} - centre) / 26.0f, 2.0f));
                fill = Mix(fill, Shade(tint, 0.8f), glow * 0.7f);
                alpha += 0.2f * glow;
            }
            // Patterns tell the tile colours apart without their colour.
            float pattern = 0;
            if (c >= 2)
            {
                float u = x - centre.x, v = y - centre.y;
                switch (c % 4)
                {
                case 2:
                    pattern = std::fmod(std::abs(u + v) + 100, 9.0f) < 2.2f ? 1.0f : 0.0f;
                    break; // stripes
                case 3:
                    pattern = (std::fmod(x, 10.0f) < 2.5f && std::fmod(y, 10.0f) < 2.5f) ? 1.0f : 0.0f;
                    break; // dots
                case 0:
                    pattern = std::fmod(std::abs(u) + 100, 10.0f) < 2.0f ? 1.0f : 0.0f;
                    break; // columns
                default:
                    pattern = std::fmod(std::abs(v) + 100, 10.0f) < 2.0f ? 1.0f : 0.0f;
                    break; // rows
                }
                pattern *= 0.22f * SmoothStep(3, 7, depth);
            }
            fill = Mix(fill, Shade(tint, 0.7f), pattern);
            Rgba out = Colour(fill.r, fill.g, fill.b, Saturate(alpha + pattern * 0.3f)) * inside;
            // The rim: a bright line lit from the upper left.
            float rim = Coverage(std::abs(d + 1.0f) - 0.7f);
            float light = Saturate(0.45f + 0.55f * (-(x - centre.x) - (y - centre.y)) / 40);
            Rgba rimColour = Shade(tint, 1.35f) * ((0.25f + 0.5f * light) * (c == 1 ? 1.4f : 1.0f));
            out = Over(rimColour * rim, out);
            // An inner shine along the top.
            float shine = SmoothStep(10, 3, depth) * SmoothStep(30, 8, y) * 0.12f;
            out = Over(Colour(1, 1, 1, shine) * inside, out);
            return out;
        });
    return cel;
}

Canvas Crossbeam()
{
    // A small rivet where four squares meet, centred on the gap between them.
    Canvas c(13, 15);
    Vec2 centre{6.5f, 7.5f};
    PaintGlow(
        c, centre.x, centre.y, [](Vec2 p) { return SdCircle(p, 1.0f); }, Colour255(90, 170, 255, 0.45f), 4.0f,
        2.5f);
    Bevel bevel{.base = Colour255(150, 170, 210),
                .width = 2,
                .gloss = 0.7f,
                .outline = 0.8f,
                .glassHighlight = false};
    PaintBevelled(
        c, centre.x, centre.y,
        [](Vec2 p) {
            return SdPolygon(p, {{0, -1}, {1, 0}, {0, 1}, {-1, 0}}) - 0.05f;
        },
        bevel, 3.6f);
    return c;
}

Canvas Wildcard()
{
    Canvas c(kPieceWidth, kPieceHeight);
    float cx = kPieceWidth / 2.0f, cy = kPieceHeight / 2.0f;
    Sdf ring = [](Vec2 p)
    {
        float r = Length(p);
        return std::max(r - 1.0f, 0.64f - r);
    };
    Canvas under(kPieceWidth, kPieceHeight);
    PaintShape(under, cx + 1.2f, cy + 2.2f, ring, Colour(0, 0, 0, 0.5f), 26);
    under.Blur(3);
    c.Draw(under, 0, 0);
    // The window the cycling colour shows through.
    PaintShape(
        c, cx, cy, [](Vec2 p) { return SdCircle(p, 0.7f); }, Colour255(8, 10, 30, 0.85f), 26);
    Canvas band(kPieceWidth, kPieceHeight);
    Bevel bevel{.base = Colour(1, 1, 1),
                .width = 4.5f,
                .gloss = 0.7f,
                .outline = 1.1f,
                .outlineDarkness = 0.3f,
                .glassHighlight = false};
    PaintBevelled(band, cx, cy, ring, bevel, 26);
    // Every colour of the spectrum around the ring.
    band.Map(
        [&](float x, float y, const Rgba& p)
        {
            float a = std::atan2(y - cy, x - cx);
            auto wave = [&](float offset) { return 0.55f + 0.45f * std::cos(a - offset); };
            Rgba hue = Colour(wave(0), wave(2 * kPi / 3), wave(4 * kPi / 3));
            return Rgba{p.r * (0.35f + 0.65f * hue.r / hue.a), p.g * (0.35f + 0.65f * hue.g / hue.a),
                        p.b * (0.35f + 0.65f * hue.b / hue.a), p.a};
        });
    c.Draw(band, 0, 0);
    // Four glints on the ring.
    for (int i = 0; i < 4; ++i)
    {
        float a = -kPi / 4 + float(i) * kPi / 2;
        PaintStar(c, cx + 21.5f * std::cos(a), cy + 21.5f * std::sin(a), 0.9f, Colour(1, 1, 1, 0.9f), true);
    }
    return c;
}

} // namespace

void AddPieceImages(std::vector<ImageSpec>& out)
{
    out.push_back({"IMAGE_PIECES", "images/pieces", 11, 1, Format::Png,
                   [] { return PieceStrip(kCellRadius, kPieceWidth, kPieceHeight); }});
    out.push_back({"IMAGE_PIECES_MINI", "images/pieces_mini", 11, 1, Format::Png,
                   [] { return PieceStrip(13.0f, kMiniWidth, kMiniHeight); }});
    out.push_back({"IMAGE_PIECESEXPLODING", "images/piecesexploding", 11, kExplosionFrames, Format::Png,
                   []
                   {
                       Canvas sheet(kExplosionCell * 11, kExplosionCellHeight * kExplosionFrames);
                       for (int f = 1; f <= kExplosionFrames; ++f)
                       {
                           for (int code = 1; code <= kPieceColours; ++code)
                               sheet.Draw(ExplosionFrame(code, f), (code - 1) * kExplosionCell,
                                          (f - 1) * kExplosionCellHeight);
                           sheet.Draw(BlackHoleCollapse(f), 10 * kExplosionCell,
                                      (f - 1) * kExplosionCellHeight);
                       }
                       return sheet;
                   }});
    out.push_back({"IMAGE_BLACKHOLE", "images/blackhole", 1, kBlackHoleFrames, Format::Png,
                   []
                   {
                       Canvas strip(kPieceWidth, kPieceHeight * kBlackHoleFrames);
                       for (int f = 0; f < kBlackHoleFrames; ++f)
                           strip.Draw(BlackHoleFrame(f, kPieceWidth, kPieceHeight, 1.0f), 0,
                                      f * kPieceHeight);
                       return strip;
                   }});
    out.push_back({"IMAGE_SUPERNOVA", "images/supernova", kSupernovaCels, 1, Format::Png,
                   []
                   {
                       Canvas strip(kExplosionCell * kSupernovaCels, kExplosionCellHeight);
                       for (int k = 0; k < kSupernovaCels; ++k)
                           strip.Draw(SupernovaCel(k), k * kExplosionCell, 0);
                       return strip;
                   }});
    out.push_back({"IMAGE_WILDCARD", "images/wildcard", 1, 1, Format::Png, [] { return Wildcard(); }});
    out.push_back({"IMAGE_GRID_SQUARE", "images/grid_square", kTileColours, 1, Format::Png,
                   []
                   {
                       Canvas strip(62 * kTileColours, 62);
                       for (int c = 0; c < kTileColours; ++c)
                           strip.Draw(GridSquare(c), c * 62, 0);
                       return strip;
                   }});
    out.push_back(
        {"IMAGE_GRID_CROSSBEAM", "images/grid_crossbeam", 1, 1, Format::Png, [] { return Crossbeam(); }});
}

} // namespace Art
