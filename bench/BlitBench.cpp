// Blits of the software image beside the same work done by SDL2's software blitter and by
// pixman, in one process on the same pixels. The sprite is 124 x 120, mostly opaque with an
// antialiased round edge; the translucent sprite has every alpha from 1 to 254; the large
// images are an opaque and a translucent 800 x 600 picture; the destination is an opaque
// 800 x 600 screen. Items are destination pixels.
//
// pixman's twins do our operation into the layout our screen holds (a8r8g8b8, premultiplied;
// the screen is opaque, so its words are ours): additive adds the source premultiplied as our
// rule weighs it, a colour modulation takes the source through the colour (SRC with a
// component-alpha mask, into a scratch image) and then draws that over the screen, as our rule
// does. Before a twin is timed, ours and it draw once onto a fresh screen each and the largest
// difference of a channel is its counter "maxdiff"; a twin that differs by more than its case
// allows (0 where the rules are the same integer steps; else the reason is given) fails.
#include "base/Color.h"
#include "base/TriVertex.h"
#include "graphics/BlitGeometry.h"
#include "graphics/MemoryImage.h"
#include "raster/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef KAVO_BENCH_HAVE_SDL2
#include <SDL.h>
#endif
#ifdef KAVO_BENCH_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace
{

constexpr int kScreenW = 800, kScreenH = 600;
constexpr int kSpriteW = 124, kSpriteH = 120;
constexpr int kSpriteX = 300, kSpriteY = 200;

// Straight (not premultiplied) ARGB pixels of the sprite: a disc with a soft edge.
std::vector<uint32_t> SpritePixels()
{
    std::vector<uint32_t> pixels(size_t(kSpriteW * kSpriteH));
    for (int y = 0; y < kSpriteH; ++y)
        for (int x = 0; x < kSpriteW; ++x)
        {
            double d = std::hypot(x + 0.5 - kSpriteW / 2.0, y + 0.5 - kSpriteH / 2.0);
            uint32_t a = uint32_t(std::clamp((kSpriteH / 2.0 - 0.5 - d) * 255.0, 0.0, 255.0));
            uint32_t r = uint32_t(x * 2), g = uint32_t(y * 2), b = 160;
            pixels[size_t(y * kSpriteW + x)] = a << 24 | r << 16 | g << 8 | b;
        }
    return pixels;
}

std::vector<uint32_t> PicturePixels()
{
    std::vector<uint32_t> pixels(size_t(kScreenW * kScreenH));
    for (int y = 0; y < kScreenH; ++y)
        for (int x = 0; x < kScreenW; ++x)
            pixels[size_t(y * kScreenW + x)] =
                0xFF000000 | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | 0x40;
    return pixels;
}

// The sprite's colours with every alpha from 1 to 254 across it.
std::vector<uint32_t> Translucent(std::vector<uint32_t> pixels, int w)
{
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        uint32_t a = 1 + uint32_t((int(i) % w) * 7 + (int(i) / w) * 3) % 254;
        pixels[i] = a << 24 | (pixels[i] & 0xFFFFFF);
    }
    return pixels;
}

// The colour and alpha modulations measured: a warm text colour, and half alpha.
const Kavo::Color kTint(200, 150, 100);
const Kavo::Color kHalf(255, 255, 255, 128);

// Sixteen places for the sprite, at every alignment of a 16-byte row.
constexpr int kPlaces = 16;
int PlaceX(int i)
{
    return 40 + i * 37;
}
int PlaceY(int i)
{
    return 30 + (i % 4) * 130;
}

std::vector<uint32_t> Premultiplied(std::vector<uint32_t> pixels)
{
    for (uint32_t& p : pixels)
    {
        uint32_t a = p >> 24;
        p = a << 24 | (((p >> 16) & 0xFF) * a / 255) << 16 | (((p >> 8) & 0xFF) * a / 255) << 8 |
            ((p & 0xFF) * a / 255);
    }
    return pixels;
}

// --- Ours ---

