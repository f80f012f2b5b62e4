#include "AppTestSupport.h"

#include "platform/files/Files.h"
#include "platform/system/Threads.h"

#include <filesystem>
#include <thread>

namespace
{

using apptest::TestApp;
using namespace platform;

// A game whose loading runs on the loading thread, counting its work.
struct LoadingApp : TestApp
{
    std::thread::id loadedOn, completedOn;
    int completedAtUpdate = -1;
    int loadedAtSteps = -1;
    void LoadingThreadProc() override
    {
        loadedOn = std::this_thread::get_id();
        loadedAtSteps = CurrentThreadPrioritySteps();
        mNumLoadingThreadTasks = 4;
        for (int i = 0; i < 4; ++i)
            ++mCompletedLoadingThreadTasks;
    }
    void LoadingThreadCompleted() override
    {
        completedOn = std::this_thread::get_id();
        completedAtUpdate = mUpdateCount;
    }
};

TEST(LoadingThread, HandsOverOnTheMainThreadAndIsRecorded)
{
    FakeClock clock;
    LoadingApp app;
    app.mLoadingThreadEnabled = true;
    app.Initialize();
    // The main thread's id as the system gives it (the test's main thread has the process's).
    EXPECT_EQ(app.mPrimaryThreadId, std::stoul(std::filesystem::read_symlink("/proc/self").string()));
    app.mRecordingDemo = true;
    app.RunUpdates(5);
    EXPECT_EQ(app.GetLoadingThreadProgress(), 0.0);
    EXPECT_FALSE(ScreenSaverAllowed()); // held off while loading
    // The main thread runs ahead of the loading (where the system lets it be raised) until the
    // hand-over, which lowers it again.
    bool mayRaise = SetCurrentThreadPriority(ThreadPriority::AboveNormal);
    SetCurrentThreadPriority(ThreadPriority::Normal);
    ASSERT_EQ(CurrentThreadPrioritySteps(), 0);
    app.StartLoadingThread();
    EXPECT_EQ(CurrentThreadPrioritySteps(), mayRaise ? 1 : 0);
    app.WaitForLoadingThread();
    EXPECT_NE(app.loadedOn, std::this_thread::get_id());
    EXPECT_EQ(app.loadedAtSteps, mayRaise ? 1 : 0);
    EXPECT_EQ(app.GetLoadingThreadProgress(), 1.0 * 4 / 4);
    EXPECT_FALSE(app.mLoadingHandedOver); // only an update takes it over
    app.RunUpdates(3);
    EXPECT_TRUE(app.mLoadingHandedOver);
    EXPECT_EQ(CurrentThreadPrioritySteps(), 0);
    EXPECT_EQ(app.completedOn, std::this_thread::get_id());
    EXPECT_EQ(app.GetLoadingThreadProgress(), 1.0);
    EXPECT_TRUE(ScreenSaverAllowed()); // in a window, once loaded
    app.SwitchScreenModeKeep3D(false);
    EXPECT_FALSE(ScreenSaverAllowed()); // never over the full screen
    app.SwitchScreenModeKeep3D(true);

    // Playback holds the updates until the recording's hand-over comes due.
    LoadingApp player;
    player.mPlayingDemo = true;
    player.mDemoLength = 1000;
    player.mDemo.mBuffer.SetData(app.mDemo.mBuffer.GetDataPtr(), app.mDemo.mBuffer.GetDataLen());
    player.mDemo.mBuffer.SeekFront();
    player.mLoadingThreadCompleted = true; // the thread is done long before the recording's moment
    player.mLoadingThreadStarted = true;
    while (player.mUpdateCount < app.completedAtUpdate + 5)
    {
        player.PlayDemoEvents();
        if (!player.UpdateTick()) break;
    }
    EXPECT_GE(app.completedAtUpdate, 5);
    EXPECT_EQ(player.completedAtUpdate, app.completedAtUpdate);
}

TEST(LoadingThread, OffMeansNoThreadAndNoHandOver)
{
    FakeClock clock;
    LoadingApp app;
    app.Initialize();
    app.WaitForLoadingThread(); // returns at once
    app.RunUpdates(5);
    EXPECT_FALSE(app.mLoadingThreadStarted);
    EXPECT_FALSE(app.mLoadingHandedOver);
    EXPECT_EQ(app.completedAtUpdate, -1);
}

TEST(ScreenModes, AltEnterSwitchesAndASmallDesktopNeverOpensAWindow)
{
    FakeClock clock;
    auto altEnter = [](TestApp& app)
    {
        Message m;
        m.window = kMainWindow;
        m.message = WM_SYSKEYDOWN;
        m.wParam = VK_RETURN;
        app.WindowProc(m);
        app.RunUpdates(1);
    };
    for (bool allowed : {false, true})
    {
        // A window offers the maximise button when the game allows it; maximising means full
        // screen.
        TestApp app;
        app.mAllowMaximize = allowed;
        app.Initialize();
        EXPECT_EQ(MainWindowCanMaximize(), allowed);
        synthetic::Window(synthetic::WindowEvent::Maximized);
        app.RunUpdates(2);
        EXPECT_FALSE(app.mIsPhysWindowed);
        EXPECT_FALSE(MainWindowCanMaximize());
    }
    {
        TestApp app;
        app.Initialize();
        ASSERT_TRUE(app.mIsPhysWindowed);
        altEnter(app);
        EXPECT_FALSE(app.mIsWindowed);
        EXPECT_FALSE(app.mIsPhysWindowed);
        EXPECT_TRUE(app.mDDInterface != nullptr);
        app.SwitchScreenModeKeep3D(true);
        EXPECT_TRUE(app.mIsPhysWindowed);
    }
    {
        int desktopWidth = 0, desktopHeight = 0;
        std::string error;
        InitVideo(error);
        GetDesktopSize(desktopWidth, desktopHeight);
        TestApp app;
        app.mWidth = desktopWidth; // as large as the desktop
        app.mHeight = desktopHeight;
        app.Initialize();
        EXPECT_TRUE(app.mWindowedNotAllowed);
        EXPECT_FALSE(app.mIsPhysWindowed);
        app.SwitchScreenModeKeep3D(true); // a window stays refused
        EXPECT_FALSE(app.mIsPhysWindowed);
        // ...and Alt+Enter is then a key like any other.
        std::vector<std::string> log;
        apptest::RecordingWidget widget(&app, &log);
        widget.Resize(0, 0, app.mWidth, app.mHeight);
        app.mWidgetManager->AddWidget(&widget);
        app.mWidgetManager->SetFocus(&widget);
        altEnter(app);
        EXPECT_FALSE(app.mIsPhysWindowed);
        EXPECT_EQ(std::count_if(log.begin(), log.end(),
                                [](const std::string& line)
                                { return line.find("keydown 13") != std::string::npos; }),
                  1);
        app.mWidgetManager->RemoveWidget(&widget);
    }
}

TEST(MessageBoxes, ScreensaverModeWritesTheErrorLogInstead)
{
    TestApp app;
    app.mScreensaverMode = true;
    EXPECT_EQ(app.MsgBox("first", "Title", MB_OK), IDOK);
    app.Popup("second");
    EXPECT_TRUE(app.mBoxes.empty());
    std::string log;
    ASSERT_TRUE(ReadFile("ScrError.txt", log));
    EXPECT_EQ(log.rfind("first ", 0), 0u);
    EXPECT_NE(log.find("\nsecond "), std::string::npos);
    RemoveFile("ScrError.txt");
}

} // namespace

