// Presenting parts of the screen image: what the window shows after a sequence of partial
// presents, on both roads, in a window and in full screen, with the software cursor moving.
#include "tests/display/DisplayRig.h"

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/display/Screen.h"

#include <random>

namespace
{

using apptest::TestApp;
using Kavo::Color;
using Kavo::Rect;

std::vector<uint32_t> Shown(int& w, int& h)
{
    std::vector<uint32_t> shown;
    EXPECT_TRUE(platform::ReadShownScreen(shown, w, h));
    return shown;
}

void FillRect(Kavo::DDImage* screen, const Rect& r, std::mt19937& random)
{
    Kavo::Graphics g(screen);
    g.SetColor(Color(int(random() & 0xFF), int(random() & 0xFF), int(random() & 0xFF)));
    g.FillRect(r.mX, r.mY, r.mWidth, r.mHeight);
}

class PresentationTest : public ::testing::Test
{
protected:
    void TearDown() override { platform::ResetDisplaySetup(); }
    platform::FakeClock clock;
};

// In a window the window shows the screen image where it was presented and what it showed before
// elsewhere, byte for byte (the 3D road's renderer draws the whole window at each present: the
// whole screen image); in full screen partial presents leave what a whole present shows. The
// software road makes no renderer.
TEST_F(PresentationTest, PresentedRectanglesReachTheWindowExactly)
{
    const std::vector<Rect> changes = {Rect(0, 0, 20, 10),   Rect(150, 100, 40, 60), Rect(170, 120, 80, 5),
                                       Rect(0, 239, 320, 1), Rect(319, 0, 1, 240),   Rect(-10, -10, 25, 25)};
    for (bool threeD : {false, true})
        for (bool windowed : {true, false})
        {
            const std::string what =
                std::string(threeD ? "3D road" : "software road") + (windowed ? ", window" : ", full screen");
            TestApp app;
            app.RegistryWriteBoolean("Is3D", threeD);
            app.mIsWindowed = windowed;
            app.Initialize();
            Kavo::DDInterface* display = app.mDDInterface;
            ASSERT_EQ(display->mIs3D, threeD) << what;
            ASSERT_EQ(platform::ScreenHasRenderer(), threeD) << what;
            Kavo::DDImage* screen = display->GetScreenImage();
            std::mt19937 random(5);
            for (int i = 0; i < 12; ++i)
                FillRect(screen, Rect(int(random() % 300), int(random() % 220), 40, 30), random);
            ASSERT_TRUE(display->Redraw()) << what;
            std::vector<uint32_t> presented = displaytest::ReadSurface(display->mDrawSurface.get());
            for (const Rect& r : changes)
            {
                FillRect(screen, r, random);
                ASSERT_TRUE(display->RedrawRects({r, Rect(r.mX + 5, r.mY + 5, 10, 10)})) << what;
                std::vector<uint32_t> now = displaytest::ReadSurface(display->mDrawSurface.get());
                Rect c = r.Intersection(Rect(0, 0, 320, 240));
                for (int y = c.mY; y < c.mY + c.mHeight; ++y)
                    for (int x = c.mX; x < c.mX + c.mWidth; ++x)
                        presented[size_t(y) * 320 + size_t(x)] = now[size_t(y) * 320 + size_t(x)];
            }
            int w = 0, h = 0;
            if (windowed)
            {
                FillRect(screen, Rect(60, 60, 30, 30), random); // changed, not presented
                ASSERT_TRUE(display->RedrawRects({})) << what;
                if (threeD) presented = displaytest::ReadSurface(display->mDrawSurface.get());
                std::vector<uint32_t> shown = Shown(w, h);
                ASSERT_EQ(w, 320) << what;
                EXPECT_TRUE(shown == presented) << what;
            }
            else
            {
                std::vector<uint32_t> shown = Shown(w, h);
                ASSERT_EQ(w, 1024) << what;
                ASSERT_TRUE(display->Redraw()) << what;
                int w2 = 0, h2 = 0;
                EXPECT_TRUE(Shown(w2, h2) == shown) << what;
            }
        }
}

// The software cursor moves with a partial present: shown at its new place, and the screen image
// back where it was, on both roads; it never stays in the screen image.
TEST_F(PresentationTest, TheCursorsOldAndNewAreasArePresentedWithTheRectangles)
{
    for (bool threeD : {false, true})
    {
        const std::string what = threeD ? "3D road" : "software road";
        TestApp app;
        app.RegistryWriteBoolean("Is3D", threeD);
        app.Initialize();
        Kavo::DDInterface* display = app.mDDInterface;
        ASSERT_EQ(display->mIs3D, threeD) << what;
        Kavo::MemoryImage cursor;
        cursor.Create(4, 4);
        std::fill(cursor.GetBits(), cursor.GetBits() + 16, 0xFFFFFFFFu);
        cursor.BitsChanged();
        {
            Kavo::Graphics g(display->GetScreenImage());
            g.SetColor(Color(0, 0, 128));
            g.FillRect(0, 0, 320, 240);
        }
        ASSERT_TRUE(display->Redraw()) << what;
        display->SetCursorImage(&cursor);
        display->SetPendingCursorPos(100, 100);
        ASSERT_TRUE(display->RedrawRects({Rect(0, 0, 1, 1)})) << what;
        display->SetPendingCursorPos(200, 150);
        ASSERT_TRUE(display->RedrawRects({})) << what;
        int w = 0, h = 0;
        std::vector<uint32_t> shown = Shown(w, h);
        ASSERT_EQ(w, 320) << what;
        // The cursor's 4 x 4 pixels centred in its 64 x 64 area.
        std::vector<uint32_t> image = displaytest::ReadSurface(display->mDrawSurface.get());
        const uint32_t blue = image[0];
        EXPECT_EQ(blue & 0xFFFFFF00u, 0xFF000000u) << what;
        EXPECT_EQ(shown[size_t(150) * 320 + 200], 0xFFFFFFFFu) << what;
        EXPECT_EQ(shown[size_t(100) * 320 + 100], blue) << what;
        EXPECT_EQ(image[size_t(150) * 320 + 200], blue) << what;
        display->SetCursorImage(nullptr);
    }
}

// RedrawRects recovers a lost display as Redraw does: the next frames initialise it again.
TEST_F(PresentationTest, APartialPresentOfALostDisplayInitialisesItAgain)
{
    displaytest::ExpectTheDisplayComesBackAfterFailedBlits([](TestApp& app)
                                                           { app.RedrawRects({Rect(10, 10, 20, 20)}); });
}

// Full screen takes the desktop's depth unless the game asks for one: 32 bits where the desktop
// has them, 16 where it has only those.
TEST_F(PresentationTest, FullScreenTakesTheDesktopsDepth)
{
    const struct
    {
        platform::PixelFormat desktop;
        int asked;
        int bits;
    } cases[] = {{platform::PixelFormat::Rgb32(), 0, 32},
                 {platform::PixelFormat::Bgr32(), 0, 32},
                 {platform::PixelFormat::Rgb565(), 0, 16},
                 {platform::PixelFormat::Rgb32(), 16, 16}};
    for (const auto& c : cases)
    {
        platform::GetDisplaySetup().desktopFormat = c.desktop;
        TestApp app;
        app.RegistryWriteBoolean("Is3D", false);
        app.mIsWindowed = false;
        app.mFullscreenBits = c.asked;
        app.Initialize();
        ASSERT_FALSE(app.mIsPhysWindowed);
        EXPECT_EQ(app.mDDInterface->mBitCount, c.bits)
            << c.desktop.bitCount << "-bit desktop, asked " << c.asked;
        platform::ResetDisplaySetup();
    }
}

// A screen that changes every update, full screen with updates paced by the refresh: the
// window's surface never waits for the refresh, so the clock paces the loop from the start (60
// frames a second of 1000 / (10 x 60) updates each), where through a renderer the loop trusts the
// present until it finds it too fast.
TEST_F(PresentationTest, FullScreenOnTheWindowsSurfaceIsPacedByTheClock)
{
    class Busy : public Kavo::Widget
    {
    public:
        void Update() override
        {
            Kavo::Widget::Update();
            MarkDirty();
        }
    };
    TestApp app;
    app.RegistryWriteBoolean("Is3D", false);
    app.mIsWindowed = false;
    app.mVSyncUpdates = true;
    app.Initialize();
    ASSERT_FALSE(app.mIsPhysWindowed);
    ASSERT_FALSE(app.mDDInterface->PresentMayWaitForVSync());
    Busy busy;
    busy.Resize(0, 0, 320, 240);
    app.mWidgetManager->AddWidget(&busy);
    int before = app.mUpdateCount, draws = app.mDrawCount;
    uint32_t start = clock.Ticks();
    while (clock.Ticks() - start < 1000)
    {
        app.UpdateAppStep(nullptr);
        clock.AdvanceMicroseconds(100); // real time goes on while the loop spins
    }
    EXPECT_NEAR(app.mUpdateCount - before, 100, 2);
    EXPECT_LE(app.mDrawCount - draws, 61);
    EXPECT_FALSE(app.mVSyncBroken); // never taken for vertical sync in the first place
    app.mWidgetManager->RemoveWidget(&busy);
}

} // namespace