struct KavoScene
{
    Kavo::MemoryImage screen, sprite, picture, glass, glassPicture;
    KavoScene()
    {
        std::vector<uint32_t> t = Translucent(SpritePixels(), kSpriteW);
        glass.SetBits(t.data(), kSpriteW, kSpriteH);
        std::vector<uint32_t> tp = Translucent(PicturePixels(), kScreenW);
        glassPicture.SetBits(tp.data(), kScreenW, kScreenH);
        std::vector<uint32_t> grey(size_t(kScreenW * kScreenH), 0xFF404040);
        screen.SetBits(grey.data(), kScreenW, kScreenH);
        std::vector<uint32_t> s = SpritePixels();
        sprite.SetBits(s.data(), kSpriteW, kSpriteH);
        std::vector<uint32_t> p = PicturePixels();
        picture.SetBits(p.data(), kScreenW, kScreenH);
        Kavo::InitTriangleRasterizerTable();
    }
};

enum Source
{
    kSprite,
    kGlass,
    kPicture,
    kGlassPicture
};

// The blits measured for each library: which image, mode 0 (over) or 1 (additive), the
// modulation, and whether the sprite is drawn at the sixteen places.
struct BlitCase
{
    const char* name;
    Source source;
    int mode;
    Kavo::Color color;
    bool places;
};
const BlitCase kBlitCases[] = {
    {"SpriteNormal", kSprite, 0, Kavo::Color::White, false},
    {"SpriteNormalPlaces", kSprite, 0, Kavo::Color::White, true},
    {"SpriteColored", kSprite, 0, kTint, false},
    {"SpriteColoredPlaces", kSprite, 0, kTint, true},
    {"SpriteFaded", kSprite, 0, kHalf, false},
    {"SpriteTranslucent", kGlass, 0, Kavo::Color::White, false},
    {"SpriteAdditive", kSprite, 1, Kavo::Color::White, false},
    {"FullNormal", kPicture, 0, Kavo::Color::White, false},
    {"FullTranslucent", kGlassPicture, 0, Kavo::Color::White, false},
    {"FullAdditive", kPicture, 1, Kavo::Color::White, false},
};

// Registers BM_<library>_<case> for every case of the table.
template <class Draw>
int RegisterCases(const char* library, Draw draw)
{
    for (const BlitCase& c : kBlitCases)
        benchmark::RegisterBenchmark((std::string("BM_") + library + "_" + c.name).c_str(),
                                     [draw, c](benchmark::State& state) { draw(state, c); });
    return 0;
}

Kavo::MemoryImage* SourceOf(KavoScene& scene, Source which)
{
    Kavo::MemoryImage* sources[] = {&scene.sprite, &scene.glass, &scene.picture, &scene.glassPicture};
    return sources[which];
}

bool IsFull(Source which)
{
    return which == kPicture || which == kGlassPicture;
}

// One iteration of a case: the source once, or at the sixteen places.
void KavoDraw(KavoScene& scene, const BlitCase& c)
{
    Kavo::MemoryImage* src = SourceOf(scene, c.source);
    bool full = IsFull(c.source);
    Kavo::Rect all(0, 0, src->width, src->height);
    if (!c.places)
        scene.screen.Blt(src, full ? 0 : kSpriteX, full ? 0 : kSpriteY, all, c.color, c.mode);
    else
        for (int i = 0; i < kPlaces; ++i)
            scene.screen.Blt(src, PlaceX(i), PlaceY(i), all, c.color, c.mode);
}

int64_t Items(const BlitCase& c)
{
    return int64_t(IsFull(c.source) ? kScreenW * kScreenH : kSpriteW * kSpriteH) * (c.places ? kPlaces : 1);
}

void KavoBlit(benchmark::State& state, const BlitCase& c)
{
    KavoScene scene;
    for (auto _ : state)
        KavoDraw(scene, c);
    state.SetItemsProcessed(state.iterations() * Items(c));
}

const int kKavoRegistered =
    RegisterCases("Kavo", [](benchmark::State& state, const BlitCase& c) { KavoBlit(state, c); });

