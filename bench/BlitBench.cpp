// Blits of the software image beside the same work done by SDL2's software blitter and by
// pixman. The sprite is 124 x 120, mostly opaque with an antialiased round edge; the large
// image is an opaque 800 x 600 picture; the destination is an opaque 800 x 600 screen.
#include "base/Color.h"
#include "base/TriVertex.h"
#include "graphics/MemoryImage.h"
#include "raster/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
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
    Kavo::MemoryImage screen, sprite, picture;
    KavoScene()
    {
        std::vector<uint32_t> grey(size_t(kScreenW * kScreenH), 0xFF404040);
        screen.SetBits(grey.data(), kScreenW, kScreenH);
        std::vector<uint32_t> s = SpritePixels();
        sprite.SetBits(s.data(), kSpriteW, kSpriteH);
        std::vector<uint32_t> p = PicturePixels();
        picture.SetBits(p.data(), kScreenW, kScreenH);
        Kavo::InitTriangleRasterizerTable();
    }
};

void KavoBlit(benchmark::State& state, bool full, int drawMode)
{
    KavoScene scene;
    Kavo::MemoryImage* src = full ? &scene.picture : &scene.sprite;
    int x = full ? 0 : kSpriteX, y = full ? 0 : kSpriteY;
    for (auto _ : state)
        scene.screen.Blt(src, x, y, Kavo::Rect(0, 0, src->width, src->height), Kavo::Color::White, drawMode);
    state.SetItemsProcessed(state.iterations() * src->width * src->height);
}

void BM_Kavo_SpriteNormal(benchmark::State& state)
{
    KavoBlit(state, false, 0);
}
void BM_Kavo_SpriteAdditive(benchmark::State& state)
{
    KavoBlit(state, false, 1);
}
void BM_Kavo_FullNormal(benchmark::State& state)
{
    KavoBlit(state, true, 0);
}
void BM_Kavo_FullAdditive(benchmark::State& state)
{
    KavoBlit(state, true, 1);
}
BENCHMARK(BM_Kavo_SpriteNormal);
BENCHMARK(BM_Kavo_SpriteAdditive);
BENCHMARK(BM_Kavo_FullNormal);
BENCHMARK(BM_Kavo_FullAdditive);

// The sprite stretched to twice its size: the filtered and the nearest-pixel stretch.
void BM_Kavo_SpriteStretched(benchmark::State& state)
{
    KavoScene scene;
    bool fast = state.range(0) != 0;
    for (auto _ : state)
        scene.screen.StretchBlt(&scene.sprite, Kavo::Rect(kSpriteX, kSpriteY, kSpriteW * 2, kSpriteH * 2),
                                Kavo::Rect(0, 0, kSpriteW, kSpriteH), Kavo::Rect(0, 0, kScreenW, kScreenH),
                                Kavo::Color::White, 0, fast);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH * 4);
}
BENCHMARK(BM_Kavo_SpriteStretched)->Arg(0)->Arg(1);

void BM_Kavo_SpriteRotated(benchmark::State& state)
{
    KavoScene scene;
    for (auto _ : state)
        scene.screen.BltRotated(&scene.sprite, kSpriteX, kSpriteY, Kavo::Rect(0, 0, kSpriteW, kSpriteH),
                                Kavo::Rect(0, 0, kScreenW, kScreenH), Kavo::Color::White, 0, 0.5,
                                kSpriteW / 2.0f, kSpriteH / 2.0f);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH);
}
BENCHMARK(BM_Kavo_SpriteRotated);

// Two textured triangles covering the sprite rotated by 0.5 radians, bilinear and blended.
void BM_Kavo_TriangleStrip(benchmark::State& state)
{
    KavoScene scene;
    Kavo::Matrix3 m;
    m.RotateRad(0.5f);
    for (auto _ : state)
        scene.screen.BltMatrix(&scene.sprite, kSpriteX + kSpriteW / 2.0f, kSpriteY + kSpriteH / 2.0f, m,
                               Kavo::Rect(0, 0, kScreenW, kScreenH), Kavo::Color::White, 0,
                               Kavo::Rect(0, 0, kSpriteW, kSpriteH), true);
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
    std::vector<uint32_t> spritePixels = SpritePixels(), picturePixels = PicturePixels();
    SdlScene()
    {
        screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenW, kScreenH, 32, SDL_PIXELFORMAT_RGB888);
        SDL_FillRect(screen, nullptr, 0xFF404040);
        sprite = SDL_CreateRGBSurfaceWithFormatFrom(spritePixels.data(), kSpriteW, kSpriteH, 32, kSpriteW * 4,
                                                    SDL_PIXELFORMAT_ARGB8888);
        picture = SDL_CreateRGBSurfaceWithFormatFrom(picturePixels.data(), kScreenW, kScreenH, 32,
                                                     kScreenW * 4, SDL_PIXELFORMAT_RGB888);
    }
    ~SdlScene()
    {
        SDL_FreeSurface(screen);
        SDL_FreeSurface(sprite);
        SDL_FreeSurface(picture);
    }
};

