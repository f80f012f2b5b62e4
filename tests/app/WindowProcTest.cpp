#include "AppTestSupport.h"

#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/Graphics.h"
#include "platform/display/DisplaySetup.h"
#include "platform/display/Screen.h"
#include "platform/files/Files.h"
#include "widgets/Dialog.h"

#include "platform/system/Instance.h"

#include <cctype>
#include <cstdlib>
#include <random>

namespace
{

using apptest::RecordingWidget;
using apptest::TestApp;
using namespace platform;

Message Msg(uint32_t message, uint64_t wParam = 0, WindowId window = kMainWindow)
{
    Message m;
    m.window = window;
    m.message = message;
    m.wParam = wParam;
    return m;
}

std::vector<uint32_t> Queued(const TestApp& app)
{
    std::vector<uint32_t> messages;
    for (const Kavo::DeferredMessage& d : app.mDeferredMessages)
        messages.push_back(d.message);
    return messages;
}

TEST(WindowProc, WhatIsQueuedAndWhatIsDropped)
{
    TestApp app;
    app.mHWnd = kMainWindow;
    app.mInvisHWnd = kInvisibleWindow;
    for (uint32_t m : {WM_TIMER, WM_TIMER, WM_KEYDOWN, WM_TIMER, WM_SYSCOLORCHANGE, WM_DISPLAYCHANGE,
                       WM_TIMER, WM_PAINT, WM_CLOSE, WM_KEYDOWN, WM_TIMER})
        app.WindowProc(Msg(m, 'A'));
    EXPECT_EQ(Queued(app),
              (std::vector<uint32_t>{WM_TIMER, WM_KEYDOWN, WM_TIMER, WM_SYSCOLORCHANGE, WM_TIMER, WM_CLOSE}));
}

// Alt+F4 closes the window; any other Alt key only reaches the widgets, queued like a key.
TEST(WindowProc, AltF4ClosesAndOtherAltKeysOnlyReachTheWidgets)
{
    TestApp app;
    app.mHWnd = kMainWindow;
    Message drained;
    while (PeekMessage(drained))
    {
    }
    app.WindowProc(Msg(WM_SYSKEYDOWN, VK_MENU));
    app.WindowProc(Msg(WM_SYSKEYDOWN, 'X'));
    Message posted;
    EXPECT_FALSE(PeekMessage(posted));
    EXPECT_TRUE(app.mAltDown);
    EXPECT_EQ(Queued(app), (std::vector<uint32_t>{WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
    app.WindowProc(Msg(WM_SYSKEYDOWN, VK_F4));
    ASSERT_TRUE(PeekMessage(posted));
    EXPECT_EQ(posted.message, WM_CLOSE);
    EXPECT_EQ(posted.window, kMainWindow);
    EXPECT_FALSE(PeekMessage(posted));
}

// Characters typed with Alt held are not typed into the widget that has the keyboard, neither
// those the application uses (Alt+R) nor any other, while their keys still reach it; let go of
// Alt, the same characters are typed.
TEST(WindowProc, CharactersTypedWithAltHeldAreNotTyped)
{
    namespace syn = platform::synthetic;
    FakeClock clock;
    TestApp app;
    app.Initialize();
    std::vector<std::string> log;
    RecordingWidget widget(&app, &log);
    widget.Resize(0, 0, 320, 240);
    app.mWidgetManager->AddWidget(&widget);
    app.mWidgetManager->SetFocus(&widget);
    auto typed = [&](bool alt)
    {
        log.clear();
        if (alt) syn::Key(true, "Left Alt");
        for (const char* key : {"X", "R"})
        {
            syn::Key(true, key);
            syn::Text(std::string(1, char(std::tolower(key[0]))));
            syn::Key(false, key);
        }
        if (alt) syn::Key(false, "Left Alt");
        app.RunUpdates(2);
        std::vector<std::string> seen;
        for (const std::string& line : log)
            if (line.find(" char ") != std::string::npos || line.find(" keydown ") != std::string::npos)
                seen.push_back(line.substr(line.find(' ') + 1));
        return seen;
    };
    EXPECT_EQ(typed(false), (std::vector<std::string>{"keydown 88", "char 120", "keydown 82", "char 114"}));
    EXPECT_EQ(typed(true), (std::vector<std::string>{"keydown 18", "keydown 88", "keydown 82"}));
    EXPECT_EQ(typed(false), (std::vector<std::string>{"keydown 88", "char 120", "keydown 82", "char 114"}));
    app.mWidgetManager->RemoveWidget(&widget);
}

// A desktop reached over the network is told by its display's name. There a full-screen frame
// reaches the window without a flip: it is copied there, so a flip that cannot be made does not
// stop it, where on a local desktop it loses the display.
TEST(Construction, ARemoteDesktopPresentsWithoutFlipping)
{
    const char* before = std::getenv("DISPLAY");
    std::string saved = before ? before : "";
    const std::pair<const char*, bool> displays[] = {
        {":0", false},
        {":99.0", false},
        {"unix:0", false},
        {"/tmp/.X11-unix/X0", false},
        {"localhost:10.0", true},
        {"builder.example:0", true},
        {"192.168.1.5:1.0", true},
        {"", false},
    };
    for (auto [display, remote] : displays)
        EXPECT_EQ(DisplayNameIsRemote(display), remote) << display;

    for (auto [display, remote] : {std::pair{":0", false}, std::pair{"builder.example:0", true}})
    {
        setenv("DISPLAY", display, 1);
        FakeClock clock;
        TestApp app;
        app.RegistryWriteBoolean("Is3D", false); // the software road, where a frame can be flipped
        app.mIsWindowed = false;
        app.Initialize();
        Kavo::DDInterface* screen = app.mDDInterface;
        ASSERT_FALSE(screen->mIs3D) << display;
        ASSERT_TRUE(platform::MainWindowIsFullscreen()) << display;
        // The colour fills the screen image, is presented, and the middle of the window shows it.
        auto present = [&](const Kavo::Color& colour)
        {
            Kavo::Graphics g(screen->GetScreenImage());
            g.SetColor(colour);
            g.FillRect(0, 0, app.mWidth, app.mHeight);
            return screen->Redraw();
        };
        auto middle = [&]
        {
            std::vector<uint32_t> shown;
            int w = 0, h = 0;
            EXPECT_TRUE(platform::ReadShownScreen(shown, w, h)) << display;
            return shown.empty() ? 0u : shown[size_t(h / 2) * size_t(w) + size_t(w / 2)];
        };
        // Scaled to the desktop, a channel may come out one step lower.
        auto near = [](uint32_t shown, uint32_t colour)
        {
            for (int shift : {0, 8, 16})
                if (std::abs(int((shown >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) > 1) return false;
            return true;
        };
        ASSERT_TRUE(present(Kavo::Color(0, 0, 248))) << display;
        EXPECT_TRUE(near(middle(), 0x0000F8)) << display << " " << std::hex << middle();
        platform::GetDisplaySetup().faults.flip = true;
        EXPECT_EQ(present(Kavo::Color(248, 0, 0)), remote) << display;
        if (remote)
        {
            EXPECT_TRUE(near(middle(), 0xF80000)) << display << " " << std::hex << middle();
        }
        platform::ResetDisplaySetup();
    }
    if (before)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

// Alt+Return switches once a press. The switch replaces the window, and the key-up can go
// astray with the old one: the key's repeat then comes as if pressed anew, and must not switch
// back and forth; a press after the key is let go switches again. The repeats belong to the
// press: none reaches the widgets (a dialog would take them for Return, its OK).
TEST(WindowProc, AltReturnSwitchesOnceAPress)
{
    namespace syn = platform::synthetic;
    FakeClock clock;
    TestApp app;
    app.Initialize();
    ASSERT_TRUE(app.mIsWindowed);
    std::vector<std::string> log;
    RecordingWidget widget(&app, &log);
    widget.Resize(0, 0, 320, 240);
    app.mWidgetManager->AddWidget(&widget);
    app.mWidgetManager->SetFocus(&widget);
    auto pump = [&]
    {
        for (int i = 0; i < 30; ++i)
            app.UpdateAppStep(nullptr);
    };
    syn::Key(true, "Left Alt");
    syn::Key(true, "Return");
    pump();
    EXPECT_FALSE(app.mIsWindowed);
    for (int i = 0; i < 3; ++i)
    {
        syn::Key(true, "Return", i > 0);
        pump();
        EXPECT_FALSE(app.mIsWindowed) << i;
    }
    syn::Key(false, "Return");
    syn::Key(true, "Return");
    pump();
    EXPECT_TRUE(app.mIsWindowed);
    syn::Key(false, "Return");
    syn::Key(false, "Left Alt");
    pump();
    for (const std::string& entry : log)
        EXPECT_EQ(entry.find("keydown 13"), std::string::npos) << entry;
    app.mWidgetManager->RemoveWidget(&widget);
}

TEST(WindowProc, MinimisingMutesUntilRestoredAndThePlayersMuteStays)
{
    FakeClock clock;
    TestApp app;
    app.Initialize();
    app.Mute(false); // the player's own
    app.WindowProc(Msg(WM_SIZE, SIZE_MINIMIZED));
    app.RunUpdates(1);
    EXPECT_TRUE(app.mMinimized);
    EXPECT_EQ(app.mMuteCount, 3); // minimised, and with that the focus lost
    EXPECT_EQ(app.mAutoMuteCount, 2);
    EXPECT_FALSE(app.mHasFocus);
    app.WindowProc(Msg(WM_SIZE, SIZE_RESTORED));
    app.RunUpdates(1);
    EXPECT_FALSE(app.mMinimized);
    EXPECT_EQ(app.mMuteCount, 1);
    EXPECT_EQ(app.mAutoMuteCount, 0);
    EXPECT_TRUE(app.IsMuted());
    app.Unmute(false);
    app.Unmute(false); // below zero nothing changes
    EXPECT_EQ(app.mMuteCount, 0);
    EXPECT_FALSE(app.IsMuted());
}

TEST(WindowProc, CtrlAltDTurnsOnTheDebugKeys)
{
    FakeClock clock;
    TestApp app;
    app.Initialize();
    std::vector<std::string> log;
    RecordingWidget widget(&app, &log);
    widget.Resize(0, 0, 320, 240);
    app.mWidgetManager->AddWidget(&widget);
    app.mWidgetManager->SetFocus(&widget);
    for (uint64_t key : {uint64_t(VK_CONTROL), uint64_t(VK_MENU)})
        app.WindowProc(Msg(WM_KEYDOWN, key));
    app.WindowProc(Msg(WM_KEYDOWN, 'D'));
    app.WindowProc(Msg(WM_KEYDOWN, VK_F3));
    app.RunUpdates(1);
    EXPECT_TRUE(app.mDebugKeysEnabled);
    EXPECT_TRUE(app.mShowFPS);                                          // F3 went to the debug keys...
    EXPECT_EQ(std::count(log.begin(), log.end(), "u0 keydown 114"), 0); // ...not to the widget
    EXPECT_EQ(std::count(log.begin(), log.end(), "u0 keydown 68"), 1);
    app.mWidgetManager->RemoveWidget(&widget);
}

TEST(WindowProc, ASecondStartWakesTheFirstAndEndsWithCodeZero)
{
    // The first run may itself allow other copies (a screensaver run): it still holds the guard.
    for (bool firstAllowsOneCopy : {true, false})
    {
        FakeClock clock;
        std::string product = "InstanceTest" + std::to_string(std::random_device()());
        TestApp first;
        first.mProductName = product;
        first.mOnlyAllowOneCopyToRun = firstAllowsOneCopy;
        first.Initialize();

        TestApp second;
        second.mProductName = product;
        second.mOnlyAllowOneCopyToRun = true;
        second.mHWnd = kNoWindow;
        EXPECT_EQ(apptest::ExitCodeOf([&] { second.Initialize(); }), 0); // it did not start
        EXPECT_EQ(second.mHWnd, kNoWindow);                              // no window was made
        EXPECT_TRUE(first.mInstanceGuard->PollNotification());

        // A copy that allows others starts beside it.
        TestApp third;
        third.mProductName = product;
        third.Initialize();
        EXPECT_TRUE(third.mInitialized);
        platform::RemoveFile(first.mInstanceGuard->LockPath());
    }
}

TEST(Dialogs, KeptByIdPlacedAndMappedToButtons)
{
    FakeClock clock;
    struct Buttons : TestApp
    {
        std::vector<int> pressed;
        void ButtonPress(int id) override { pressed.push_back(id); }
        void ButtonDepress(int id) override { pressed.push_back(-id); }
    } app;
    app.mWidth = 800;
    app.mHeight = 600;
    app.Initialize();

    Kavo::Dialog* first = app.DoDialog(104, false, "Header", "Lines", "", 2);
    Kavo::Dialog* second = app.DoDialog(104, true, "Header", "Lines", "", 2);
    EXPECT_NE(first, second);
    EXPECT_EQ(app.GetDialogCount(), 1);
    EXPECT_EQ(app.GetDialog(104), second);
    EXPECT_EQ(second->mWidth, 400);
    EXPECT_EQ(second->mX, 200);
    EXPECT_EQ(second->mY, 120);
    EXPECT_EQ(app.mWidgetManager->mBaseModalWidget, second);

    app.DialogButtonPress(104, 1000);
    app.DialogButtonPress(104, 1001);
    app.DialogButtonPress(104, 1002);
    app.DialogButtonDepress(7, 1001);
    EXPECT_EQ(app.pressed, (std::vector<int>{2104, 3104, -3007}));

    EXPECT_FALSE(app.KillDialog(99));
    EXPECT_TRUE(app.KillDialog(104));
    EXPECT_EQ(app.GetDialogCount(), 0);
    EXPECT_EQ(app.mWidgetManager->mBaseModalWidget, nullptr);
    app.ProcessSafeDeleteList();
}

TEST(SmallServices, CrashInfoTextStringsAndSharedImages)
{
    FakeClock clock;
    TestApp app;
    app.mPrimaryThreadId = 0x1A2B;
    clock.Advance(3725 * 1000);
    EXPECT_EQ(app.GetCrashInfoText(), "Product: TestProduct\r\nVersion: 1.01\r\nTime Loaded: 01:02:05\r\n"
                                      "Fullscreen: No\r\nPrimary ThreadId: 1A2B\r\n");
    EXPECT_EQ(app.GetString("NEVER_STORED", "Default text"), "Default text");
    EXPECT_EQ(app.GetString("DIALOG_BUTTON_CANCEL", "x"), "CANCEL");
    app.SetString("PRICE", L"5 \u20AC \u00E9 \u4E2D");
    EXPECT_EQ(app.GetString("PRICE", "x"), "5 \x80 \xE9 ?"); // as Windows-1252

    bool isNew = false;
    {
        Kavo::SharedImageHandle a = app.GetSharedImage("!Glow", "Big", &isNew);
        EXPECT_TRUE(isNew);
        Kavo::SharedImageHandle b = app.GetSharedImage("!GLOW", "big", &isNew);
        EXPECT_FALSE(isNew);
        EXPECT_EQ(a.GetImage(), b.GetImage());
        EXPECT_NE(a.GetImage(), nullptr);
    }
    EXPECT_EQ(app.mSharedImageMap.size(), 1u); // kept until the next update's clean-up
    app.CleanSharedImages();
    EXPECT_TRUE(app.mSharedImageMap.empty());
}

TEST(SmallServices, HardwareAccelerationQuestionsAtTheEnd)
{
    struct Case
    {
        bool switched, on, failed;
        int answer;
        std::vector<std::string> asked; // the first words of each question
        int stored;                     // "Is3D" afterwards; -1 not written
    };
    const std::vector<Case> cases = {
        {false, false, false, IDYES, {}, -1},
        {true, true, false, IDNO, {"Hardware Acceleration was switched on"}, -1},
        {true, true, false, IDYES, {"Hardware Acceleration was switched on"}, 1},
        {true, false, false, IDYES, {}, -1},
        {false, true, true, IDNO, {"Hardware Acceleration may not have been"}, 0},
    };
    // A display whose 3D device cannot be made: the 3D test fails and never recommends 3D.
    platform::GetDisplaySetup().faults.createDevice = true;
    for (const Case& c : cases)
    {
        std::vector<std::string> boxes;
        platform::RegistryStore store;
        {
            FakeClock clock;
            TestApp* app = new TestApp;
            app->SetRegistryStore(&store);
            app->mBoxTitlePrefix = "Game";
            app->Initialize();
            app->mBoxAnswer = c.answer;
            app->mBoxLog = &boxes;
            app->m3DSwitchedThisRun = c.switched;
            app->mDDInterface->mIs3D = c.on;
            app->mDDInterface->m3DFailedThisRun = c.failed;
            delete app; // the questions are asked here
        }
        ASSERT_EQ(boxes.size(), c.asked.size());
        for (size_t i = 0; i < boxes.size(); ++i)
        {
            EXPECT_EQ(boxes[i].rfind("Game Hardware Acceleration Confirmation: " + c.asked[i], 0), 0u)
                << boxes[i];
        }
        uint32_t type = 0;
        std::string data;
        bool written = store.QueryValue("SOFTWARE\\VelquisTest\\Game", "Is3D", type, data);
        EXPECT_EQ(written ? int(uint8_t(data[0])) : -1, c.stored);
    }
    platform::ResetDisplaySetup();
}

} // namespace

namespace
{

TEST(SmallServices, ImagesFromFiles)
{
    // A 2 x 1 true-colour picture, top row first: red, then half-transparent blue.
    const unsigned char tga[] = {0, 0, 2, 0,  0,    0, 0, 0,   0,   0,   0, 0, 2,
                                 0, 1, 0, 32, 0x28, 0, 0, 255, 255, 255, 0, 0, 128};
    ASSERT_TRUE(platform::WriteFileAtomically("two-pixels.tga",
                                              std::string(reinterpret_cast<const char*>(tga), sizeof tga)));
    TestApp app;
    std::unique_ptr<Kavo::DDImage> image(app.GetImage("two-pixels", true));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 2);
    EXPECT_EQ(image->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image->GetPixel(1, 0), 0x800000FFu);
    EXPECT_EQ(app.GetImage("no-such-picture", true), nullptr);
    platform::RemoveFile("two-pixels.tga");
}

} // namespace