// The sprite stretched to twice its size: the filtered and the nearest-pixel stretch.
void KavoStretch(KavoScene& scene, bool fast)
{
    scene.screen.StretchBlt(&scene.sprite, Kavo::Rect(kSpriteX, kSpriteY, kSpriteW * 2, kSpriteH * 2),
                            Kavo::Rect(0, 0, kSpriteW, kSpriteH), Kavo::Rect(0, 0, kScreenW, kScreenH),
                            Kavo::Color::White, 0, fast);
}

void BM_Kavo_SpriteStretched(benchmark::State& state)
{
    KavoScene scene;
    bool fast = state.range(0) != 0;
    for (auto _ : state)
        KavoStretch(scene, fast);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH * 4);
}
BENCHMARK(BM_Kavo_SpriteStretched)->Arg(0)->Arg(1);

// The sprite rotated by 0.5 radians about its centre, which stays at the sprite's place.
constexpr double kAngle = 0.5;

void KavoRotate(KavoScene& scene)
{
    scene.screen.BltRotated(&scene.sprite, kSpriteX, kSpriteY, Kavo::Rect(0, 0, kSpriteW, kSpriteH),
                            Kavo::Rect(0, 0, kScreenW, kScreenH), Kavo::Color::White, 0, kAngle,
                            kSpriteW / 2.0f, kSpriteH / 2.0f);
}

void BM_Kavo_SpriteRotated(benchmark::State& state)
{
    KavoScene scene;
    for (auto _ : state)
        KavoRotate(scene);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH);
}
BENCHMARK(BM_Kavo_SpriteRotated);

// Two textured triangles covering the sprite rotated by 0.5 radians, bilinear and blended.
void KavoTriangles(KavoScene& scene)
{
    Kavo::Matrix3 m;
    m.RotateRad(float(kAngle));
    scene.screen.BltMatrix(&scene.sprite, kSpriteX + kSpriteW / 2.0f, kSpriteY + kSpriteH / 2.0f, m,
                           Kavo::Rect(0, 0, kScreenW, kScreenH), Kavo::Color::White, 0,
                           Kavo::Rect(0, 0, kSpriteW, kSpriteH), true);
}

void BM_Kavo_TriangleStrip(benchmark::State& state)
{
    KavoScene scene;
    for (auto _ : state)
        KavoTriangles(scene);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH);
}
BENCHMARK(BM_Kavo_TriangleStrip);

#ifdef KAVO_BENCH_HAVE_SDL2

// --- SDL2's software blitter ---

struct SdlScene
{
    SDL_Surface* screen;
    SDL_Surface* sprite;
    SDL_Surface* picture;
    SDL_Surface* glass;
    SDL_Surface* glassPicture;
    std::vector<uint32_t> spritePixels = SpritePixels(), picturePixels = PicturePixels();
    std::vector<uint32_t> glassPixels = Translucent(SpritePixels(), kSpriteW),
                          glassPicturePixels = Translucent(PicturePixels(), kScreenW);
    SdlScene()
    {
        screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenW, kScreenH, 32, SDL_PIXELFORMAT_RGB888);
        SDL_FillRect(screen, nullptr, 0xFF404040);
        sprite = SDL_CreateRGBSurfaceWithFormatFrom(spritePixels.data(), kSpriteW, kSpriteH, 32, kSpriteW * 4,
                                                    SDL_PIXELFORMAT_ARGB8888);
        picture = SDL_CreateRGBSurfaceWithFormatFrom(picturePixels.data(), kScreenW, kScreenH, 32,
                                                     kScreenW * 4, SDL_PIXELFORMAT_RGB888);
        glass = SDL_CreateRGBSurfaceWithFormatFrom(glassPixels.data(), kSpriteW, kSpriteH, 32, kSpriteW * 4,
                                                   SDL_PIXELFORMAT_ARGB8888);
        glassPicture = SDL_CreateRGBSurfaceWithFormatFrom(glassPicturePixels.data(), kScreenW, kScreenH, 32,
                                                          kScreenW * 4, SDL_PIXELFORMAT_ARGB8888);
    }
    ~SdlScene()
    {
        SDL_FreeSurface(screen);
        SDL_FreeSurface(sprite);
        SDL_FreeSurface(picture);
        SDL_FreeSurface(glass);
        SDL_FreeSurface(glassPicture);
    }
};

