#include "AppTestSupport.h"

#include "app/JumpToTimeDialog.h"
#include "app/MarkerListDialog.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"
#include "widgets/ButtonWidget.h"
#include "widgets/ListWidget.h"

#include <cctype>
#include <climits>
#include <filesystem>
#include <functional>
#include <vector>

namespace
{

using apptest::RecordingWidget;
using apptest::TestApp;
using Kavo::Point;
using namespace platform;

constexpr int kDemoLength = 1000; // updates of 10 ms

// A demo of 1,000 updates with three markers, recorded once; each test plays it from the start
// on an 800 x 600 screen.
class PlaybackControls : public ::testing::Test
{
protected:
    // CTest runs each test as a program of its own, side by side in one folder: the demo is named
    // after the tests the program runs, so that none removes another's.
    static std::string DemoFile()
    {
        std::string name = "playback-controls-" + GTEST_FLAG_GET(filter);
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
        return std::filesystem::current_path().string() + "/" + name + ".dmo";
    }

    static void SetUpTestSuite()
    {
        FakeClock clock;
        TestApp recorder;
        recorder.SetCommandLine("-record \"-demofile=" + DemoFile() + "\"");
        recorder.Initialize();
        recorder.RunUpdates(kDemoLength);
        recorder.mDemoMarkers = {{"start", 10}, {"middle", 500}, {"late", 900}};
        recorder.Shutdown();
    }
    static void TearDownTestSuite() { RemoveFile(DemoFile()); }

    void SetUp() override
    {
        app.mWidth = 800;
        app.mHeight = 600;
        app.RegistryWriteInteger("MusicVolume", 80); // the settings key exists before playing
        app.SetCommandLine("-play \"-demofile=" + DemoFile() + "\"");
        app.Initialize();
        ASSERT_TRUE(app.mPlayingDemo);
        ASSERT_EQ(app.mDemoLength, kDemoLength);
    }

    // Characters typed while the demo plays, through the window procedure.
    void Type(const std::string& keys)
    {
        for (char c : keys)
            app.WindowProc(Message{kMainWindow, WM_CHAR, uint64_t(uint8_t(c))});
    }
    void Steps(int n)
    {
        for (int i = 0; i < n && !app.mShutdown; ++i)
            app.UpdateAppStep(nullptr);
    }
    // Input for a dialog: it waits in the queue and the dialog's own loop takes it.
    void PostClick(int x, int y, bool doubleClick = false)
    {
        PostMessage(kMainWindow, WM_MOUSEMOVE, 0, MakeLParam(x, y));
        PostMessage(kMainWindow, WM_LBUTTONDOWN, 0, MakeLParam(x, y));
        PostMessage(kMainWindow, WM_LBUTTONUP, 0, MakeLParam(x, y));
        if (!doubleClick) return;
        PostMessage(kMainWindow, WM_LBUTTONDBLCLK, 0, MakeLParam(x, y));
        PostMessage(kMainWindow, WM_LBUTTONUP, 0, MakeLParam(x, y));
    }
    void PostText(const std::string& text)
    {
        for (char c : text)
            PostMessage(kMainWindow, WM_CHAR, uint64_t(uint8_t(c)));
    }
    void PostKey(int key) { PostMessage(kMainWindow, WM_KEYDOWN, uint64_t(key)); }
    // Where a control of a dialog opened like the playback's (centred on the screen) lies.
    Point CentreOf(Kavo::Widget* control, Kavo::Dialog& dialog)
    {
        dialog.Move((app.mWidth - dialog.mWidth) / 2, (app.mHeight - dialog.mHeight) / 2);
        Point p = control->GetAbsPos();
        return Point(p.mX + control->mWidth / 2, p.mY + control->mHeight / 2);
    }

