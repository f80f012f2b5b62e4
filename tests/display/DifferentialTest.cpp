// The same scripted draws through each road (the surface in each layout, the 3D renderer) and
// through a software image, compared pixel by pixel within stated tolerances.
#include "tests/display/DisplayRig.h"

#include "display/D3DInterface.h"
#include "graphics/Graphics.h"
#include "graphics/Matrix3.h"
#include "graphics/SysFont.h"

#include <cmath>
#include <functional>
#include <memory>

namespace
{

using displaytest::DisplayRig;
using Kavo::Color;
using Kavo::DDImage;
using Kavo::Graphics;
using Kavo::Image;
using Kavo::MemoryImage;
using Kavo::Rect;

// The source images every case draws from: display images, as the game's are.
struct Sources
{
    explicit Sources(Kavo::DDInterface* display)
    {
        auto make = [&](int w, int h, const std::function<uint32_t(int, int)>& pixel)
        {
            auto image = std::make_unique<DDImage>(display);
            std::vector<uint32_t> bits(size_t(w) * size_t(h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    bits[size_t(y) * size_t(w) + size_t(x)] = pixel(x, y);
            image->SetBits(bits.data(), w, h, true);
            image->mWantSurface = true;
            return image;
        };
        // Smooth gradients, so that filtering and nearest sampling stay close.
        opaque = make(40, 30,
                      [](int x, int y) {
                          return 0xFF000000u | uint32_t(40 + x * 5) << 16 | uint32_t(60 + y * 6) << 8 | 120u;
                      });
        keyed = make(32, 32,
                     [](int x, int y)
                     {
                         int dx = x - 16, dy = y - 16;
                         return dx * dx + dy * dy < 14 * 14
                                    ? 0xFF000000u | uint32_t(200 - x * 3) << 16 | 0x8000u | uint32_t(y * 6)
                                    : 0x00000000u;
                     });
        translucent = make(
            32, 24, [](int x, int y) { return uint32_t(60 + x * 5) << 24 | 0xFF4000u | uint32_t(y * 8); });
        onePixel = make(1, 1, [](int, int) { return 0xFFE0A060u; });
    }
    std::unique_ptr<DDImage> opaque, keyed, translucent, onePixel;
    std::unique_ptr<Kavo::SysFont> font = std::make_unique<Kavo::SysFont>("Arial", 14, true);
    // Text on a display surface lands one pixel lower than in a software image: the memory road
    // draws it one pixel down to compare.
    int textShift = 0;
};

struct Case
{
    const char* name;
    std::function<void(Image* dest, Graphics& g, Sources& s)> draw;
    int tolerance;                 // largest channel difference a pixel may have and still match...
    double outlierFraction;        // ...except for this fraction of the pixels
    bool surfaceOnly = false;      // the 3D renderer draws it another way (not compared there)
    double threeDOutliers = 0.002; // through 3D: lines and edges are the renderer's own
};

// 16-bit layouts keep 5 or 6 bits of a channel: a step of 8 more may separate the roads.
constexpr int kSixteenBitSlack = 8;

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"opaque fills",
         [](Image*, Graphics& g, Sources&)
         {
             g.SetColor(Color(200, 100, 50));
             g.FillRect(10, 10, 100, 60);
             g.SetColor(Color(20, 240, 90));
             g.FillRect(-20, 200, 80, 80); // over the bottom-left edge
         },
         8, 0.0},
        {"translucent and additive fills",
         [](Image*, Graphics& g, Sources&)
         {
             g.SetColor(Color(200, 100, 50));
             g.FillRect(10, 10, 100, 60);
             g.SetColor(Color(40, 80, 250, 128));
             g.FillRect(50, 30, 120, 90);
             g.SetDrawMode(1);
             g.SetColor(Color(120, 120, 40, 200));
             g.FillRect(300, 200, 60, 60); // over the bottom-right edge
         },
         10, 0.0},
        {"lines",
         [](Image* dest, Graphics& g, Sources&)
         {
             g.SetColor(Color(250, 250, 250));
             g.DrawLine(5, 5, 300, 200);
             g.DrawLine(300, 10, 20, 230);
             g.DrawLine(160, 0, 170, 239);
             g.SetColor(Color(255, 80, 0, 160));
             g.DrawLine(0, 120, 319, 100);
             dest->DrawLine(-1e12, 50, 1e12, 60, Color(0, 255, 0), 0);
             dest->DrawLine(10, -50, 12, 1e9, Color(0, 0, 255), 0);
         },
         10, 0.01, false, 0.05},
        {"additive and anti-aliased lines",
         [](Image* dest, Graphics&, Sources&)
         {
             dest->DrawLine(5, 100, 310, 140, Color(100, 60, 30), 1);
             dest->DrawLineAA(20.5, 20.25, 280.75, 180.5, Color(255, 255, 255), 0);
             dest->DrawLineAA(30.5, 220.0, 60.25, 10.5, Color(255, 200, 100), 0);
         },
         64, 0.01, false, 0.03},
        {"plain, keyed and translucent blits at the edges",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImage(s.opaque.get(), -10, -8);
             g.DrawImage(s.opaque.get(), 300, 220);
             g.DrawImage(s.keyed.get(), 100, 60);
             g.DrawImage(s.keyed.get(), 305, 100);
             g.DrawImage(s.translucent.get(), 150, 100);
             g.DrawImage(s.translucent.get(), -12, 150);
             g.DrawImage(s.onePixel.get(), 0, 0);
             g.DrawImage(s.onePixel.get(), 319, 239);
         },
         10, 0.0},
        {"additive and modulated blits",
         [](Image*, Graphics& g, Sources& s)
         {
             g.SetColor(Color(60, 60, 60));
             g.FillRect(0, 0, 320, 240);
             g.SetDrawMode(1);
             g.DrawImage(s.opaque.get(), 20, 20);
             g.DrawImage(s.keyed.get(), 80, 20);
             g.SetDrawMode(0);
             g.SetColorizeImages(true);
             g.SetColor(Color(128, 128, 128));
             g.DrawImage(s.opaque.get(), 140, 20);
             g.SetColor(Color(255, 120, 0, 200));
             g.DrawImage(s.keyed.get(), 200, 20);
             g.DrawImage(s.translucent.get(), 250, 100);
         },
         12, 0.0},
        {"mirrored blits",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImageMirror(s.opaque.get(), 10, 10);
             g.DrawImageMirror(s.keyed.get(), 100, 10);
             g.DrawImageMirror(s.translucent.get(), 200, 10);
             g.DrawImageMirror(s.opaque.get(), -15, 200);
         },
         10, 0.0},
        {"sub-pixel and rotated blits",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImageF(s.opaque.get(), 20.5f, 30.25f);
             g.DrawImageRotated(s.opaque.get(), 120, 60, 0.5);
             g.DrawImageRotated(s.keyed.get(), 200, 120, -1.2);
             g.DrawImageRotated(s.opaque.get(), 300, 220, 2.0); // over the corner
         },
         48, 0.06},
        {"stretched blits",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImageStretched(s.opaque.get(), 10, 10, 120, 90);
             g.DrawImageStretched(s.keyed.get(), 150, 10, 60, 60);
             g.DrawImageStretched(s.onePixel.get(), 10, 150, 40, 30);
             g.SetFastStretch(true);
             g.DrawImageStretched(s.opaque.get(), 220, 120, 130, 150); // past the edge
             g.DrawImageMirrorStretched(s.opaque.get(), Rect(150, 150, 60, 45), Rect(0, 0, 40, 30));
         },
         40, 0.05},
        {"matrix and triangle blits",
         [](Image* dest, Graphics& g, Sources& s)
         {
             Kavo::Matrix3 m;
             m.Scale(1.5f, 1.5f);
             m.RotateRad(0.3f);
             g.DrawImageMatrix(s.opaque.get(), m, Rect(0, 0, 40, 30), 80, 80);
             Kavo::TriVertex tris[6] = {{200, 20, 0, 0, 0}, {300, 30, 1, 0, 0},  {220, 120, 0, 1, 0},
                                        {300, 30, 1, 0, 0}, {310, 130, 1, 1, 0}, {220, 120, 0, 1, 0}};
             dest->BltTrianglesTex(s.opaque.get(), tris, 2, Rect(0, 0, 320, 240), Color::White, 0, 0, 0,
                                   false);
         },
         48, 0.06, true},
        {"text",
         [](Image*, Graphics& g, Sources& s)
         {
             g.SetFont(s.font.get());
             g.SetColor(Color(255, 240, 40));
             g.DrawString("Level 12  Score 4,500", 10, 30 + s.textShift);
             s.font->drawShadow = true;
             g.SetColor(Color(255, 255, 255));
             g.DrawString("Shadowed text over the edge", 200, 120 + s.textShift);
             s.font->drawShadow = false;
         },
         24, 0.002},
        {"coverage fill",
         [](Image* dest, Graphics&, Sources&)
         {
             std::vector<uint8_t> coverage(64 * 16);
             for (size_t i = 0; i < coverage.size(); ++i)
                 coverage[i] = uint8_t(i * 7);
             Kavo::Span spans[4] = {{20, 10, 50}, {21, 10, 64}, {22, -5, 40}, {35, 300, 40}};
             dest->FillScanLinesWithCoverage(spans, 4, Color(255, 200, 0), 0, coverage.data(), 10, 20, 64,
                                             16);
         },
         10, 0.0},
    };
    return cases;
}