void SdlBlit(benchmark::State& state, Source which, SDL_BlendMode mode,
             const Kavo::Color& color = Kavo::Color::White, bool places = false)
{
    SdlScene scene;
    SDL_Surface* sources[] = {scene.sprite, scene.glass, scene.picture, scene.glassPicture};
    SDL_Surface* src = sources[which];
    bool full = which == kPicture || which == kGlassPicture;
    SDL_SetSurfaceBlendMode(src, mode);
    SDL_SetSurfaceColorMod(src, Uint8(color.mRed), Uint8(color.mGreen), Uint8(color.mBlue));
    SDL_SetSurfaceAlphaMod(src, Uint8(color.mAlpha));
    for (auto _ : state)
    {
        for (int i = 0; i < (places ? kPlaces : 1); ++i)
        {
            SDL_Rect d = {full     ? 0
                          : places ? PlaceX(i)
                                   : kSpriteX,
                          full     ? 0
                          : places ? PlaceY(i)
                                   : kSpriteY,
                          0, 0};
            SDL_BlitSurface(src, nullptr, scene.screen, &d);
        }
    }
    state.SetItemsProcessed(state.iterations() * src->w * src->h * (places ? kPlaces : 1));
}

// The cases of the table, as SDL draws them; the opaque picture is copied.
const int kSdlRegistered = RegisterCases("SDL",
                                         [](benchmark::State& state, const BlitCase& c)
                                         {
                                             SDL_BlendMode mode = c.mode == 1 ? SDL_BLENDMODE_ADD
                                                                  : c.source == kPicture
                                                                      ? SDL_BLENDMODE_NONE
                                                                      : SDL_BLENDMODE_BLEND;
                                             SdlBlit(state, c.source, mode, c.color, c.places);
                                         });

void BM_SDL_SpriteStretched(benchmark::State& state)
{
    SdlScene scene;
    SDL_SetSurfaceBlendMode(scene.sprite, SDL_BLENDMODE_BLEND);
    for (auto _ : state)
    {
        SDL_Rect d = {kSpriteX, kSpriteY, kSpriteW * 2, kSpriteH * 2};
        SDL_BlitScaled(scene.sprite, nullptr, scene.screen, &d);
    }
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH * 4);
}
BENCHMARK(BM_SDL_SpriteStretched);

#endif

#ifdef KAVO_BENCH_HAVE_PIXMAN

// --- pixman ---

// The screen after one of the draws above, drawn by us onto a fresh screen.
template <class Draw>
std::vector<uint32_t> KavoPixelsOf(Draw draw)
{
    KavoScene scene;
    draw(scene);
    const uint32_t* bits = scene.screen.GetBits();
    return std::vector<uint32_t>(bits, bits + size_t(kScreenW * kScreenH));
}