    FakeClock clock;
    TestApp app;
};

TEST_F(PlaybackControls, KeysSetSpeedPauseStepsAndJumpsInEitherCase)
{
    struct Expect
    {
        double speed = 1.0;
        bool paused = false;
        int target = 0;
        bool singleStep = false;
        bool toEnd = false;
    };
    const std::vector<std::pair<std::string, Expect>> cases = {
        {"+", {.speed = 1.5}},
        {"++-", {.speed = 1.5}},
        {"-", {.speed = 1.0 / 1.5}},
        {"++=", {.speed = 1.0}},
        {"p", {.paused = true}},
        {"P", {.paused = true}},
        {"pP", {.paused = false}},
        {"n", {.target = 1, .singleStep = true}},
        {"N", {.target = 1, .singleStep = true}},
        {"m", {.toEnd = true}},
        {"M", {.toEnd = true}},
        {"0", {.target = kDemoLength}},
        {"4", {.target = kDemoLength - 12000}},
        {"5", {.target = kDemoLength - 9000}},
        {"6", {.target = kDemoLength - 6000}},
        {"7", {.target = kDemoLength - 3000}},
        {"8", {.target = kDemoLength - 1000}},
        {"9", {.target = kDemoLength - 500}},
        {"xq1 ", {}},
    };
    for (const auto& [keys, expect] : cases)
    {
        app.mUpdateMultiplier = 1.0;
        app.mPaused = false;
        app.mDemoJumpTarget = 0;
        app.mDemoSingleStep = false;
        app.mDemoRunToEnd = false;
        Type(keys);
        EXPECT_DOUBLE_EQ(app.mUpdateMultiplier, expect.speed) << keys;
        EXPECT_EQ(app.mPaused, expect.paused) << keys;
        EXPECT_EQ(app.mDemoJumpTarget, expect.target) << keys;
        EXPECT_EQ(app.mDemoSingleStep, expect.singleStep) << keys;
        EXPECT_EQ(app.mDemoRunToEnd, expect.toEnd) << keys;
    }
}

TEST_F(PlaybackControls, TheLoopPausesStepsSpeedsUpJumpsAndRunsToTheEnd)
{
    // Paused: time passes, nothing updates; a single step runs exactly one update.
    Type("p");
    int count = app.mUpdateCount;
    for (int i = 0; i < 100; ++i)
    {
        clock.Advance(10);
        Steps(1);
    }
    EXPECT_EQ(app.mUpdateCount, count);
    Type("n");
    Steps(10);
    EXPECT_EQ(app.mUpdateCount, count + 1);
    Type("p");

    // One and a half times as fast.
    Type("+");
    count = app.mUpdateCount;
    uint32_t start = clock.Ticks();
    while (clock.Ticks() - start < 1000)
    {
        Steps(1);
        clock.AdvanceMicroseconds(100); // real time goes on while the loop spins
    }
    EXPECT_NEAR(app.mUpdateCount - count, 150, 2);
    Type("=");

    // Five seconds before the end, without sound while it catches up.
    Type("9");
    ASSERT_LT(app.mUpdateCount, kDemoLength - 500);
    for (int i = 0; i < 20 && !app.IsMuted(); ++i)
        Steps(1);
    EXPECT_TRUE(app.IsMuted());
    for (int i = 0; i < 100 && app.mUpdateCount < kDemoLength - 500; ++i)
        Steps(1);
    EXPECT_EQ(app.mUpdateCount, kDemoLength - 500);
    Steps(2);
    EXPECT_FALSE(app.IsMuted());

    // Then on to the end at once.
    Type("M");
    for (int i = 0; i < 100 && app.mUpdateCount < kDemoLength; ++i)
        Steps(1);
    EXPECT_EQ(app.mUpdateCount, kDemoLength);
}

TEST_F(PlaybackControls, SoundToggledTwiceGivesBothVolumesBack)
{
    app.SetMusicVolume(0.8);
    app.SetSfxVolume(0.55);
    Type("s");
    EXPECT_EQ(app.mMusicVolume, 0.0);
    EXPECT_EQ(app.mSfxVolume, 0.0);
    Type("S");
    EXPECT_EQ(app.mMusicVolume, 0.8);
    EXPECT_EQ(app.mSfxVolume, 0.55);
}

TEST_F(PlaybackControls, TheMarkerListShowsTheMarkersAheadAndJumpsToOne)
{
    app.RunUpdates(100);
    std::vector<Kavo::DemoMarker> lines = app.GetMarkerListLines();
    ASSERT_EQ(lines.size(), 2u); // "start" lies behind
    EXPECT_EQ(lines[0].name, "middle (00:00:05)");
    EXPECT_EQ(lines[0].updateCount, 500);
    EXPECT_EQ(lines[1].name, "late (00:00:01)");
    EXPECT_EQ(lines[1].updateCount, 900);
    {
        // Hours, minutes and seconds of a marker far from the end.
        TestApp longer;
        longer.mDemoLength = 400000;
        longer.mDemoMarkers = {{"far", 400000 - 366100}};
        ASSERT_EQ(longer.GetMarkerListLines().size(), 1u);
        EXPECT_EQ(longer.GetMarkerListLines()[0].name, "far (01:01:01)");
    }

    // A double click on "late", typed "L": the playback jumps there; the game heard nothing.
    std::vector<std::string> heard;
    RecordingWidget game(&app, &heard);
    game.Resize(0, 0, 800, 600);
    app.mWidgetManager->AddWidget(&game);
    const int count = app.mUpdateCount;
    {
        Kavo::MarkerListDialog probe(lines, app.mWidth);
        Kavo::ListWidget* list = probe.GetList();
        Point p = CentreOf(list, probe);
        int row = list->GetRowHeight();
        PostClick(p.mX, p.mY - list->mHeight / 2 + 4 + row + row / 2, true);
    }
    Type("L");
    EXPECT_EQ(app.mDemoJumpTarget, 900);
    EXPECT_EQ(app.mUpdateCount, count);
    EXPECT_TRUE(heard.empty());

    // Closed without a choice: no jump.
    app.mDemoJumpTarget = 0;
    PostKey(VK_ESCAPE);
    EXPECT_EQ(app.ShowMarkerList(), Kavo::PlaybackDialog::RESULT_CANCEL);
    EXPECT_EQ(app.mDemoJumpTarget, 0);

    // The replay goes on as recorded.
    Type("0");
    for (int i = 0; i < 200 && app.mUpdateCount < kDemoLength; ++i)
        Steps(1);
    EXPECT_EQ(app.mUpdateCount, kDemoLength);
    app.mWidgetManager->RemoveWidget(&game);
}

TEST_F(PlaybackControls, TheJumpDialogTakesATimeBeforeTheEndInEachForm)
{
    const std::string key = "SOFTWARE\\VelquisTest\\Game";
    const int64_t demoRead = app.mDemo.mBuffer.GetReadBitPos();
    const std::vector<std::pair<std::string, int>> cases = {
        {"2", kDemoLength - 300},
        {"0:2", kDemoLength - 300},
        {"0:0:2", kDemoLength - 300},
        {"90", kDemoLength - 9100},
        {"1:30", kDemoLength - 9100},
        {"0:1:30", kDemoLength - 9100},
        {"abc", kDemoLength - 100},           // not a number: 0 seconds
        {"99999999999999999999:99", INT_MIN}, // held in range, no jump
    };
    for (const auto& [typed, target] : cases)
    {
        app.mDemoJumpTarget = 0;
        PostText(typed); // replaces the stored text, which starts selected
        PostKey(VK_RETURN);
        Type("j");
        EXPECT_EQ(app.mDemoJumpTarget, target) << typed;
        uint32_t type = 0;
        std::string stored;
        ASSERT_TRUE(app.GetRegistryStore()->QueryValue(key, "DemoJumpTime", type, stored));
        EXPECT_EQ(type, kRegString);
        EXPECT_EQ(stored, typed + '\0');
    }

    // The next time starts with the stored text; "Ok" takes it as it is, "Cancel" and Escape
    // take nothing.
    app.mDemoJumpTarget = 0;
    PostText("1:30");
    PostKey(VK_RETURN);
    Type("J");
    Kavo::JumpToTimeDialog probe("");
    app.mDemoJumpTarget = 0;
    for (Kavo::Widget* child : probe.mChildren)
    {
        Kavo::ButtonWidget* button = dynamic_cast<Kavo::ButtonWidget*>(child);
        if (!button) continue;
        Point p = CentreOf(button, probe);
        PostClick(p.mX, p.mY);
        int result = app.ShowJumpToTime();
        if (button->mLabel == "Ok")
        {
            EXPECT_EQ(result, Kavo::PlaybackDialog::RESULT_OK);
            EXPECT_EQ(app.mDemoJumpTarget, kDemoLength - 9100);
        }
        else
        {
            EXPECT_EQ(button->mLabel, "Cancel");
            EXPECT_EQ(result, Kavo::PlaybackDialog::RESULT_CANCEL);
        }
        app.mDemoJumpTarget = 0;
    }
    PostText("5");
    PostKey(VK_ESCAPE);
    EXPECT_EQ(app.ShowJumpToTime(), Kavo::PlaybackDialog::RESULT_CANCEL);
    EXPECT_EQ(app.mDemoJumpTarget, 0);

    // None of it touched the demo's records.
    EXPECT_EQ(app.mDemo.mBuffer.GetReadBitPos(), demoRead);
}

// The playback dialogs and each of their controls say whether they cover their rectangles as
// they draw: drawn alone over a black and over a white screen, one that says so draws the same
// pixels over both, one that says not lets the screen show.
TEST_F(PlaybackControls, TheDialogsAndTheirControlsAnswerAsTheyDraw)
{
    auto drawnOver = [](Kavo::Widget* widget, uint32_t argb)
    {
        Kavo::MemoryImage image;
        std::vector<uint32_t> fill(size_t(widget->mWidth) * size_t(widget->mHeight), argb);
        image.SetBits(fill.data(), widget->mWidth, widget->mHeight);
        Kavo::Graphics g(&image);
        Kavo::ModalFlags flags;
        widget->DrawAll(flags, &g);
        const uint32_t* bits = image.GetBits();
        return std::vector<uint32_t>(bits, bits + fill.size());
    };
    int opaque = 0;
    std::function<void(Kavo::Widget*)> check = [&](Kavo::Widget* widget)
    {
        const bool covers = drawnOver(widget, 0xFF000000) == drawnOver(widget, 0xFFFFFFFF);
        EXPECT_EQ(widget->IsOpaque(), covers)
            << typeid(*widget).name() << " " << widget->mWidth << " x " << widget->mHeight;
        opaque += widget->IsOpaque() ? 1 : 0;
        for (Kavo::Widget* child : widget->mChildren)
            check(child);
    };
    Kavo::JumpToTimeDialog jump("1:30");
    check(&jump);
    EXPECT_FALSE(jump.IsOpaque()) << "its shadow";
    EXPECT_EQ(opaque, 3) << "the field and the two buttons";
    opaque = 0;
    Kavo::MarkerListDialog markers(app.GetMarkerListLines(), app.mWidth);
    check(&markers);
    EXPECT_EQ(opaque, 4) << "the list, the scroll bar and its two arrows";
}

} // namespace