namespace
{

TEST(WebPages, AnOpenSucceedsWhenTheGameLosesTheFocusAndFailsAfterTwelveSeconds)
{
    FakeClock clock;
    std::vector<std::string> opened;
    SetURLOpener(
        [&](const std::string& url)
        {
            opened.push_back(url);
            return true;
        });
    struct App : TestApp
    {
        std::vector<std::string> outcome;
        void URLOpenFailed(const std::string& url) override
        {
            outcome.push_back("failed " + url);
            TestApp::URLOpenFailed(url);
        }
        void URLOpenSucceeded(const std::string& url) override
        {
            outcome.push_back("succeeded " + url);
            TestApp::URLOpenSucceeded(url);
        }
    } app;
    app.Initialize();
    app.mInMainLoop = true;

    EXPECT_TRUE(app.OpenURL("https://example.invalid/a"));
    EXPECT_TRUE(app.OpenURL("https://example.invalid/a")); // pending: no second open
    EXPECT_EQ(opened.size(), 1u);
    Message lost;
    lost.window = kMainWindow;
    lost.message = WM_ACTIVATEAPP;
    lost.wParam = 0;
    app.WindowProc(lost);
    app.RunUpdates(1);
    EXPECT_EQ(app.outcome, std::vector<std::string>{"succeeded https://example.invalid/a"});

    Message gained = lost;
    gained.wParam = 1;
    app.WindowProc(gained);
    app.RunUpdates(1);
    app.outcome.clear();
    EXPECT_TRUE(app.OpenURL("https://example.invalid/b"));
    // Still active after twelve seconds of timer messages: the browser did not come up.
    for (int i = 0; i < 1300 && app.outcome.empty(); ++i)
    {
        clock.Advance(10);
        app.UpdateAppStep(nullptr);
    }
    EXPECT_EQ(app.outcome, std::vector<std::string>{"failed https://example.invalid/b"});
    SetURLOpener({});
}

} // namespace