// The largest difference of a channel between two screens.
int MaxDifference(const std::vector<uint32_t>& a, const uint32_t* b)
{
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            largest = std::max(largest, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
    return largest;
}

// The channels premultiplied as our additive rule weighs them: (c a) >> 8.
std::vector<uint32_t> WeightedByAlpha(std::vector<uint32_t> pixels)
{
    for (uint32_t& p : pixels)
    {
        uint32_t a = p >> 24;
        p = a << 24 | (((p >> 16) & 0xFF) * a >> 8) << 16 | (((p >> 8) & 0xFF) * a >> 8) << 8 |
            ((p & 0xFF) * a >> 8);
    }
    return pixels;
}

// pixman's images over words held as ours are (in software images, on 64-byte boundaries), so
// that both libraries' pixels lie in memory alike.
struct PixmanScene
{
    Kavo::MemoryImage words[7];
    pixman_image_t* screen;
    pixman_image_t* sprite;
    pixman_image_t* picture;
    pixman_image_t* glass;
    pixman_image_t* glassPicture;
    pixman_image_t* added;   // the sprite as the additive rule adds it
    pixman_image_t* scratch; // the sprite taken through a colour
    PixmanScene()
    {
        int next = 0;
        auto image = [&](std::vector<uint32_t> pixels, int w, int h)
        {
            Kavo::MemoryImage& held = words[next++];
            held.SetBits(pixels.data(), w, h);
            return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, held.GetBits(), w * 4);
        };
        screen = image(std::vector<uint32_t>(size_t(kScreenW * kScreenH), 0xFF404040), kScreenW, kScreenH);
        sprite = image(Premultiplied(SpritePixels()), kSpriteW, kSpriteH);
        picture = image(PicturePixels(), kScreenW, kScreenH);
        glass = image(Premultiplied(Translucent(SpritePixels(), kSpriteW)), kSpriteW, kSpriteH);
        glassPicture = image(Premultiplied(Translucent(PicturePixels(), kScreenW)), kScreenW, kScreenH);
        added = image(WeightedByAlpha(SpritePixels()), kSpriteW, kSpriteH);
        scratch = image(std::vector<uint32_t>(size_t(kSpriteW * kSpriteH)), kSpriteW, kSpriteH);
    }
    const uint32_t* ScreenPixels() { return words[0].GetBits(); }
    ~PixmanScene()
    {
        for (pixman_image_t* image : {screen, sprite, picture, glass, glassPicture, added, scratch})
            pixman_image_unref(image);
    }
    PixmanScene(const PixmanScene&) = delete;
    PixmanScene& operator=(const PixmanScene&) = delete;
};

// Whether a colour modulates the channels (not only the alpha).
bool Tinted(const Kavo::Color& color)
{
    return color.mRed != 255 || color.mGreen != 255 || color.mBlue != 255;
}

// A modulation as pixman's solid mask: per channel (component alpha) for a colour, one alpha
// for a fade; none for white.
pixman_image_t* Modulation(const Kavo::Color& color)
{
    if (color.IsWhite()) return nullptr;
    auto wide = [](int c) { return uint16_t(c * 257); };
    int a = color.mAlpha;
    pixman_color_t c = {wide(color.mRed * a / 255), wide(color.mGreen * a / 255), wide(color.mBlue * a / 255),
                        wide(a)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&c);
    pixman_image_set_component_alpha(mask, Tinted(color));
    return mask;
}

// One iteration of a case as pixman draws it. The opaque picture is copied (pixman's copy, as
// it takes an opaque source over); a tinted sprite is first taken through the colour
// into the scratch image (the colour's channels and alpha times the source's), then drawn over:
// the screen keeps (1 - the modulated alpha) of itself, as in our rule.
void PixmanDraw(PixmanScene& scene, const BlitCase& c, pixman_image_t* mask)
{
    pixman_image_t* sources[] = {scene.sprite, scene.glass, scene.picture, scene.glassPicture};
    pixman_image_t* src = c.mode == 1 && c.source == kSprite ? scene.added : sources[c.source];
    bool full = IsFull(c.source);
    int w = full ? kScreenW : kSpriteW, h = full ? kScreenH : kSpriteH;
    for (int i = 0; i < (c.places ? kPlaces : 1); ++i)
    {
        int x = full ? 0 : c.places ? PlaceX(i) : kSpriteX, y = full ? 0 : c.places ? PlaceY(i) : kSpriteY;
        if (c.mode == 1)
            pixman_image_composite32(PIXMAN_OP_ADD, src, nullptr, scene.screen, 0, 0, 0, 0, x, y, w, h);
        else if (c.source == kPicture && c.color.IsWhite())
            pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, scene.screen, 0, 0, 0, 0, x, y, w, h);
        else if (Tinted(c.color))
        {
            pixman_image_composite32(PIXMAN_OP_SRC, src, mask, scene.scratch, 0, 0, 0, 0, 0, 0, w, h);
            pixman_image_composite32(PIXMAN_OP_OVER, scene.scratch, nullptr, scene.screen, 0, 0, 0, 0, x, y,
                                     w, h);
        }
        else
            pixman_image_composite32(PIXMAN_OP_OVER, src, mask, scene.screen, 0, 0, 0, 0, x, y, w, h);
    }
}

