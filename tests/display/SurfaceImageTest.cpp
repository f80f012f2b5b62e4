// The surface image: its surface and key, read-back, routing, and the surface routines' exact
// pixels; lost surfaces and refused modes during play.
#include "tests/display/DisplayRig.h"

#include "display/D3DInterface.h"
#include "display/TextureData.h"
#include "graphics/Graphics.h"

#include <cmath>
#include <functional>

namespace
{

using displaytest::DisplayRig;
using Kavo::Color;
using Kavo::DDImage;
using Kavo::Rect;

std::unique_ptr<DDImage> MakeImage(Kavo::DDInterface* display, int w, int h,
                                   const std::vector<uint32_t>& pixels)
{
    auto image = std::make_unique<DDImage>(display);
    image->SetBits(pixels.data(), w, h, true);
    return image;
}

uint32_t RawPixel(platform::DisplaySurface* surface, int x, int y)
{
    platform::SurfaceLock l;
    if (surface->Lock(l, platform::kLockReadOnly) < 0) return 0xDEADBEEF;
    uint32_t v = 0;
    std::memcpy(&v, l.bits + size_t(y) * size_t(l.pitch) + size_t(x) * size_t(l.format.bitCount / 8),
                size_t(l.format.bitCount / 8));
    surface->Unlock();
    return v;
}

TEST(SurfaceImage, FillsWriteTheLayoutsExactValues)
{
    struct Case
    {
        platform::PixelFormat format;
        Color color;
        int drawMode;
        uint32_t before, after;
    };
    const std::vector<Case> cases = {
        {platform::PixelFormat::Rgb565(), Color(255, 255, 255), 0, 0, 0xFFFF},
        {platform::PixelFormat::Rgb32(), Color(255, 255, 255), 0, 0, 0x00FEFEFE},
        // Alpha 128 over black: the source term alone.
        {platform::PixelFormat::Rgb565(), Color(255, 0, 0, 128), 0, 0,
         ((((255 * 128 + 128) >> 8) + 1) * 0xF800 >> 8) & 0xF800},
        // Additive red onto a saturated red field stays saturated; alpha 0 adds nothing.
        {platform::PixelFormat::Rgb565(), Color(255, 0, 0, 255), 1, 0xF800, 0xF800},
        {platform::PixelFormat::Rgb565(), Color(255, 255, 255, 0), 1, 0x1234, 0x1234},
    };
    for (const auto& c : cases)
    {
        DisplayRig rig(c.format, false);
        DDImage* screen = rig.Screen();
        platform::DisplaySurface* surface = rig.Display()->mDrawSurface.get();
        screen->FillRect(Rect(0, 0, 4, 4), Color(0, 0, 0), 0);
        if (c.before)
        {
            platform::SurfaceLock l;
            ASSERT_GE(surface->Lock(l, 0), 0);
            uint16_t v = uint16_t(c.before);
            std::memcpy(l.bits, &v, 2);
            surface->Unlock();
        }
        screen->FillRect(Rect(0, 0, 1, 1), c.color, c.drawMode);
        EXPECT_EQ(RawPixel(surface, 0, 0), c.after)
            << c.color.mRed << " " << c.color.mAlpha << " " << c.drawMode;
    }
}

TEST(SurfaceImage, KeysReadBackAndNesting)
{
    DisplayRig rig(platform::PixelFormat::Rgb565(), false);
    // All opaque: no key. A transparent pixel: its colour is the key, unless a visible pixel
    // has it too.
    auto opaque = MakeImage(rig.Display(), 2, 1, {0xFFFF0000u, 0xFF00FF00u});
    ASSERT_TRUE(opaque->CreateSurface());
    uint32_t key = 0;
    EXPECT_FALSE(opaque->mSurface->GetColorKey(key));
    auto keyed = MakeImage(rig.Display(), 2, 1, {0x00FF0000u, 0xFF00FF00u});
    ASSERT_TRUE(keyed->CreateSurface());
    ASSERT_TRUE(keyed->mSurface->GetColorKey(key));
    EXPECT_EQ(key, 0xF800u);
    auto clash = MakeImage(rig.Display(), 2, 1, {0x00FF0000u, 0xFFFF0000u});
    ASSERT_TRUE(clash->CreateSurface());
    ASSERT_TRUE(clash->mSurface->GetColorKey(key));
    EXPECT_NE(key, 0xF800u);
    // A partly transparent pixel: no surface.
    auto partial = MakeImage(rig.Display(), 1, 1, {0x80FF0000u});
    EXPECT_FALSE(partial->CreateSurface());

    // Read-back: the key is transparent again, short channels have zero low bits.
    keyed->DiscardMemoryCopies();
    const uint32_t* back = keyed->GetBits();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back[0] >> 24, 0u);
    EXPECT_EQ(back[1], 0xFF00FC00u);
    auto white = MakeImage(rig.Display(), 1, 1, {0xFFFFFFFFu});
    ASSERT_TRUE(white->CreateSurface());
    white->DiscardMemoryCopies();
    EXPECT_EQ(white->GetBits()[0], 0xFFF8FCF8u);

