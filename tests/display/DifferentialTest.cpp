// The same scripted draws through each road (the surface in each layout, the 3D renderer) and
// through a software image, compared pixel by pixel. A surface road draws the software image's
// pixels, exactly or within the rounding its own routine is given, and its shapes differ only by
// the rim its own span clipping leaves; the 3D renderer draws by its own arithmetic.
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

// How an anti-aliased line is compared: pixel by pixel, or by the weight each road puts in every
// column (or row) it crosses and where that weight lies.
enum class Line
{
    None,
    AlongX,
    AlongY,
};

struct Case
{
    const char* name;
    std::function<void(Image* dest, Graphics& g, Sources& s)> draw;
    // Surfaces: the largest channel difference on a 32-bit surface where both roads drew (0: the
    // software image's pixels)...
    int exact;
    // ...and whether a pixel one road drew and the other did not may lie on the rim of the shape
    // (next to a pixel the other road drew).
    bool rim;
    // The 3D renderer: the largest channel difference a pixel may have and still match, except
    // for this fraction of the pixels.
    int threeDTolerance;
    double threeDOutliers;
    bool surfaceOnly = false; // the 3D renderer draws it another way (not compared there)
    Line line = Line::None;
};

// A 16-bit routine keeps 5 or 6 bits of a channel and rounds a field down, over a destination that
// may already be a step below the software image's: two steps of a 5-bit field.
constexpr int kSixteenBitSlack = 16;
// The 3D renderer on a 16-bit screen: one step of a 5-bit field.
constexpr int kThreeDSixteenBitSlack = 8;
// An anti-aliased line's weight across a column or row: the two roads round each of its two
// pixels their own way; on 16 bits each pixel also loses up to a step of its field and of the
// 5-bit weight the surface blends it with.
constexpr int kLineWeight = 4;
constexpr int kLineSixteenBitSlack = 4 + 2 * (8 + 8);
// Where the weight lies: the surface starts the line from its truncated first pixel, with a
// coverage of its own, which may move it by up to half a pixel.
constexpr double kLineCentre = 0.6;

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        // The surface writes a channel of 255 as 254 and rounds translucent terms its own way.
        {"opaque fills",
         [](Image*, Graphics& g, Sources&)
         {
             g.SetColor(Color(200, 100, 50));
             g.FillRect(10, 10, 100, 60);
             g.SetColor(Color(20, 240, 90));
             g.FillRect(-20, 200, 80, 80); // over the bottom-left edge
         },
         1, false, 8, 0.002},
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
         1, false, 10, 0.002},
        {"lines",
         [](Image*, Graphics& g, Sources&)
         {
             g.SetColor(Color(250, 250, 250));
             g.DrawLine(5, 5, 300, 200);
             g.DrawLine(300, 10, 20, 230);
             g.DrawLine(160, 0, 170, 239);
             g.SetColor(Color(255, 80, 0, 160));
             g.DrawLine(0, 120, 319, 100);
         },
         0, false, 10, 0.06},
        // Cut to the surface by each road's own arithmetic: a row apart at most.
        {"lines from afar",
         [](Image* dest, Graphics&, Sources&)
         {
             dest->DrawLine(-1e12, 50, 1e12, 60, Color(0, 255, 0), 0);
             dest->DrawLine(10, -50, 12, 1e9, Color(0, 0, 255), 0);
         },
         0, true, 10, 0.06},
        {"additive line",
         [](Image* dest, Graphics&, Sources&) { dest->DrawLine(5, 100, 310, 140, Color(100, 60, 30), 1); }, 0,
         false, 64, 0.04},
        // The surface weighs the pair of pixels from its own coverage accumulator.
        {"anti-aliased line along x",
         [](Image* dest, Graphics&, Sources&)
         { dest->DrawLineAA(20.5, 20.25, 280.75, 180.5, Color(255, 255, 255), 0); },
         0, false, 64, 0.04, false, Line::AlongX},
        {"anti-aliased line along y",
         [](Image* dest, Graphics&, Sources&)
         { dest->DrawLineAA(30.5, 220.0, 60.25, 10.5, Color(255, 200, 100), 0); },
         0, false, 64, 0.04, false, Line::AlongY},
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
         1, false, 10, 0.002},
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
         2, false, 12, 0.002},
        {"mirrored blits",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImageMirror(s.opaque.get(), 10, 10);
             g.DrawImageMirror(s.keyed.get(), 100, 10);
             g.DrawImageMirror(s.translucent.get(), 200, 10);
             g.DrawImageMirror(s.opaque.get(), -15, 200);
         },
         1, false, 10, 0.002},
        // The surface's own rotated loops: the same texels and weights, their own last step of
        // rounding, and their own span clipping, which leaves the rim of the shape.
        {"sub-pixel and rotated blits",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImageF(s.opaque.get(), 20.5f, 30.25f);
             g.DrawImageRotated(s.opaque.get(), 120, 60, 0.5);
             g.DrawImageRotated(s.keyed.get(), 200, 120, -1.2);
             g.DrawImageRotated(s.opaque.get(), 300, 220, 2.0); // over the corner
         },
         1, true, 48, 0.062},
        {"filtered stretches",
         [](Image*, Graphics& g, Sources& s)
         {
             g.DrawImageStretched(s.opaque.get(), 10, 10, 120, 90);
             g.DrawImageStretched(s.keyed.get(), 150, 10, 60, 60);
             g.DrawImageStretched(s.onePixel.get(), 10, 150, 40, 30);
         },
         0, false, 40, 0.052},
        // By the display's blitter and the surface's nearest-pixel loops: a sample may be the
        // neighbouring source pixel, one step of the gradients (5 or 6) away.
        {"nearest-pixel and mirrored stretches",
         [](Image*, Graphics& g, Sources& s)
         {
             g.SetFastStretch(true);
             g.DrawImageStretched(s.opaque.get(), 220, 120, 130, 150); // past the edge
             g.DrawImageMirrorStretched(s.opaque.get(), Rect(150, 150, 60, 45), Rect(0, 0, 40, 30));
         },
         6, false, 40, 0.052},
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
         0, false, 48, 0.06, true},
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
         1, false, 24, 0.004},
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
         1, false, 10, 0.002},
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