// Compares pixman's pixels with ours, once before timing: the counter "maxdiff", and a failure
// when they differ by more than allowed.
bool PixelsAgree(benchmark::State& state, const std::vector<uint32_t>& ours, PixmanScene& theirs, int allowed)
{
    int difference = MaxDifference(ours, theirs.ScreenPixels());
    state.counters["maxdiff"] = difference;
    if (difference <= allowed) return true;
    state.SkipWithError(("pixman's pixels differ from ours by up to " + std::to_string(difference) +
                         ", more than " + std::to_string(allowed))
                            .c_str());
    return false;
}

// The largest difference a case allows, and why:
// - additive, the copy: none, the same integer steps;
// - over: pixman's premultiplication and its products round to nearest (x / 255), ours
//   truncate (x >> 8 and the tables' truncated divisions): up to 2;
// - a colour or a fade: the same, through one product more: up to 3.
int Allowed(const BlitCase& c)
{
    if (c.mode == 1 || (c.source == kPicture && c.color.IsWhite())) return 0;
    return c.color.IsWhite() ? 2 : 3;
}

void PixmanBlit(benchmark::State& state, const BlitCase& c)
{
    pixman_image_t* mask = Modulation(c.color);
    bool agree;
    {
        PixmanScene check;
        PixmanDraw(check, c, mask);
        agree = PixelsAgree(state, KavoPixelsOf([&](KavoScene& scene) { KavoDraw(scene, c); }), check,
                            Allowed(c));
    }
    PixmanScene scene;
    if (agree)
        for (auto _ : state)
            PixmanDraw(scene, c, mask);
    if (mask) pixman_image_unref(mask);
    state.SetItemsProcessed(state.iterations() * Items(c));
}

// The cases of the table, as pixman draws them.
const int kPixmanRegistered =
    RegisterCases("Pixman", [](benchmark::State& state, const BlitCase& c) { PixmanBlit(state, c); });

// The sprite under an affine transform: scaled by 2, or rotated as ours is. pixman samples a
// destination pixel at its centre, mapped to the source and less half a pixel; ours samples
// the source at the pixel's corner mapped: the rotation is about the centre moved by half a
// pixel, so that both sample the same points. The rotated twin draws the rectangle ours does
// (the rotated sprite's bounds).
void PixmanTransform(PixmanScene& scene, bool rotate, pixman_filter_t filter, Kavo::Rect& area)
{
    pixman_transform_t t;
    if (rotate)
    {
        Kavo::RectD bounds;
        Kavo::CalcRotatedBltBounds(Kavo::Rect(0, 0, kSpriteW, kSpriteH), Kavo::Rect(0, 0, kScreenW, kScreenH),
                                   kSpriteX, kSpriteY, kSpriteW / 2.0f, kSpriteH / 2.0f, kAngle, bounds);
        int x0 = int(std::floor(bounds.x)), y0 = int(std::floor(bounds.y));
        area = Kavo::Rect(x0, y0, int(std::ceil(bounds.x + bounds.width)) - x0,
                          int(std::ceil(bounds.y + bounds.height)) - y0);
        // Destination pixel (X, Y) of the area is source point (X - kSpriteX, Y - kSpriteY) + 0.5
        // before the transform.
        double cx = kSpriteW / 2.0 + 0.5, cy = kSpriteH / 2.0 + 0.5;
        pixman_transform_init_identity(&t);
        pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-cx), pixman_double_to_fixed(-cy));
        pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(kAngle)),
                                pixman_double_to_fixed(std::sin(kAngle)));
        pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(cx), pixman_double_to_fixed(cy));
    }
    else
    {
        pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
        area = Kavo::Rect(kSpriteX, kSpriteY, kSpriteW * 2, kSpriteH * 2);
    }
    pixman_image_set_transform(scene.sprite, &t);
    pixman_image_set_filter(scene.sprite, filter, nullptr, 0);
}