    // Nested locks lock once; the second unlock unlocks.
    ASSERT_TRUE(white->LockSurface());
    ASSERT_TRUE(white->LockSurface());
    EXPECT_EQ(platform::LockedDisplaySurfaces(), 1);
    white->UnlockSurface();
    EXPECT_TRUE(white->mSurface->IsLocked());
    white->UnlockSurface();
    EXPECT_EQ(platform::LockedDisplaySurfaces(), 0);

    // New pixels drop the surface; the next draw makes one from them.
    white->SetBits(std::vector<uint32_t>{0xFF000000u}.data(), 1, 1, true);
    EXPECT_EQ(white->mSurface, nullptr);
}

TEST(SurfaceImage, RoutesAndDiscardsOnlyWhatWasDrawn)
{
    DisplayRig rig(platform::PixelFormat::Rgb32(), false);
    auto dest = MakeImage(rig.Display(), 8, 8, std::vector<uint32_t>(64, 0xFF000000u));
    auto src = MakeImage(rig.Display(), 2, 1, {0xFFFF0000u, 0xFF0000FFu});

    // A horizontal line becomes a fill of both ends' pixels.
    dest->DrawLine(10.7, 5.9, 3.2, 5.9, Color(255, 255, 255), 0); // past the right edge: cut
    dest->GetBits();
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dest->GetPixel(x, 5) & 0xFFFFFF, x >= 3 ? 0xFEFEFEu : 0u) << x;

    // A mirrored blit of a plain image draws on its surface; the memory copy goes after it.
    dest->BltMirror(src.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
    EXPECT_EQ(dest->bits, nullptr);
    EXPECT_EQ(dest->GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(dest->GetPixel(1, 0), 0xFFFF0000u);

    // A lost surface: the draw fails, and the memory copy stays (it is the picture).
    ASSERT_NE(dest->bits, nullptr);
    platform::LoseDisplaySurfaces();
    dest->mSurface->Restore();
    platform::GetDisplaySetup().faults.lock = true;
    dest->FillRect(Rect(0, 0, 1, 1), Color(0, 255, 0), 0);
    platform::GetDisplaySetup().faults.lock = false;
    ASSERT_NE(dest->bits, nullptr);
    EXPECT_EQ(dest->GetPixel(0, 0), 0xFF00FF00u); // drawn through the memory copy instead

    // A mirrored blit onto an image with transparency takes the memory copy, not the surface.
    auto seeThrough = MakeImage(rig.Display(), 4, 1, {0, 0, 0, 0});
    seeThrough->BltMirror(src.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
    EXPECT_EQ(seeThrough->mSurface, nullptr);
    EXPECT_EQ(seeThrough->GetPixel(0, 0) & 0xFFFFFF00u, 0xFF000000u);
    EXPECT_GE(seeThrough->GetPixel(0, 0) & 0xFF, 0xFEu); // blue, by the software image's rounding

    // A source that is not a software image draws nothing and drops nothing.
    Kavo::Image notSoftware;
    notSoftware.width = notSoftware.height = 4;
    dest->GetBits();
    dest->Blt(&notSoftware, 0, 0, Rect(0, 0, 4, 4), Color::White, 0);
    dest->BltRotated(&notSoftware, 0, 0, Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, 0.3, 0, 0);
    EXPECT_NE(dest->bits, nullptr);
}

// A stretch, a mirrored stretch or a turned sprite drawn in parts, each cut by a clip of its own
// (as the screen is drawn again where it changed), gives the pixels of the same draw made whole,
// in every layout.
TEST(SurfaceImage, AStretchOrATurnDrawnInPartsIsTheDrawMadeWhole)
{
    std::vector<uint32_t> sprite(size_t(62 * 60));
    uint32_t seed = 7;
    for (uint32_t& pixel : sprite)
    {
        seed = seed * 1103515245u + 12345u;
        pixel = (seed >> 8 & 0xFF) << 24 | (seed * 2654435761u >> 8);
    }
    for (const displaytest::NamedFormat& format : displaytest::SurfaceFormats())
    {
        DisplayRig rig(format.format, false);
        auto src = MakeImage(rig.Display(), 62, 60, sprite);
        DDImage* screen = rig.Screen();
        const Rect all(0, 0, screen->GetWidth(), screen->GetHeight());
        auto draw = [&](int what, const Rect& clip)
        {
            const Rect to(30, 20, 71, 69), from(0, 0, 62, 60);
            if (what == 0) screen->StretchBlt(src.get(), to, from, clip, Color::White, 0, true);
            if (what == 1)
                screen->StretchBltMirror(src.get(), Rect(40, 30, 18, 18), from, clip, Color::White, 0, true);
            if (what == 2)
                screen->BltRotated(src.get(), 40.0f, 30.0f, from, clip, Color(255, 255, 255, 200), 0, 0.6,
                                   31.0f, 30.0f);
        };
        for (int what = 0; what < 3; ++what)
        {
            screen->FillRect(all, Color(20, 40, 60), 0);
            draw(what, all);
            const std::vector<uint32_t> whole = displaytest::ReadSurface(screen->GetSurface());
            screen->FillRect(all, Color(20, 40, 60), 0);
            for (int y = 0; y < 120; y += 13)
                for (int x = 0; x < 120; x += 17)
                    draw(what, Rect(x, y, 17, 13));
            EXPECT_TRUE(displaytest::ReadSurface(screen->GetSurface()) == whole)
                << format.name << ", draw " << what;
        }
    }
}

// Each draw with coordinates at the ends of the int range (or past them, or not numbers) leaves
// the surface exactly as the same draw cut by hand to the surface does; one that lies wholly
// outside leaves it untouched. (Under the sanitizers: nothing is written outside the surface.)
TEST(SurfaceImage, HostileCoordinatesStayInsideTheSurface)
{
    const int big = INT32_MAX;
    using Draw = std::function<void(DDImage * screen, DDImage * src)>;
    struct Case
    {
        const char* what;
        Draw hostile;
        Draw tame; // empty: nothing lands on the surface
    };
    const Color red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);
    std::vector<uint8_t> coverage(1400, 255);
    const std::vector<Case> cases = {
        {"fill to the far corner", [&](DDImage* s, DDImage*) { s->FillRect(Rect(10, 10, big, big), red, 0); },
         [&](DDImage* s, DDImage*) { s->FillRect(Rect(10, 10, 310, 230), red, 0); }},
        {"additive fill ending before the surface",
         [&](DDImage* s, DDImage*) { s->FillRect(Rect(-big, -big, big, big), red, 1); }, nullptr},
        {"diagonal line from afar",
         [&](DDImage* s, DDImage*) { s->DrawLine(-1e12, -1e12, 1e12, 1e12, green, 0); },
         [&](DDImage* s, DDImage*) { s->DrawLine(0, 0, 239, 239, green, 0); }},
        {"additive diagonal line from afar",
         [&](DDImage* s, DDImage*) { s->DrawLine(-1e12, -1e12, 1e12, 1e12, green, 1); },
         [&](DDImage* s, DDImage*) { s->DrawLine(0, 0, 239, 239, green, 1); }},
        {"level anti-aliased line from afar",
         [&](DDImage* s, DDImage*) { s->DrawLineAA(-1e12, 3, 1e12, 3, green, 0); },
         [&](DDImage* s, DDImage*) { s->FillRect(Rect(0, 3, 320, 1), green, 0); }},
        {"line to a point that is not a number",
         [&](DDImage* s, DDImage*) { s->DrawLine(5, 5, std::nan(""), 9, green, 0); }, nullptr},
        {"coverage row from far left",
         [&](DDImage* s, DDImage*)
         {
             Kavo::Span spans[2] = {{100, -1000, big}, {big, 0, 10}};
             s->FillScanLinesWithCoverage(spans, 2, blue, 0, coverage.data(), -1000, 100, 1400, 1);
         },
         [&](DDImage* s, DDImage*)
         {
             Kavo::Span spans[1] = {{100, 0, 320}};
             s->FillScanLinesWithCoverage(spans, 1, blue, 0, coverage.data(), 0, 100, 320, 1);
         }},
        {"blit at the far corner",
         [&](DDImage* s, DDImage* src) { s->Blt(src, big - 1, big - 1, Rect(0, 0, 2, 2), Color::White, 0); },
         nullptr},
        {"mirrored blit of a huge part from far left",
         [&](DDImage* s, DDImage* src) { s->BltMirror(src, -big, 0, Rect(0, 0, big, big), Color::White, 1); },
         nullptr},
        {"stretch over the whole range",
         [&](DDImage* s, DDImage* src)
         {
             s->StretchBlt(src, Rect(-(big / 2), -(big / 2), big, big), Rect(0, 0, 2, 2),
                           Rect(0, 0, big, big), Color::White, 0, true);
         },
         [&](DDImage* s, DDImage* src) {
             s->StretchBlt(src, Rect(0, 0, 320, 240), Rect(0, 0, 2, 2), Rect(0, 0, 320, 240), Color::White, 0,
                           true);
         }},
        {"stretch ending before the surface",
         [&](DDImage* s, DDImage* src)
         {
             s->StretchBlt(src, Rect(-big, -big, big, big), Rect(0, 0, 2, 2), Rect(0, 0, big, big),
                           Color::White, 0, true);
         },
         nullptr},
        {"rotated blit far away",
         [&](DDImage* s, DDImage* src)
         {
             s->BltRotated(src, 1e9f, -1e9f, Rect(0, 0, 2, 2), Rect(-big, -big, big, big), Color::White, 0,
                           1.0, 0, 0);
         },
         nullptr},
    };
    for (const platform::PixelFormat& format :
         {platform::PixelFormat::Rgb565(), platform::PixelFormat::Rgb32()})
    {
        DisplayRig rig(format, false);
        DDImage* screen = rig.Screen();
        auto src = MakeImage(rig.Display(), 2, 2, std::vector<uint32_t>(4, 0xFF808080u));
        auto drawn = [&](const Draw& draw)
        {
            screen->FillRect(Rect(0, 0, 320, 240), Color(0, 0, 0), 0);
            if (draw) draw(screen, src.get());
            return displaytest::ReadSurface(rig.Display()->mDrawSurface.get());
        };
        const std::vector<uint32_t> black = drawn(nullptr);
        ASSERT_EQ(black.size(), 320u * 240u);
        for (const Case& c : cases)
        {
            const std::vector<uint32_t> expected = drawn(c.tame);
            if (c.tame)
            {
                EXPECT_NE(expected, black) << c.what; // the cut draw does draw
            }
            EXPECT_EQ(drawn(c.hostile), expected) << c.what << " on " << format.bitCount << " bits";
        }
    }
}

// Through the 3D renderer the coverage fill draws the spans' bounds as one image, and leaves
// the caller's spans moved by the bounds' top-left corner (held in the int range).
TEST(SurfaceImage, TheCoverageFillThrough3DMovesTheCallersSpans)
{
    DisplayRig rig(platform::PixelFormat::Rgb32(), true);
    DDImage* screen = rig.Screen();
    ASSERT_TRUE(screen->DrawsThrough3D());
    screen->FillRect(Rect(0, 0, 320, 240), Color(0, 0, 0), 0);
    std::vector<uint8_t> coverage(10 * 3, 255);
    Kavo::Span spans[3] = {{5, 10, 10}, {6, 12, 8}, {7, 10, 4}};
    screen->FillScanLinesWithCoverage(spans, 3, Color(0, 0, 255), 0, coverage.data(), 10, 5, 10, 3);
    rig.Display()->mD3DInterface->Flush();
    const int moved[3][3] = {{0, 0, 10}, {1, 2, 8}, {2, 0, 4}};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(spans[i].mY, moved[i][0]) << i;
        EXPECT_EQ(spans[i].mX, moved[i][1]) << i;
        EXPECT_EQ(spans[i].mWidth, moved[i][2]) << i;
    }
    // Drawn where the spans were, and nowhere else.
    std::vector<uint32_t> out = displaytest::ReadSurface(rig.Display()->mDrawSurface.get());
    auto isBlue = [&](int x, int y) { return (out[size_t(y * 320 + x)] & 0xFFFFFF) > 0xF0u; };
    auto isBlack = [&](int x, int y) { return (out[size_t(y * 320 + x)] & 0xFFFFFF) == 0u; };
    for (auto [x, y] : {std::pair{10, 5}, {19, 5}, {12, 6}, {19, 6}, {10, 7}, {13, 7}})
        EXPECT_TRUE(isBlue(x, y)) << x << ", " << y;
    for (auto [x, y] : {std::pair{9, 5}, {20, 5}, {11, 6}, {20, 6}, {14, 7}, {10, 4}, {10, 8}})
        EXPECT_TRUE(isBlack(x, y)) << x << ", " << y;

    // Spans across the whole int range are moved without wrapping.
    Kavo::Span far[2] = {{-3, INT32_MIN, 10}, {INT32_MAX, INT32_MAX - 5, 5}};
    screen->FillScanLinesWithCoverage(far, 2, Color(0, 0, 255), 0, coverage.data(), 0, 0, 10, 3);
    EXPECT_EQ(far[0].mX, 0);
    EXPECT_EQ(far[0].mY, 0);
    EXPECT_EQ(far[1].mX, INT32_MAX);
    EXPECT_EQ(far[1].mY, INT32_MAX);
}