// The largest channel difference of two opaque pixels.
int Difference(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

// The memory road: a software image of the screen's size, drawn the same way.
std::vector<uint32_t> DrawInMemory(const Case& c, Sources& sources, Kavo::ImageRegistry* registry)
{
    MemoryImage image(registry);
    image.Create(320, 240);
    Graphics g(&image);
    g.SetColor(Color(0, 0, 0));
    g.FillRect(0, 0, 320, 240);
    c.draw(&image, g, sources);
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + 320 * 240);
}

void Compare(const std::string& road, const Case& c, int tolerance, double allowed,
             const std::vector<uint32_t>& expected, const std::vector<uint32_t>& actual)
{
    ASSERT_EQ(actual.size(), expected.size()) << road << ": " << c.name;
    size_t outliers = 0, firstOutlier = 0;
    for (size_t i = 0; i < actual.size(); ++i)
        if (Difference(actual[i] | 0xFF000000u, expected[i] | 0xFF000000u) > tolerance && outliers++ == 0)
            firstOutlier = i;
    double fraction = double(outliers) / double(actual.size());
    EXPECT_LE(fraction, allowed) << road << ": " << c.name << ": " << outliers
                                 << " pixels differ by more than " << tolerance << "; the first at ("
                                 << firstOutlier % 320 << ", " << firstOutlier / 320 << "): " << std::hex
                                 << actual[firstOutlier] << " for " << expected[firstOutlier];
}

