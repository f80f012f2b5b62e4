#include "AppTestSupport.h"

#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <filesystem>

namespace
{

using apptest::RecordingWidget;
using apptest::TestApp;
namespace syn = platform::synthetic;

// Records a scripted session against a small widget tree (input, a settings read, a clipboard
// paste, a close), replays it headless against different settings and clipboard contents, and
// compares every widget call update by update.
class DemoSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        demoFile = std::filesystem::current_path().string() + "/session-" + scratch::TestName() + ".dmo";
        platform::RemoveFile(demoFile);
    }
    void TearDown() override { platform::RemoveFile(demoFile); }

    std::string demoFile;
};

TEST_F(DemoSession, ReplayMakesTheSameWidgetCallsUpdateByUpdate)
{
    std::vector<std::string> recorded, replayed;
    int recordedUpdates = 0;
    {
        platform::FakeClock clock;
        TestApp app;
        app.RegistryWriteInteger("MusicVolume", 40);
        app.SetCommandLine("-record \"-demofile=" + demoFile + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mRecordingDemo);
        RecordingWidget widget(&app, &recorded);
        widget.Resize(0, 0, 320, 240);
        app.mWidgetManager->AddWidget(&widget);
        platform::SetClipboardText("pasted \x93text\x94");

        const std::vector<std::pair<int, std::function<void()>>> script = {
            {3, [] { syn::MouseMove(10, 10); }},
            {2, [] { syn::MouseMove(40, 20); }},
            {1, [] { syn::MouseMove(300, 200); }}, // a long move: an absolute record
            {4, [] { syn::MouseButton(1, true, 1, 300, 200); }},
            {2, [] { syn::MouseMove(290, 190); }}, // a drag
            {1, [] { syn::MouseButton(1, false, 1, 290, 190); }},
            {30, [] { syn::MouseButton(1, true, 2, 290, 190); }}, // a double click, 30 updates later
            {0, [] { syn::MouseButton(1, false, 2, 290, 190); }},
            {2, [] { syn::MouseButton(3, true, 1, 5, 5); }},
            {0, [] { syn::MouseButton(3, false, 1, 5, 5); }},
            {1, [] { syn::Wheel(-2); }},
            {1, [] { syn::Key(true, "R"); }}, // the widget reads a setting
            {0, [] { syn::Key(false, "R"); }},
            {2, [] { syn::Text("h\u00E9"); }},
            {3,
             []
             {
                 syn::Key(true, "Left Ctrl");
                 syn::Key(true, "V"); // the widget pastes
                 syn::Key(false, "V");
                 syn::Key(false, "Left Ctrl");
             }},
            {20, [] { syn::Window(syn::WindowEvent::Close); }},
        };
        for (const auto& step : script)
        {
            app.RunUpdates(step.first);
            step.second();
        }
        for (int i = 0; i < 20 && !app.mShutdown; ++i)
            app.UpdateAppStep(nullptr);
        ASSERT_TRUE(app.mShutdown);
        recordedUpdates = app.mUpdateCount;
        app.mWidgetManager->RemoveWidget(&widget);
    } // the demo file is written when the application object goes

    ASSERT_TRUE(platform::PathExists(demoFile));
    // Played at its pace, and fast-forwarded (updates back to back without drawing).
    auto replay = [&](bool fastForward, std::vector<std::string>* log)
    {
        platform::FakeClock clock;
        TestApp app;
        app.RegistryWriteInteger("MusicVolume", 90); // other local settings
        app.SetCommandLine("-play \"-demofile=" + demoFile + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mPlayingDemo);
        app.mDemoRunToEnd = fastForward;
        platform::SetClipboardText("something else");
        RecordingWidget widget(&app, log);
        widget.Resize(0, 0, 320, 240);
        app.mWidgetManager->AddWidget(&widget);
        for (int i = 0; i < 100000 && !app.mShutdown && app.mUpdateCount < recordedUpdates + 5; ++i)
            app.UpdateAppStep(nullptr);
        EXPECT_TRUE(app.mShutdown); // the recorded close ends the replay
        app.mWidgetManager->RemoveWidget(&widget);
    };
    std::vector<std::string> fastForwarded;
    replay(false, &replayed);
    replay(true, &fastForwarded);

    // Spot checks that the script did reach the widget...
    auto has = [&](const std::string& text)
    {
        for (const std::string& line : recorded)
            if (line.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("down 300,200 1"));
    EXPECT_TRUE(has("drag 290,190"));
    EXPECT_TRUE(has("down 290,190 2"));
    EXPECT_TRUE(has("down 5,5 -1"));
    EXPECT_TRUE(has("wheel -2"));
    EXPECT_TRUE(has("read 1 40"));
    EXPECT_TRUE(has("char 233"));
    EXPECT_TRUE(has("paste pasted \x93text\x94"));
    // ...and the replay made the very same calls at the very same updates.
    EXPECT_EQ(replayed, recorded);
    EXPECT_EQ(fastForwarded, recorded);
}

// A recording that ends without a close (the game quit by itself) leaves the replay at its last
// update; the window must still answer, so the player can close it.
TEST_F(DemoSession, AReplayAtItsEndStillTakesTheWindowsClose)
{
    {
        platform::FakeClock clock;
        TestApp app;
        app.SetCommandLine("-record \"-demofile=" + demoFile + "\"");
        app.Initialize();
        app.RunUpdates(20);
        app.Shutdown();
    }
    // Played at its pace and fast-forwarded.
    for (bool fastForward : {false, true})
    {
        platform::FakeClock clock;
        TestApp app;
        app.SetCommandLine("-play \"-demofile=" + demoFile + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mPlayingDemo);
        app.mDemoRunToEnd = fastForward;
        for (int i = 0; i < 500; ++i)
        {
            app.UpdateAppStep(nullptr);
            clock.Advance(1);
        }
        EXPECT_EQ(app.mUpdateCount, app.mDemoLength);
        platform::PostMessage(platform::kMainWindow, platform::WM_CLOSE);
        for (int i = 0; i < 100 && !app.mShutdown; ++i)
        {
            app.UpdateAppStep(nullptr);
            clock.Advance(1);
        }
        EXPECT_TRUE(app.mShutdown) << fastForward;
    }
}

// The loop divides by the refresh rate: a recording that claims 0 Hz keeps the default.
TEST_F(DemoSession, ADisplayModeRecordOfZeroHertzKeepsTheDefaultRate)
{
    Kavo::DemoStream recording;
    recording.WriteLongEvent(0, Kavo::DemoStream::kDisplayMode);
    recording.mBuffer.WriteBoolean(true);
    recording.mBuffer.WriteByte(75);
    recording.WriteLongEvent(3, Kavo::DemoStream::kDisplayMode);
    recording.mBuffer.WriteBoolean(false);
    recording.mBuffer.WriteByte(0);

    TestApp app;
    app.mPlayingDemo = true;
    app.mDemo.mBuffer.SetData(recording.mBuffer.GetDataPtr(), recording.mBuffer.GetDataLen());
    ASSERT_TRUE(app.ReadDisplayModeEvent());
    EXPECT_TRUE(app.mIsWindowed);
    EXPECT_EQ(app.mRefreshRate, 75);
    app.PlayDemoEvents();
    app.mUpdateCount = 3;
    app.PlayDemoEvents();
    EXPECT_FALSE(app.mIsWindowed);
    EXPECT_EQ(app.mRefreshRate, 100);
}

TEST_F(DemoSession, AnUnreadableDemoEndsStartUpWithItsText)
{
    platform::WriteFileAtomically(demoFile, "not a demo");
    TestApp app;
    app.mPlayingDemo = true;
    app.mDemoFileName = demoFile;
    EXPECT_EQ(apptest::ExitCodeOf([&] { app.Initialize(); }), 0);
    ASSERT_EQ(app.mBoxes.size(), 1u);
    EXPECT_EQ(app.mBoxes[0], "FATAL ERROR: Invalid demo file.");
    EXPECT_FALSE(app.mPlayingDemo);
}

// A recording that cannot be written is reported once, on stderr and in "ScrError.txt".
TEST_F(DemoSession, ARecordingThatCannotBeWrittenIsReported)
{
    apptest::InOwnFolder own("demo-unwritable");
    ASSERT_TRUE(platform::WriteFileAtomically(demoFile, "a file, not a folder"));
    const std::string unwritable = demoFile + "/run.dmo";
    testing::internal::CaptureStderr();
    {
        platform::FakeClock clock;
        TestApp app;
        app.SetCommandLine("-record \"-demofile=" + unwritable + "\"");
        app.Initialize();
        app.RunUpdates(3);
    }
    const std::string text = "The demo could not be written to " + unwritable + ".";
    // Once, beside the display's line naming its road.
    std::string stderrText = testing::internal::GetCapturedStderr();
    const size_t display = stderrText.find("Display: ");
    if (display != std::string::npos) stderrText.erase(display, stderrText.find('\n', display) + 1 - display);
    EXPECT_EQ(stderrText, text + "\n");
    std::string log;
    ASSERT_TRUE(platform::ReadFile("ScrError.txt", log));
    EXPECT_EQ(log.substr(0, text.size() + 1), text + " ");
}

TEST_F(DemoSession, ClipboardTextIsKeptWholeUnlessADemoMustCarryIt)
{
    platform::FakeClock clock;
    TestApp app;
    app.Initialize();
    std::string big(40000, 'x');
    big[39999] = 'y';
    platform::SetClipboardText(big);
    EXPECT_EQ(app.GetClipboard(), big);

    app.mRecordingDemo = true;
    std::string recorded = app.GetClipboard();
    EXPECT_EQ(recorded.size(), 32767u);
    TestApp player;
    player.mPlayingDemo = true;
    player.mDemo.mBuffer.SetData(app.mDemo.mBuffer.GetDataPtr(), app.mDemo.mBuffer.GetDataLen());
    EXPECT_EQ(player.GetClipboard(), recorded);
}

} // namespace
