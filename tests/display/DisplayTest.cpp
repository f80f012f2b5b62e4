#include "tests/display/DisplayRig.h"

#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/display/DisplaySetup.h"
#include "platform/display/Screen.h"
#include "platform/system/DebugOutput.h"

namespace
{

using apptest::TestApp;
using Kavo::DDInterface;

class DisplayTest : public ::testing::Test
{
protected:
    void TearDown() override { platform::ResetDisplaySetup(); }
    platform::FakeClock clock;
};

TEST_F(DisplayTest, ResultNames)
{
    const std::vector<std::pair<int, std::string>> names = {{0, "RESULT_OK"},
                                                            {1, "RESULT_FAIL"},
                                                            {2, "RESULT_DD_CREATE_FAIL"},
                                                            {3, "RESULT_SURFACE_FAIL"},
                                                            {4, "RESULT_EXCLUSIVE_FAIL"},
                                                            {5, "RESULT_DISPCHANGE_FAIL"},
                                                            {6, "RESULT_INVALID_COLORDEPTH"},
                                                            {7, "RESULT_UNKNOWN"},
                                                            {-1, "RESULT_UNKNOWN"}};
    for (const auto& n : names)
        EXPECT_EQ(DDInterface::ResultName(n.first), n.second);
}

TEST_F(DisplayTest, AWindowedScreenOfTheGamesSize)
{
    std::string log;
    platform::SetDebugOutputSink([&](std::string_view text) { log += text; });
    TestApp app;
    app.Initialize();
    platform::SetDebugOutputSink({});
    EXPECT_NE(log.find("Application requests  320 x  240 [ 4: 3]\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Window is             320 x  240 [ 4: 3]\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Draw buffer is        320 x  240 [ 4: 3]\n"), std::string::npos) << log;
    DDInterface* display = app.mDDInterface;
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(display->mInitialized);
    EXPECT_TRUE(app.mIsPhysWindowed);
    EXPECT_EQ(display->GetScreenImage()->GetWidth(), 320);
    EXPECT_EQ(display->GetScreenImage()->GetHeight(), 240);
    EXPECT_EQ(app.mWidgetManager->mScreenImage, display->GetScreenImage());
    EXPECT_EQ(display->redShift, 16); // 8 bits per channel, red highest
    EXPECT_GE(display->mRefreshRate, 60);
    EXPECT_LE(display->mRefreshRate, 100);
    EXPECT_EQ(display->mMillisecondsPerFrame, 1000 / display->mRefreshRate);
    EXPECT_TRUE(display->Redraw());
}

TEST_F(DisplayTest, ALostDisplayIsInitialisedAgainOnALaterFrame)
{
    displaytest::ExpectTheDisplayComesBackAfterFailedBlits(
        [](TestApp& app)
        {
            app.mForceDraw = true;
            app.RunUpdates(2);
        });
}

TEST_F(DisplayTest, RefusedFullScreenFallsBackToAWindow)
{
    platform::GetDisplaySetup().faults.refuseMode = true;
    TestApp app;
    app.mIsWindowed = false;
    app.Initialize();
    EXPECT_TRUE(app.mFullScreenFailed);
    EXPECT_TRUE(app.mIsWindowed);
    EXPECT_TRUE(app.mIsPhysWindowed);
    EXPECT_TRUE(app.mDDInterface->mInitialized);
}

// The 4 x 4 white cursor is shown centred on its position (columns and rows 98 to 101 for 100,
// 100) in the window, on both roads, follows a move, and never stays in the screen image.
TEST_F(DisplayTest, TheSoftwareCursorIsShownButNotLeftInTheScreenImage)
{
    for (bool threeD : {false, true})
    {
        TestApp app;
        app.RegistryWriteBoolean("Is3D", threeD);
        app.Initialize();
        ASSERT_EQ(app.Is3DAccelerated(), threeD);
        Kavo::MemoryImage cursor;
        cursor.Create(4, 4);
        uint32_t* bits = cursor.GetBits();
        for (int i = 0; i < 16; ++i)
            bits[i] = 0xFFFFFFFF;
        cursor.BitsChanged();
        DDInterface* display = app.mDDInterface;
        {
            Kavo::Graphics g(display->GetScreenImage());
            g.SetColor(Kavo::Color(0, 0, 0));
            g.FillRect(0, 0, 320, 240);
        }
        EXPECT_TRUE(display->SetCursorImage(&cursor));
        EXPECT_FALSE(display->SetCursorImage(&cursor));
        auto shownAt = [&](int x, int y)
        {
            std::vector<uint32_t> shown;
            int w = 0, h = 0;
            EXPECT_TRUE(platform::ReadShownScreen(shown, w, h));
            EXPECT_EQ(w, 320);
            return shown.size() == 320u * 240u ? shown[size_t(y) * 320 + size_t(x)] & 0xFFFFFF : 0xBADu;
        };
        const char* road = threeD ? "3D" : "surfaces";
        display->SetPendingCursorPos(100, 100);
        ASSERT_TRUE(display->Redraw());
        for (auto [x, y] : {std::pair{98, 98}, {101, 98}, {98, 101}, {101, 101}})
            EXPECT_EQ(shownAt(x, y), 0xFFFFFFu) << x << ", " << y << " " << road;
        for (auto [x, y] : {std::pair{97, 100}, {102, 100}, {100, 97}, {100, 102}})
            EXPECT_EQ(shownAt(x, y), 0u) << x << ", " << y << " " << road;
        EXPECT_EQ(display->mCursorOldX, 100);
        display->SetPendingCursorPos(200, 50);
        ASSERT_TRUE(display->Redraw());
        EXPECT_EQ(shownAt(200, 50), 0xFFFFFFu) << road;
        EXPECT_EQ(shownAt(100, 100), 0u) << road; // the old place shows the screen again
        Kavo::DDImage* screen = display->GetScreenImage();
        if (!screen->DrawsThrough3D())
        {
            EXPECT_EQ(screen->GetPixel(100, 100), 0xFF000000u) << road;
            EXPECT_EQ(screen->GetPixel(200, 50), 0xFF000000u) << road;
        }
        display->SetCursorImage(nullptr);
    }
}

TEST_F(DisplayTest, TheDebugOverlayIsDrawnInTheCorner)
{
    TestApp app;
    app.RegistryWriteBoolean("Is3D", false);
    app.Initialize();
    app.mShowFPS = true;
    app.mForceDraw = true;
    app.mHasPendingDraw = true;
    ASSERT_TRUE(app.DrawFrame());
    Kavo::DDImage* screen = app.mDDInterface->GetScreenImage();
    bool marked = false;
    for (int y = 200; y < 235; ++y)
        for (int x = 250; x < 315; ++x)
            marked = marked || (screen->GetPixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_TRUE(marked);
    EXPECT_EQ(screen->GetPixel(5, 5) & 0xFFFFFF, 0u);
}

} // namespace

// Full screen shows the game's screen scaled to the desktop (1024 x 768 on the dummy driver) with
// its shape kept, bars above and below a wider screen, on both roads: fills, images and lines land
// where they lie on the screen.
TEST_F(DisplayTest, FullScreenShowsTheScreenScaledToTheDesktop)
{
    for (bool threeD : {false, true})
    {
        TestApp app;
        app.mWidth = 400;
        app.RegistryWriteBoolean("Is3D", threeD);
        app.mIsWindowed = false;
        app.Initialize();
        ASSERT_FALSE(app.mIsPhysWindowed);
        ASSERT_EQ(app.Is3DAccelerated(), threeD);
        Kavo::MemoryImage blue;
        blue.Create(40, 40);
        std::fill(blue.GetBits(), blue.GetBits() + 1600, 0xFF0000FFu);
        blue.BitsChanged();
        {
            Kavo::Graphics g(app.mDDInterface->GetScreenImage());
            g.SetColor(Kavo::Color(64, 64, 64));
            g.FillRect(0, 0, 400, 240);
            g.SetColor(Kavo::Color(255, 0, 0));
            g.FillRect(0, 0, 200, 120);
            g.DrawImage(&blue, 300, 160);
            g.SetColor(Kavo::Color(0, 255, 0));
            g.DrawLine(0, 239, 399, 239);
        }
        ASSERT_TRUE(app.mDDInterface->Redraw());
        std::vector<uint32_t> shown;
        int w = 0, h = 0;
        ASSERT_TRUE(platform::ReadShownScreen(shown, w, h));
        ASSERT_EQ(w, 1024);
        ASSERT_EQ(h, 768);
        // Screen point (x, y) shows at (2.56 x, 76.8 + 2.56 y); the 16-bit screen and the scaling's
        // filter leave a few steps of each channel.
        auto near = [](uint32_t a, uint32_t b)
        {
            for (int shift : {0, 8, 16})
                if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 16) return false;
            return true;
        };
        const struct
        {
            int x, y;
            uint32_t rgb;
        } expected[] = {{512, 30, 0x000000},  {512, 750, 0x000000}, {10, 90, 0xFF0000},
                        {500, 370, 0xFF0000}, {530, 400, 0x404040}, {850, 580, 0x0000FF},
                        {760, 520, 0x404040}, {512, 690, 0x00FF00}};
        for (const auto& e : expected)
            EXPECT_TRUE(near(shown[size_t(e.y) * size_t(w) + size_t(e.x)], e.rgb))
                << std::hex << shown[size_t(e.y) * size_t(w) + size_t(e.x)] << (threeD ? " 3D" : " surfaces")
                << " at " << std::dec << e.x << ", " << e.y;
    }
}