void PixmanTransformed(benchmark::State& state, bool rotate, pixman_filter_t filter, int allowed)
{
    auto draw = [&](PixmanScene& scene)
    {
        Kavo::Rect area;
        PixmanTransform(scene, rotate, filter, area);
        int sx = rotate ? area.mX - kSpriteX : 0, sy = rotate ? area.mY - kSpriteY : 0;
        return [&scene, area, sx, sy]
        {
            pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, sx, sy, 0, 0,
                                     area.mX, area.mY, area.mWidth, area.mHeight);
        };
    };
    bool agree;
    {
        PixmanScene check;
        draw(check)();
        std::vector<uint32_t> ours = KavoPixelsOf(
            [&](KavoScene& scene)
            {
                if (rotate)
                    KavoRotate(scene);
                else
                    KavoStretch(scene, filter == PIXMAN_FILTER_NEAREST);
            });
        agree = PixelsAgree(state, ours, check, allowed);
    }
    PixmanScene scene;
    auto once = draw(scene);
    if (agree)
        for (auto _ : state)
            once();
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH * (rotate ? 1 : 4));
}

// The stretches sample differently (ours spreads the source's first and last pixels over the
// destination's, pixman maps pixel centres), so their pixels are compared only loosely; the
// bilinear rotation samples the same points with 7-bit weights (pixman) against 16-bit (ours),
// and ours writes a pixel opaque from a coverage of 251.
void BM_Pixman_SpriteStretched(benchmark::State& state)
{
    bool nearest = state.range(0) != 0;
    PixmanTransformed(state, false, nearest ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, 255);
}
BENCHMARK(BM_Pixman_SpriteStretched)->Arg(0)->Arg(1);
void BM_Pixman_SpriteRotated(benchmark::State& state)
{
    PixmanTransformed(state, true, PIXMAN_FILTER_BILINEAR, 16);
}
BENCHMARK(BM_Pixman_SpriteRotated);

// The same rotated quad as two triangles of a strip, textured from the transformed sprite.
void BM_Pixman_TriangleStrip(benchmark::State& state)
{
    PixmanScene scene;
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    double c = std::cos(0.5), s = std::sin(0.5);
    double cx = kSpriteX + kSpriteW / 2.0, cy = kSpriteY + kSpriteH / 2.0;
    // Destination to source: rotate back about the sprite's centre.
    pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-cx), pixman_double_to_fixed(-cy));
    pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(c), pixman_double_to_fixed(s));
    pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(kSpriteW / 2.0),
                               pixman_double_to_fixed(kSpriteH / 2.0));
    pixman_image_set_transform(scene.sprite, &t);
    pixman_image_set_filter(scene.sprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    auto corner = [&](double x, double y, pixman_point_fixed_t& p)
    {
        p.x = pixman_double_to_fixed(cx + x * c + y * s);
        p.y = pixman_double_to_fixed(cy - x * s + y * c);
    };
    pixman_triangle_t tris[2];
    double hw = kSpriteW / 2.0, hh = kSpriteH / 2.0;
    corner(-hw, -hh, tris[0].p1);
    corner(hw, -hh, tris[0].p2);
    corner(-hw, hh, tris[0].p3);
    corner(hw, -hh, tris[1].p1);
    corner(-hw, hh, tris[1].p2);
    corner(hw, hh, tris[1].p3);
    for (auto _ : state)
        pixman_composite_triangles(PIXMAN_OP_OVER, scene.sprite, scene.screen, PIXMAN_a8, 0, 0, 0, 0, 2,
                                   tris);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH);
}
BENCHMARK(BM_Pixman_TriangleStrip);

#endif

} // namespace