// A filtered stretch drawn additively over black shows the filtered picture weighed by its alpha
// once: what the software image's stretch shows over black, within the rounding of the two blends,
// also where the source's edge leaves the stretched pixels partly covered.
TEST(SurfaceImage, AnAdditiveFilteredStretchWeighsItsEdgesOnce)
{
    DisplayRig rig(platform::PixelFormat::Rgb32(), false);
    std::vector<uint32_t> disc(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            disc[size_t(y * 16 + x)] = (x - 8) * (x - 8) + (y - 8) * (y - 8) < 36 ? 0xFFF0A060u : 0u;
    auto src = MakeImage(rig.Display(), 16, 16, disc);
    Kavo::MemoryImage expected(&rig.app);
    expected.Create(80, 80);
    expected.FillRect(Rect(0, 0, 80, 80), Color(0, 0, 0), 0);
    expected.CommitBits();
    expected.StretchBlt(src.get(), Rect(0, 0, 80, 80), Rect(0, 0, 16, 16), Rect(0, 0, 80, 80), Color::White,
                        0, false);
    DDImage* screen = rig.Screen();
    screen->FillRect(Rect(0, 0, 320, 240), Color(0, 0, 0), 0);
    screen->StretchBlt(src.get(), Rect(0, 0, 80, 80), Rect(0, 0, 16, 16), Rect(0, 0, 320, 240), Color::White,
                       1, false);
    std::vector<uint32_t> out = displaytest::ReadSurface(rig.Display()->mDrawSurface.get());
    int partly = 0, worst = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
        {
            const uint32_t want = expected.GetPixel(x, y), got = out[size_t(y * 320 + x)];
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((want >> shift) & 0xFF) - int((got >> shift) & 0xFF)));
            const int red = int((want >> 16) & 0xFF);
            partly += red > 8 && red < 0xE0;
        }
    EXPECT_GT(partly, 50); // the edge is there to be weighed
    EXPECT_LE(worst, 2);
}