void SdlBlit(benchmark::State& state, bool full, SDL_BlendMode mode)
{
    SdlScene scene;
    SDL_Surface* src = full ? scene.picture : scene.sprite;
    SDL_SetSurfaceBlendMode(src, mode);
    SDL_Rect at = {full ? 0 : kSpriteX, full ? 0 : kSpriteY, 0, 0};
    for (auto _ : state)
    {
        SDL_Rect d = at;
        SDL_BlitSurface(src, nullptr, scene.screen, &d);
    }
    state.SetItemsProcessed(state.iterations() * src->w * src->h);
}

void BM_SDL_SpriteNormal(benchmark::State& state)
{
    SdlBlit(state, false, SDL_BLENDMODE_BLEND);
}
void BM_SDL_SpriteAdditive(benchmark::State& state)
{
    SdlBlit(state, false, SDL_BLENDMODE_ADD);
}
void BM_SDL_FullNormal(benchmark::State& state)
{
    SdlBlit(state, true, SDL_BLENDMODE_NONE);
}
void BM_SDL_FullAdditive(benchmark::State& state)
{
    SdlBlit(state, true, SDL_BLENDMODE_ADD);
}
BENCHMARK(BM_SDL_SpriteNormal);
BENCHMARK(BM_SDL_SpriteAdditive);
BENCHMARK(BM_SDL_FullNormal);
BENCHMARK(BM_SDL_FullAdditive);

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

struct PixmanScene
{
    std::vector<uint32_t> screenPixels = std::vector<uint32_t>(size_t(kScreenW * kScreenH), 0xFF404040);
    std::vector<uint32_t> spritePixels = Premultiplied(SpritePixels()), picturePixels = PicturePixels();
    pixman_image_t* screen;
    pixman_image_t* sprite;
    pixman_image_t* picture;
    PixmanScene()
    {
        screen =
            pixman_image_create_bits(PIXMAN_x8r8g8b8, kScreenW, kScreenH, screenPixels.data(), kScreenW * 4);
        sprite =
            pixman_image_create_bits(PIXMAN_a8r8g8b8, kSpriteW, kSpriteH, spritePixels.data(), kSpriteW * 4);
        picture =
            pixman_image_create_bits(PIXMAN_x8r8g8b8, kScreenW, kScreenH, picturePixels.data(), kScreenW * 4);
    }
    ~PixmanScene()
    {
        pixman_image_unref(screen);
        pixman_image_unref(sprite);
        pixman_image_unref(picture);
    }
};

void PixmanBlit(benchmark::State& state, bool full, pixman_op_t op)
{
    PixmanScene scene;
    pixman_image_t* src = full ? scene.picture : scene.sprite;
    int w = full ? kScreenW : kSpriteW, h = full ? kScreenH : kSpriteH;
    for (auto _ : state)
        pixman_image_composite32(op, src, nullptr, scene.screen, 0, 0, 0, 0, full ? 0 : kSpriteX,
                                 full ? 0 : kSpriteY, w, h);
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_Pixman_SpriteNormal(benchmark::State& state)
{
    PixmanBlit(state, false, PIXMAN_OP_OVER);
}
void BM_Pixman_SpriteAdditive(benchmark::State& state)
{
    PixmanBlit(state, false, PIXMAN_OP_ADD);
}
void BM_Pixman_FullNormal(benchmark::State& state)
{
    PixmanBlit(state, true, PIXMAN_OP_OVER);
}
void BM_Pixman_FullAdditive(benchmark::State& state)
{
    PixmanBlit(state, true, PIXMAN_OP_ADD);
}
BENCHMARK(BM_Pixman_SpriteNormal);
BENCHMARK(BM_Pixman_SpriteAdditive);
BENCHMARK(BM_Pixman_FullNormal);
BENCHMARK(BM_Pixman_FullAdditive);

// The sprite under an affine transform: scaled by 2, or rotated by 0.5 radians about its centre.
void PixmanTransformed(benchmark::State& state, bool rotate, pixman_filter_t filter)
{
    PixmanScene scene;
    pixman_transform_t t;
    int w, h;
    if (rotate)
    {
        pixman_transform_init_identity(&t);
        pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(-kSpriteW / 2),
                                   pixman_int_to_fixed(-kSpriteH / 2));
        pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(0.5)),
                                pixman_double_to_fixed(std::sin(0.5)));
        pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(kSpriteW / 2),
                                   pixman_int_to_fixed(kSpriteH / 2));
        w = kSpriteW + 60;
        h = kSpriteH + 60;
    }
    else
    {
        pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
        w = kSpriteW * 2;
        h = kSpriteH * 2;
    }
    pixman_image_set_transform(scene.sprite, &t);
    pixman_image_set_filter(scene.sprite, filter, nullptr, 0);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, rotate ? -30 : 0,
                                 rotate ? -30 : 0, 0, 0, kSpriteX, kSpriteY, w, h);
    state.SetItemsProcessed(state.iterations() * kSpriteW * kSpriteH * (rotate ? 1 : 4));
}

void BM_Pixman_SpriteStretched(benchmark::State& state)
{
    PixmanTransformed(state, false, state.range(0) ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR);
}
BENCHMARK(BM_Pixman_SpriteStretched)->Arg(0)->Arg(1);
void BM_Pixman_SpriteRotated(benchmark::State& state)
{
    PixmanTransformed(state, true, PIXMAN_FILTER_BILINEAR);
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
