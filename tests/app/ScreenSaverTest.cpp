#include "AppTestSupport.h"

#include "platform/window/Messages.h"

namespace
{

using apptest::RecordingWidget;
using apptest::TestApp;
using namespace platform;

// A program started with "-screensaver", a widget recording what input reaches the game, and
// the mouse where the saver first saw it.
class ScreenSaverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.SetCommandLine("-screensaver");
        app.Initialize();
        ASSERT_TRUE(app.mScreensaverMode);
        LastMousePosition(x0, y0);
        widget.Resize(0, 0, 320, 240);
        app.mWidgetManager->AddWidget(&widget);
    }
    void TearDown() override { app.mWidgetManager->RemoveWidget(&widget); }

    // Posts the messages and runs the loop until they and what they caused have been handled.
    void Send(const std::vector<Message>& messages)
    {
        for (const Message& m : messages)
            PostMessage(m.window, m.message, m.wParam, m.lParam);
        for (int i = 0; i < 20 && !app.mShutdown; ++i)
            app.UpdateAppStep(nullptr);
    }
    Message Move(int dx, int dy) { return {kMainWindow, WM_MOUSEMOVE, 0, MakeLParam(x0 + dx, y0 + dy)}; }
    size_t Moves() const
    {
        size_t n = 0;
        for (const std::string& line : log)
            n += line.find(" move ") != std::string::npos;
        return n;
    }

    FakeClock clock;
    TestApp app;
    std::vector<std::string> log;
    RecordingWidget widget{&app, &log};
    int x0 = 0, y0 = 0;
};

TEST_F(ScreenSaverTest, ThreeMovesAreSwallowedAndTheFourthEndsIt)
{
    Send({Move(0, 0), Move(5, 0), Move(5, 0), Move(5, 5), Move(9, 9)});
    EXPECT_FALSE(app.mShutdown); // a move to where the mouse was does not count
    EXPECT_EQ(Moves(), 0u);
    Send({Move(20, 20)});
    EXPECT_TRUE(app.mShutdown);
    EXPECT_EQ(Moves(), 1u); // the move that ends it goes on to the game
}

// An X desktop first tells where the pointer is with a move reported as the window appears
// under it: that is where the mouse was, and the saver still ends only at the fourth move after
// it. (tests/crash runs the game so on a virtual X desktop.)
TEST_F(ScreenSaverTest, TheFirstReportOfThePointerIsNoMove)
{
    app.mScreenSaverFilter.mPositionKnown = false; // as on an X desktop, where the window was made
    Send({Move(300, 200), Move(301, 200), Move(302, 200), Move(303, 200)});
    EXPECT_FALSE(app.mShutdown);
    Send({Move(304, 200)});
    EXPECT_TRUE(app.mShutdown);
}

TEST(ScreenSaver, KeysButtonsAndDeactivationEndIt)
{
    FakeClock clock;
    const std::vector<Message> enders = {
        {kMainWindow, WM_KEYDOWN, uint64_t(VK_SPACE), 0},
        {kMainWindow, WM_SYSKEYDOWN, uint64_t(VK_MENU), 0},
        {kMainWindow, WM_LBUTTONDOWN, 0, MakeLParam(4, 4)},
        {kMainWindow, WM_RBUTTONDOWN, 0, MakeLParam(4, 4)},
        {kMainWindow, WM_MBUTTONDOWN, 0, MakeLParam(4, 4)},
        {kMainWindow, WM_ACTIVATEAPP, 0, 0},
    };
    for (const Message& ender : enders)
    {
        TestApp saver;
        saver.SetCommandLine("-screensaver");
        saver.Initialize();
        PostMessage(kMainWindow, WM_ACTIVATEAPP, 1, 0); // gaining the activation does not count
        PostMessage(kMainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessage(kMainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        for (int i = 0; i < 10; ++i)
            saver.UpdateAppStep(nullptr);
        ASSERT_FALSE(saver.mShutdown);
        PostMessage(ender.window, ender.message, ender.wParam, ender.lParam);
        for (int i = 0; i < 20 && !saver.mShutdown; ++i)
            saver.UpdateAppStep(nullptr);
        EXPECT_TRUE(saver.mShutdown) << std::hex << ender.message;
    }
}

TEST_F(ScreenSaverTest, InputForAnotherWindowDoesNotEndIt)
{
    Send({{kInvisibleWindow, WM_KEYDOWN, uint64_t(VK_SPACE), 0},
          {kInvisibleWindow, WM_LBUTTONDOWN, 0, MakeLParam(4, 4)},
          {kInvisibleWindow, WM_ACTIVATEAPP, 0, 0},
          Move(1, 0),
          Move(2, 0),
          Move(3, 0),
          {kInvisibleWindow, WM_MOUSEMOVE, 0, MakeLParam(x0 + 4, y0)}});
    EXPECT_FALSE(app.mShutdown);
}

TEST_F(ScreenSaverTest, ForASecondAfterAMonitorPowerChangeOnlyKeysAndButtonsEndIt)
{
    Send({{kMainWindow, WM_SYSCOMMAND, SC_MONITORPOWER, 2}});
    clock.Advance(500);
    Send({Move(1, 0), Move(2, 0), Move(3, 0), Move(4, 0), {kMainWindow, WM_ACTIVATEAPP, 0, 0}});
    EXPECT_FALSE(app.mShutdown);
    EXPECT_EQ(Moves(), 1u); // the fourth move is not swallowed any more, but ends nothing
    clock.Advance(499);
    Send({{kMainWindow, WM_KEYDOWN, uint64_t(VK_SPACE), 0}});
    EXPECT_TRUE(app.mShutdown);
}

TEST_F(ScreenSaverTest, AMoveEndsItAgainOnceTheSecondHasPassed)
{
    Send({{kMainWindow, WM_SYSCOMMAND, SC_MONITORPOWER, 2}, Move(1, 0), Move(2, 0), Move(3, 0)});
    clock.Advance(1000);
    Send({Move(4, 0)});
    EXPECT_TRUE(app.mShutdown);
}

TEST_F(ScreenSaverTest, HoldsOffTheDesktopsOwnSaver)
{
    app.mLoadingThreadCompleted = true; // loading done, in a window: a game would allow it now
    app.RunUpdates(2);
    ASSERT_TRUE(app.mLoadingHandedOver);
    ASSERT_TRUE(app.mIsPhysWindowed);
    EXPECT_FALSE(ScreenSaverAllowed());
}

} // namespace