TEST(SurfaceImage, PixelFormatsWithoutAFillerTakeTheMemoryCopy)
{
    // 16-bit with blue highest: no rasteriser filler writes it.
    DisplayRig rig(platform::PixelFormat{platform::kPixelRgb, 16, 0x001F, 0x07E0, 0xF800, 0}, false);
    DDImage* screen = rig.Screen();
    screen->FillRect(Rect(0, 0, 320, 240), Color(0, 0, 0), 0);
    auto src = MakeImage(rig.Display(), 4, 4, std::vector<uint32_t>(16, 0xFFFF0000u));
    Kavo::TriVertex tris[3] = {{10, 10, 0, 0, 0}, {40, 10, 1, 0, 0}, {10, 40, 0, 1, 0}};
    screen->BltTrianglesTex(src.get(), tris, 1, Rect(0, 0, 320, 240), Color::White, 0, 0, 0, false);
    std::vector<uint32_t> out = displaytest::ReadSurface(rig.Display()->mDrawSurface.get());
    EXPECT_EQ(out[15 * 320 + 15], 0xFFFF0000u); // red, where a 565 filler would have put blue
    EXPECT_EQ(rig.Screen()->mSurface, rig.Display()->mDrawSurface); // the screen keeps its surface
}

TEST(SurfaceImage, TheDisplayBlitterNeedsADestinationSurface)
{
    DisplayRig rig(platform::PixelFormat::Rgb32(), false);
    auto src = MakeImage(rig.Display(), 2, 2, std::vector<uint32_t>(4, 0xFF00FF00u));
    ASSERT_TRUE(src->CreateSurface());
    // A display image whose display cannot make surfaces: the software road draws it.
    platform::GetDisplaySetup().faults.createSurface = true;
    auto dest = MakeImage(rig.Display(), 8, 8, std::vector<uint32_t>(64, 0xFF000000u));
    dest->StretchBlt(src.get(), Rect(0, 0, 8, 8), Rect(0, 0, 2, 2), Rect(0, 0, 8, 8), Color::White, 0, true);
    platform::GetDisplaySetup().faults.createSurface = false;
    EXPECT_EQ(dest->mSurface, nullptr);
    EXPECT_EQ(dest->GetPixel(7, 7) & 0xFFFF00FFu, 0xFF000000u);
    EXPECT_GE((dest->GetPixel(7, 7) >> 8) & 0xFF, 0xFEu); // green, by the software image's rounding
}