// The 3D renderer: within the tolerance but for the allowed fraction of the pixels.
void CompareRendered(const std::string& road, const Case& c, int tolerance, double allowed,
                     const std::vector<uint32_t>& expected, const std::vector<uint32_t>& actual)
{
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

// Where the screen was drawn on (it starts black).
bool Drew(uint32_t pixel)
{
    return (pixel & 0xFFFFFF) != 0;
}

// A surface: every pixel within the tolerance, but for a pixel that one road drew and the other
// did not when the case allows a rim, and the other road drew a pixel next to it.
void CompareSurface(const std::string& road, const Case& c, int tolerance,
                    const std::vector<uint32_t>& expected, const std::vector<uint32_t>& actual)
{
    auto drewNear = [](const std::vector<uint32_t>& pixels, int x, int y)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
            {
                int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < 320 && ny < 240 && Drew(pixels[size_t(ny * 320 + nx)]))
                    return true;
            }
        return false;
    };
    size_t wrong = 0, first = 0;
    for (size_t i = 0; i < actual.size(); ++i)
    {
        if (Difference(actual[i] | 0xFF000000u, expected[i] | 0xFF000000u) <= tolerance) continue;
        const int x = int(i % 320), y = int(i / 320);
        const bool onRim = c.rim && Drew(actual[i]) != Drew(expected[i]) &&
                           drewNear(Drew(actual[i]) ? expected : actual, x, y);
        if (!onRim && wrong++ == 0) first = i;
    }
    EXPECT_EQ(wrong, 0u) << road << ": " << c.name << ": " << wrong << " pixels differ by more than "
                         << tolerance << (c.rim ? " off the rim" : "") << "; the first at (" << first % 320
                         << ", " << first / 320 << "): " << std::hex << actual[first] << " for "
                         << expected[first];
}

// An anti-aliased line on a surface: across each column (or row) that it crosses, but for the two
// at each end, both roads lay the same weight (the sum of the red channel) within the tolerance,
// centred within kLineCentre of each other; the surface lays nothing where the line does not go.
void CompareLine(const std::string& road, const Case& c, int tolerance, const std::vector<uint32_t>& expected,
                 const std::vector<uint32_t>& actual)
{
    const bool alongX = c.line == Line::AlongX;
    const int major = alongX ? 320 : 240, minor = alongX ? 240 : 320;
    auto weigh = [&](const std::vector<uint32_t>& pixels, int m, double& centre)
    {
        int sum = 0;
        double moment = 0;
        for (int n = 0; n < minor; ++n)
        {
            int v = int((pixels[alongX ? size_t(n * 320 + m) : size_t(m * 320 + n)] >> 16) & 0xFF);
            sum += v;
            moment += double(n) * v;
        }
        centre = sum ? moment / sum : 0.0;
        return sum;
    };
    std::vector<int> crossed;
    for (int m = 0; m < major; ++m)
    {
        double centre;
        if (weigh(expected, m, centre) > 0) crossed.push_back(m);
    }
    ASSERT_GT(crossed.size(), 8u) << road << ": " << c.name;
    // Each road ends the line its own way, within a column (or row) of the other's end.
    for (int m = 0; m < major; ++m)
    {
        double centre;
        if (m >= crossed.front() - 1 && m <= crossed.back() + 1) continue;
        EXPECT_EQ(weigh(actual, m, centre), 0) << road << ": " << c.name << " past the line at " << m;
    }
    for (size_t k = 2; k + 2 < crossed.size(); ++k)
    {
        const int m = crossed[k];
        double drawnAt = 0, expectedAt = 0;
        const int drawn = weigh(actual, m, drawnAt), wanted = weigh(expected, m, expectedAt);
        EXPECT_LE(std::abs(drawn - wanted), tolerance) << road << ": " << c.name << " at " << m;
        EXPECT_LE(std::abs(drawnAt - expectedAt), kLineCentre) << road << ": " << c.name << " at " << m;
    }
}

void RunRoad(const displaytest::NamedFormat& format, bool threeD)
{
    DisplayRig rig(format.format, threeD);
    ASSERT_TRUE(rig.Display()->mInitialized) << format.name;
    ASSERT_EQ(rig.Display()->mIs3D, threeD) << format.name;
    Sources sources(rig.Display());
    const std::string road = std::string(threeD ? "3D on " : "surface ") + format.name;
    const bool sixteen = format.format.bitCount == 16;
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
        const std::vector<uint32_t> actual = displaytest::ReadSurface(rig.Display()->mDrawSurface.get());
        ASSERT_EQ(actual.size(), expected.size()) << road << ": " << c.name;
        if (threeD)
            CompareRendered(road, c, c.threeDTolerance + (sixteen ? kThreeDSixteenBitSlack : 0),
                            c.threeDOutliers, expected, actual);
        else if (c.line != Line::None)
            CompareLine(road, c, sixteen ? kLineSixteenBitSlack : kLineWeight, expected, actual);
        else
            CompareSurface(road, c, c.exact + (sixteen ? kSixteenBitSlack : 0), expected, actual);
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
