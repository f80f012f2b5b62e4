#include "tests/app/AppTestSupport.h"

#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/DebugOutput.h"
#include "platform/DisplaySetup.h"

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
    TestApp app;
    app.Initialize();
    int inits = app.mDDInterface->mInitCount;
    platform::GetDisplaySetup().faults.blt = true;
    app.mForceDraw = true;
    app.RunUpdates(2);
    EXPECT_TRUE(TestApp::sRecoveringDisplay);
    platform::GetDisplaySetup().faults.blt = false;
    app.mForceDraw = true;
    app.RunUpdates(3);
    EXPECT_FALSE(TestApp::sRecoveringDisplay);
    EXPECT_GT(app.mDDInterface->mInitCount, inits);
    EXPECT_EQ(app.mWidgetManager->mScreenImage, app.mDDInterface->GetScreenImage());
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

TEST_F(DisplayTest, TheSoftwareCursorIsShownButNotLeftInTheScreenImage)
{
    TestApp app;
    app.RegistryWriteBoolean("Is3D", false);
    app.Initialize();
    Kavo::MemoryImage cursor;
    cursor.Create(4, 4);
    uint32_t* bits = cursor.GetBits();
    for (int i = 0; i < 16; ++i)
        bits[i] = 0xFFFFFFFF;
    cursor.BitsChanged();
    DDInterface* display = app.mDDInterface;
    EXPECT_TRUE(display->SetCursorImage(&cursor));
    EXPECT_FALSE(display->SetCursorImage(&cursor));
    display->SetPendingCursorPos(100, 100);
    ASSERT_TRUE(display->Redraw());
    EXPECT_EQ(display->GetScreenImage()->GetPixel(100, 100), 0xFF000000u);
    EXPECT_EQ(display->mCursorOldX, 100);
    display->SetCursorImage(nullptr);
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