// The renderer keeps a frame's errors until the frame is presented and checked: a failing
// device switches 3D off, and the settings hear of each error text once.
TEST(SurfaceImage, AFailing3DDeviceSwitches3DOffAtThePresentation)
{
    DisplayRig rig(platform::PixelFormat::Rgb32(), true);
    ASSERT_TRUE(rig.app.Is3DAccelerated());
    platform::GetDisplaySetup().faults.drawPrimitive = true;
    DDImage* screen = rig.Screen();
    screen->FillRect(Rect(0, 0, 10, 10), Color(255, 0, 0), 0);
    screen->FillRect(Rect(0, 0, 10, 10), Color(255, 0, 0), 0);
    rig.Display()->mD3DInterface->Flush(); // text drawing ends the scene in the middle of a frame
    EXPECT_EQ(rig.Display()->mD3DInterface->mErrorText, "DrawPrimitive (Rect): DDERR_GENERIC");
    EXPECT_FALSE(rig.Display()->Redraw());
    EXPECT_FALSE(rig.Display()->mIs3D);
    EXPECT_TRUE(rig.Display()->m3DFailedThisRun);
    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(rig.app.ReadTest3DValue("RuntimeError", type, data));
    EXPECT_EQ(data.substr(0, data.find('\0')), "DrawPrimitive (Rect): DDERR_GENERIC");
    platform::GetDisplaySetup().faults.drawPrimitive = false;
    // The application takes the display up again in 2D.
    rig.app.mForceDraw = true;
    rig.app.RunUpdates(3);
    EXPECT_FALSE(rig.app.Is3DAccelerated());
    EXPECT_TRUE(rig.Display()->mInitialized);
}

