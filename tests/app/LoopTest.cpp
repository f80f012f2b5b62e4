#include "AppTestSupport.h"

#include "display/DDInterface.h"
#include "graphics/Graphics.h"
#include "platform/display/Screen.h"
#include "platform/system/DebugOutput.h"
#include "platform/window/DesktopIdle.h"

#include <thread>

namespace
{

using apptest::TestApp;

// A widget that changes every update, so every frame has something to show.
class BusyWidget : public Kavo::Widget
{
public:
    void Update() override
    {
        Kavo::Widget::Update();
        MarkDirty();
    }
};

class DeletionWatch : public Kavo::Widget
{
public:
    explicit DeletionWatch(bool* deleted) : mDeleted(deleted) {}
    ~DeletionWatch() override { *mDeleted = true; }

private:
    bool* mDeleted;
};

class LoopTest : public ::testing::Test
{
protected:
    platform::FakeClock clock;
};

TEST_F(LoopTest, FixedRateUpdatesAndAFramePerSecondWhenIdle)
{
    TestApp app;
    app.Initialize();
    uint32_t start = clock.Ticks();
    int updates = app.mUpdateCount, draws = app.mDrawCount;
    while (clock.Ticks() - start < 3000)
        app.UpdateAppStep(nullptr);
    EXPECT_NEAR(app.mUpdateCount - updates, 300, 1);
    // Nothing changes on screen: one frame a second is still presented.
    EXPECT_NEAR(app.mDrawCount - draws, 3, 1);
    EXPECT_GT(app.mSleepCount, 0);
}

// A screen that has shown nothing new for 200 ms, with no input, runs its updates five at a time
// on waking every 50 ms; the hundred updates a second stay, and a change one of them makes is on
// screen within 50 ms of its time.
TEST_F(LoopTest, AStillScreenWakesForFiveUpdatesAtATime)
{
    struct LateChange : Kavo::Widget
    {
        platform::FakeClock* clock = nullptr;
        uint32_t changeAt = 0, drawnAt = 0;
        bool changed = false;
        void Update() override
        {
            Kavo::Widget::Update();
            if (!changed && clock->Ticks() >= changeAt)
            {
                changed = true;
                MarkDirty();
            }
        }
        void Draw(Kavo::Graphics*) override
        {
            if (changed && !drawnAt) drawnAt = clock->Ticks();
        }
    } late;
    late.clock = &clock;
    late.Resize(0, 0, 10, 10);
    TestApp app;
    app.Initialize();
    app.mWidgetManager->AddWidget(&late);
    late.changeAt = clock.Ticks() + 1000 + 23; // a time between two wake-ups
    auto run = [&](int ms, int* updates)
    {
        uint32_t start = clock.Ticks();
        int sleeps = app.mSleepCount, before = app.mUpdateCount;
        while (clock.Ticks() - start < uint32_t(ms))
            app.UpdateAppStep(nullptr);
        *updates = app.mUpdateCount - before;
        return app.mSleepCount - sleeps;
    };
    int updates = 0;
    run(400, &updates);
    EXPECT_NEAR(run(600, &updates), 12, 1); // still: a wake-up for five updates
    EXPECT_NEAR(updates, 60, 1);
    run(100, &updates);
    ASSERT_NE(late.drawnAt, 0u);
    EXPECT_LE(late.drawnAt - late.changeAt, 50u);
    // After a change, one update a wake-up until the screen has been still for 200 ms again.
    EXPECT_NEAR(run(150, &updates), 15, 1);
    EXPECT_NEAR(run(1000, &updates), 20, 1);
    EXPECT_NEAR(updates, 100, 1);

    // A key the player presses also keeps one update a wake-up for 200 ms.
    platform::PostMessage(platform::kMainWindow, platform::WM_KEYDOWN, 'A', 0);
    EXPECT_NEAR(run(150, &updates), 15, 1);
    app.mWidgetManager->RemoveWidget(&late);
}

TEST_F(LoopTest, AnIdleLoopSleepsUntilTheNextUpdateWhenUpdatesAreAFractionOfAMillisecondApart)
{
    // Paced by a 60 Hz refresh in a window, updates are 16.67 ms apart: the last fraction of a
    // millisecond before each is slept, not spun through (here time moves only by sleeping).
    TestApp app;
    app.mVSyncUpdates = true;
    app.Initialize();
    ASSERT_TRUE(app.mIsPhysWindowed);
    uint32_t start = clock.Ticks();
    int steps = 0;
    while (clock.Ticks() - start < 1000 && steps < 100000)
    {
        app.UpdateAppStep(nullptr);
        ++steps;
    }
    EXPECT_GE(clock.Ticks() - start, 1000u);
    EXPECT_LT(steps, 60 * 12); // a few passes an update, not thousands
}

TEST_F(LoopTest, AStallIsCaughtUpWithAtMostTwentyUpdates)
{
    TestApp app;
    app.Initialize();
    app.RunUpdates(50);
    clock.Advance(5000);
    int before = app.mUpdateCount, draws = app.mDrawCount;
    while (app.mDrawCount == draws)
        app.UpdateAppStep(nullptr);
    EXPECT_GE(app.mUpdateCount - before, 19); // the first may have been taken before the stall
    EXPECT_LE(app.mUpdateCount - before, 20);
    EXPECT_LE(app.mUpdateFTimeAcc, 10.0);
}

TEST_F(LoopTest, TooFastVerticalSyncIsSwitchedOffForGood)
{
    TestApp app;
    app.mIsWindowed = false; // vertical-sync pacing only in full screen
    app.mVSyncUpdates = true;
    app.Initialize();
    ASSERT_FALSE(app.mIsPhysWindowed);
    BusyWidget busy;
    busy.Resize(0, 0, 320, 240);
    app.mWidgetManager->AddWidget(&busy);
    // Presenting never waits here, so updates run far faster than the refresh rate says. The
    // check looks at every hundredth update paced by the refresh (60 of each 100 here).
    app.RunUpdates(250);
    EXPECT_FALSE(app.mVSyncBroken);
    app.RunUpdates(300);
    EXPECT_TRUE(app.mVSyncBroken);
    // From now on the loop paces by elapsed time.
    int before = app.mUpdateCount;
    uint32_t start = clock.Ticks();
    while (clock.Ticks() - start < 1000)
    {
        app.UpdateAppStep(nullptr);
        clock.AdvanceMicroseconds(100); // real time goes on while the loop spins
    }
    // 60 frames a second of 1000 / (10 x 60) updates each: 100 updates.
    EXPECT_NEAR(app.mUpdateCount - before, 100, 2); // 1000 ms at 60 Hz, 10 ms per update
    app.mWidgetManager->RemoveWidget(&busy);
}

// In a window the program rests while the desktop's screen saver would run (two seconds before
// its time-out) and wakes, redrawing everything, once the player is back.
TEST_F(LoopTest, TheProgramRestsWhileTheDesktopIsIdle)
{
    platform::ScreenSaverState desktop;
    desktop.active = true;
    desktop.timeoutSeconds = 60;
    platform::SetScreenSaverStateSource(
        [&](platform::ScreenSaverState& state)
        {
            state = desktop;
            return true;
        });
    struct DrawCounter : Kavo::Widget
    {
        int draws = 0;
        void Draw(Kavo::Graphics*) override { ++draws; }
    } still;
    still.Resize(0, 0, 10, 10);
    TestApp app;
    app.Initialize();
    ASSERT_TRUE(app.mIsPhysWindowed);
    app.mWidgetManager->AddWidget(&still);
    auto run = [&](int ms)
    {
        uint32_t start = clock.Ticks();
        int updates = app.mUpdateCount;
        while (clock.Ticks() - start < uint32_t(ms))
            app.UpdateAppStep(nullptr);
        return app.mUpdateCount - updates;
    };
    run(100); // the new widget's first draw
    struct Step
    {
        uint32_t idleMs;
        bool running;
        bool suspended;
    } steps[] = {
        {58000, false, false}, // not longer than the limit of 58 s
        {58001, false, true},
        {30000, true, true},   // back below the limit, but the screen saver still runs
        {57999, false, false}, // back
    };
    for (const Step& step : steps)
    {
        desktop.idleMs = step.idleMs;
        desktop.running = step.running;
        int draws = still.draws;
        run(1100);
        EXPECT_EQ(app.sIdleSuspended, step.suspended) << step.idleMs;
        EXPECT_EQ(run(500) == 0, step.suspended) << step.idleMs; // no updates while resting
        // Nothing changes on screen, but waking up draws everything anew.
        EXPECT_EQ(still.draws - draws, &step == &steps[3] ? 1 : 0) << step.idleMs;
    }

    // Without a time-out, or full screen, the program never rests.
    desktop.active = false;
    desktop.idleMs = 100000;
    clock.Advance(10000);
    run(1100);
    EXPECT_FALSE(app.sIdleSuspended);
    platform::SetScreenSaverStateSource({});
    app.mWidgetManager->RemoveWidget(&still);
}

// A switch to full screen shows the picture at once, from a rest as the desktop nears its time-out
// and from one while its screen saver runs: nothing rests outside a window.
TEST_F(LoopTest, ASwitchFromARestShowsThePictureAtOnce)
{
    struct RedWidget : Kavo::Widget
    {
        int draws = 0;
        void Draw(Kavo::Graphics* g) override
        {
            ++draws;
            g->SetColor(Kavo::Color(255, 0, 0));
            g->FillRect(0, 0, mWidth, mHeight);
        }
    };
    for (bool saverRuns : {false, true})
    {
        platform::ScreenSaverState desktop;
        desktop.active = true;
        desktop.timeoutSeconds = 60;
        desktop.idleMs = 58001;
        desktop.running = saverRuns;
        platform::SetScreenSaverStateSource(
            [&](platform::ScreenSaverState& state)
            {
                state = desktop;
                return true;
            });
        RedWidget red;
        TestApp app;
        app.Initialize();
        ASSERT_TRUE(app.mIsPhysWindowed);
        red.Resize(0, 0, app.mWidth, app.mHeight);
        app.mWidgetManager->AddWidget(&red);
        auto run = [&](int ms)
        {
            uint32_t start = clock.Ticks();
            while (clock.Ticks() - start < uint32_t(ms))
                app.UpdateAppStep(nullptr);
        };
        run(1100);
        ASSERT_TRUE(app.sIdleSuspended) << saverRuns;
        int draws = red.draws;
        app.SwitchScreenModeKeep3D(false);
        run(50);
        EXPECT_FALSE(app.sIdleSuspended) << saverRuns;
        EXPECT_EQ(red.draws - draws, 1) << saverRuns;
        std::vector<uint32_t> shown;
        int w = 0, h = 0;
        ASSERT_TRUE(platform::ReadShownScreen(shown, w, h)) << saverRuns;
        EXPECT_EQ(shown[size_t(h / 2) * size_t(w) + size_t(w / 2)] & 0xFFFFFF, 0xFF0000u) << saverRuns;
        platform::SetScreenSaverStateSource({});
        app.mWidgetManager->RemoveWidget(&red);
    }
}

TEST_F(LoopTest, ShutdownFromAnotherThreadIsTakenUpByTheNextFrame)
{
    TestApp app;
    app.Initialize();
    app.RunUpdates(2);
    std::thread other([&] { app.Shutdown(); });
    other.join();
    EXPECT_TRUE(app.mStopRequested);
    EXPECT_FALSE(app.mShutdown);
    for (int i = 0; i < 10 && !app.mShutdown; ++i)
        app.UpdateAppStep(nullptr);
    EXPECT_TRUE(app.mShutdown);
    bool updated = true;
    EXPECT_FALSE(app.UpdateAppStep(&updated)); // nested loops end
}

TEST_F(LoopTest, WidgetsQueuedInANestedLoopWaitForThatLoop)
{
    TestApp app;
    bool outerDeleted = false, innerDeleted = false;
    app.mUpdateAppDepth = 1;
    app.SafeDeleteWidget(new DeletionWatch(&outerDeleted));
    app.mUpdateAppDepth = 2; // a dialog's wait loop
    app.SafeDeleteWidget(new DeletionWatch(&innerDeleted));
    app.mUpdateAppDepth = 3; // a loop nested deeper still deletes neither
    app.ProcessSafeDeleteList();
    EXPECT_FALSE(outerDeleted);
    EXPECT_FALSE(innerDeleted);
    app.mUpdateAppDepth = 2;
    app.ProcessSafeDeleteList();
    EXPECT_FALSE(outerDeleted);
    EXPECT_TRUE(innerDeleted);
    app.mUpdateAppDepth = 1;
    app.ProcessSafeDeleteList();
    EXPECT_TRUE(outerDeleted);
    app.mUpdateAppDepth = 0;
}

TEST_F(LoopTest, StatisticsGoToTheDebuggerOutputAndSettingsAreWritten)
{
    std::string output;
    platform::SetDebugOutputSink([&](std::string_view text) { output += text; });
    {
        TestApp app;
        app.Initialize();
        app.RunUpdates(5);
        platform::PostMessage(platform::kMainWindow, platform::WM_CLOSE);
        app.RunMainLoop();
        EXPECT_TRUE(app.mShutdown);
        EXPECT_TRUE(app.mCloseRequest);
        int inProgress = -1;
        app.RegistryReadInteger("InProgress", &inProgress);
        EXPECT_EQ(inProgress, 0);
    }
    platform::SetDebugOutputSink({});
    for (const char* line : {"Seconds       = ", "Sleep Count   = ", "Update Count  = ", "Draw Count    = ",
                             "Draw Time     = ", "Screen Blt    = "})
        EXPECT_NE(output.find(line), std::string::npos) << line;
}

} // namespace