void RunRoad(const displaytest::NamedFormat& format, bool threeD)
{
    DisplayRig rig(format.format, threeD);
    ASSERT_TRUE(rig.Display()->mInitialized) << format.name;
    ASSERT_EQ(rig.Display()->mIs3D, threeD) << format.name;
    Sources sources(rig.Display());
    const std::string road = std::string(threeD ? "3D on " : "surface ") + format.name;
    for (const Case& c : Cases())
    {
        if (threeD && c.surfaceOnly) continue;
        sources.textShift = 1;
        std::vector<uint32_t> expected = DrawInMemory(c, sources, &rig.app);
        sources.textShift = 0;
        DDImage* screen = rig.Screen();
        {
            Graphics g(screen);
            g.SetColor(Color(0, 0, 0));
            g.FillRect(0, 0, 320, 240);
            c.draw(screen, g, sources);
        }
        if (threeD) rig.Display()->mD3DInterface->Flush();
        EXPECT_TRUE(rig.Display()->mD3DInterface->mErrorText.empty())
            << rig.Display()->mD3DInterface->mErrorText;
        int tolerance = c.tolerance + (format.format.bitCount == 16 ? kSixteenBitSlack : 0);
        double allowed = c.outlierFraction + (threeD ? c.threeDOutliers : 0.0);
        Compare(road, c, tolerance, allowed, expected,
                displaytest::ReadSurface(rig.Display()->mDrawSurface.get()));
    }
}

TEST(Differential, EverySurfaceLayoutDrawsAsTheSoftwareImage)
{
    for (const displaytest::NamedFormat& format : displaytest::SurfaceFormats())
        RunRoad(format, false);
}

TEST(Differential, The3DRendererDrawsAsTheSoftwareImage)
{
    for (const displaytest::NamedFormat& format :
         {displaytest::SurfaceFormats()[0], displaytest::SurfaceFormats()[3]})
        RunRoad(format, true);
}

} // namespace