// Lost surfaces and a refused mode while the game runs: the game goes on, every image is made
// again, and no surface is left over.
TEST(SurfaceImage, LostSurfacesAndARefusedModeDuringPlay)
{
    for (bool threeD : {false, true})
    {
        DisplayRig rig(platform::PixelFormat::Rgb565(), threeD);
        std::vector<std::unique_ptr<DDImage>> images;
        for (int i = 0; i < 5; ++i)
        {
            auto image =
                MakeImage(rig.Display(), 16, 16, std::vector<uint32_t>(256, 0xFF102030u * uint32_t(i + 1)));
            image->mWantSurface = true;
            image->SetVideoMemory(i % 2 == 0);
            image->PurgeBits();
            images.push_back(std::move(image));
        }
        auto drawFrame = [&]
        {
            Kavo::Graphics g(rig.Screen());
            for (size_t i = 0; i < images.size(); ++i)
                g.DrawImage(images[i].get(), int(i) * 20, 10);
        };
        drawFrame();
        rig.app.mForceDraw = true;
        rig.app.RunUpdates(2);
        const int level = platform::LiveDisplaySurfaces();
        const int inits = rig.Display()->mInitCount;

        platform::LoseDisplaySurfaces();
        rig.app.mForceDraw = true;
        rig.app.RunUpdates(3);
        EXPECT_GT(rig.Display()->mInitCount, inits);
        drawFrame();
        rig.app.mForceDraw = true;
        rig.app.RunUpdates(2);
        EXPECT_FALSE(apptest::TestApp::sRecoveringDisplay);
        EXPECT_EQ(platform::LiveDisplaySurfaces(), level) << (threeD ? "3D" : "2D");
        for (auto& image : images)
        {
            image->GetBits();
            EXPECT_NE(image->GetPixel(3, 3) & 0xFFFFFF, 0u);
        }

        // Full screen refused: the game goes on in a window.
        platform::GetDisplaySetup().faults.refuseMode = true;
        rig.app.SwitchScreenMode(false, threeD, true);
        platform::GetDisplaySetup().faults.refuseMode = false;
        EXPECT_TRUE(rig.app.mIsWindowed);
        EXPECT_TRUE(rig.Display()->mInitialized);
        drawFrame();
        rig.app.mForceDraw = true;
        rig.app.RunUpdates(2);
        EXPECT_EQ(platform::LockedDisplaySurfaces(), 0);
    }
}

TEST(SurfaceImage, TheDisplaysTablesAndRates)
{
    DisplayRig rig(platform::PixelFormat::Rgb565(), false);
    Kavo::DDInterface* d = rig.Display();
    EXPECT_EQ(d->redShift, 11);
    EXPECT_EQ(d->greenShift, 5);
    EXPECT_EQ(d->blueShift, 0);
    EXPECT_EQ(d->redBits, 5);
    EXPECT_EQ(d->greenBits, 6);
    EXPECT_EQ(d->mRedAddTable.size(), 63u);
    EXPECT_EQ(d->mRedAddTable.back(), 31);
    EXPECT_EQ(d->mRedConvTable[255], 0xF800u);
    EXPECT_EQ(Kavo::GetDirectXErrorString(platform::kErrSurfaceLost), "DDERR_SURFACELOST");
    EXPECT_EQ(Kavo::GetDirectXErrorString(int32_t(0x8877ABCDu)), "8877abcd");

    const std::vector<std::pair<int, int>> rates = {{59, 16}, {120, 10}, {75, 13}, {0, 16}};
    for (const auto& r : rates)
    {
        platform::GetDisplaySetup().refreshRate = r.first;
        rig.app.mUnusualRefreshRate = false;
        ASSERT_EQ(d->Init(platform::kMainWindow, true), Kavo::DDInterface::RESULT_OK);
        EXPECT_EQ(d->mMillisecondsPerFrame, r.second) << r.first;
        EXPECT_EQ(rig.app.mUnusualRefreshRate, r.first != 75) << r.first;
    }
}

TEST(Renderer, PieceSizes)
{
    DisplayRig rig(platform::PixelFormat::Rgb32(), true);
    Kavo::D3DInterface* r = rig.Display()->mD3DInterface;
    r->mMaxTextureWidth = r->mMaxTextureHeight = 256;
    struct Case
    {
        int w, h;
        bool edge;
        int flags, outW, outH;
    };
    const std::vector<Case> cases = {{100, 100, false, 0, 128, 128},
                                     {300, 40, false, 0, 256, 64},
                                     {44, 44, true, 0, 64, 64},
                                     {100, 100, false, 2, 64, 64},
                                     {100, 100, false, 1, 128, 128}};
    for (const Case& c : cases)
    {
        int w = c.w, h = c.h;
        r->GetBestTextureDimensions(w, h, c.edge, c.flags);
        EXPECT_EQ(w, c.outW) << c.w << " " << c.flags;
        EXPECT_EQ(h, c.outH) << c.h << " " << c.flags;
    }
    // An image without alpha is uploaded as 5-6-5.
    auto image = MakeImage(rig.Display(), 300, 20, std::vector<uint32_t>(6000, 0xFF336699u));
    ASSERT_TRUE(r->PrepareImage(image.get()));
    auto* data = static_cast<Kavo::TextureData*>(image->d3dData);
    EXPECT_EQ(data->mFormat, Kavo::D3DInterface::kFormatR5G6B5);
    EXPECT_EQ(data->mColumns, 2);
    EXPECT_EQ(data->mPieces[1].width, 64);
}

} // namespace
