#include "platform/window/Messages.h"
#include "platform/display/Screen.h"
#include "platform/system/FakeClock.h"
#include "platform/window/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

using namespace platform;
namespace syn = platform::synthetic;

struct Expected
{
    uint32_t message;
    uint64_t wParam;
};

class MessagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(InitVideo(error)) << error;
        WindowOptions options;
        options.title = "Test";
        options.clientWidth = 320;
        options.clientHeight = 240;
        ASSERT_TRUE(CreateMainWindow(options, error)) << error;
        Drain();
    }
    void TearDown() override { ShutdownVideo(); }

    std::vector<Message> Drain()
    {
        std::vector<Message> all;
        Message m;
        while (PeekMessage(m))
            if (m.message != WM_PAINT && m.message != WM_ACTIVATEAPP) all.push_back(m);
        return all;
    }
};

TEST_F(MessagesTest, DesktopEventsBecomeNumberedMessages)
{
    struct Case
    {
        const char* what;
        std::function<void()> send;
        std::vector<Expected> expected;
    };
    const std::vector<Case> cases = {
        {"letter", [] { syn::Key(true, "A"); }, {{WM_KEYDOWN, 'A'}}},
        {"digit up", [] { syn::Key(false, "7"); }, {{WM_KEYUP, '7'}}},
        {"arrow", [] { syn::Key(true, "Left"); }, {{WM_KEYDOWN, VK_LEFT}}},
        {"F11", [] { syn::Key(true, "F11"); }, {{WM_KEYDOWN, VK_F11}}},
        {"keypad", [] { syn::Key(true, "Keypad 7"); }, {{WM_KEYDOWN, VK_NUMPAD0 + 7}}},
        {"shift", [] { syn::Key(true, "Right Shift"); }, {{WM_KEYDOWN, VK_SHIFT}}},
        {"enter types a character",
         [] { syn::Key(true, "Return"); },
         {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}}},
        {"backspace", [] { syn::Key(true, "Backspace"); }, {{WM_KEYDOWN, VK_BACK}, {WM_CHAR, 8}}},
        {"ctrl+c",
         []
         {
             syn::Key(true, "Left Ctrl");
             syn::Key(true, "C");
             syn::Key(false, "C");
             syn::Key(false, "Left Ctrl");
         },
         {{WM_KEYDOWN, VK_CONTROL},
          {WM_KEYDOWN, 'C'},
          {WM_CHAR, 3},
          {WM_KEYUP, 'C'},
          {WM_KEYUP, VK_CONTROL}}},
        {"alt keys are system keys",
         []
         {
             syn::Key(true, "Left Alt");
             syn::Key(true, "F4");
             syn::Key(false, "F4");
             syn::Key(false, "Left Alt");
         },
         {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, VK_F4}, {WM_SYSKEYUP, VK_F4}, {WM_SYSKEYUP, VK_MENU}}},
        {"F10 is a system key", [] { syn::Key(true, "F10"); }, {{WM_SYSKEYDOWN, VK_F10}}},
        {"text in 8 bits",
         [] { syn::Text("a\u00E9\u20AC\u4E2D"); },
         {{WM_CHAR, 'a'}, {WM_CHAR, 0xE9}, {WM_CHAR, 0x80}, {WM_CHAR, '?'}}},
        {"move", [] { syn::MouseMove(10, 20); }, {{WM_MOUSEMOVE, 0}}},
        {"clicks",
         []
         {
             syn::MouseButton(1, true, 1, 5, 6);
             syn::MouseButton(1, false, 1, 5, 6);
             syn::MouseButton(1, true, 2, 5, 6);
             syn::MouseButton(1, true, 3, 5, 6);
             syn::MouseButton(3, true, 2, 5, 6);
             syn::MouseButton(3, false, 2, 5, 6);
             syn::MouseButton(2, true, 1, 5, 6);
             syn::MouseButton(2, false, 1, 5, 6);
             syn::MouseButton(2, true, 2, 5, 6); // a second middle press is a press again
         },
         {{WM_LBUTTONDOWN, 0},
          {WM_LBUTTONUP, 0},
          {WM_LBUTTONDBLCLK, 0},
          {WM_LBUTTONDOWN, 0},
          {WM_RBUTTONDBLCLK, 0},
          {WM_RBUTTONUP, 0},
          {WM_MBUTTONDOWN, 0},
          {WM_MBUTTONUP, 0},
          {WM_MBUTTONDOWN, 0}}},
        {"wheel", [] { syn::Wheel(-2); }, {{WM_MOUSEWHEEL, uint64_t(uint16_t(-240)) << 16}}},
        {"minimise and restore",
         []
         {
             syn::Window(syn::WindowEvent::Minimized);
             syn::Window(syn::WindowEvent::Restored);
             syn::Window(syn::WindowEvent::Maximized);
         },
         {{WM_SIZE, SIZE_MINIMIZED}, {WM_SIZE, SIZE_RESTORED}, {WM_SIZE, SIZE_MAXIMIZED}}},
        {"move window", [] { syn::Window(syn::WindowEvent::Moved, 30, 40); }, {{WM_MOVE, 0}}},
        {"close button", [] { syn::Window(syn::WindowEvent::Close); }, {{WM_CLOSE, 0}}},
        {"SIGTERM", [] { syn::Window(syn::WindowEvent::Quit); }, {{WM_CLOSE, 0}}},
    };
    for (const Case& c : cases)
    {
        c.send();
        std::vector<Message> got = Drain();
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i)
        {
            EXPECT_EQ(got[i].message, c.expected[i].message) << c.what << " #" << i;
            // Mouse messages carry button and key flags in the low bits.
            bool mouse = got[i].message >= WM_MOUSEMOVE && got[i].message <= WM_MOUSEWHEEL;
            uint64_t wParam = mouse ? got[i].wParam & ~uint64_t(0x1F) : got[i].wParam;
            EXPECT_EQ(wParam, c.expected[i].wParam) << c.what << " #" << i;
            EXPECT_EQ(got[i].window, kMainWindow) << c.what;
        }
    }
}

TEST_F(MessagesTest, MousePositionsAndActivation)
{
    syn::MouseButton(1, true, 1, 123, 45);
    syn::Window(syn::WindowEvent::FocusLost);
    syn::Window(syn::WindowEvent::FocusGained);
    Message m;
    ASSERT_TRUE(PeekMessage(m));
    EXPECT_EQ(m.message, WM_LBUTTONDOWN);
    EXPECT_EQ(LowWord(m.lParam), 123);
    EXPECT_EQ(HighWord(m.lParam), 45);
    int x = 0, y = 0;
    LastMousePosition(x, y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    ASSERT_TRUE(PeekMessage(m));
    EXPECT_EQ(m.message, WM_ACTIVATEAPP);
    EXPECT_EQ(m.wParam, 0u);
    ASSERT_TRUE(PeekMessage(m));
    EXPECT_EQ(m.message, WM_ACTIVATEAPP);
    EXPECT_EQ(m.wParam, 1u);
}

// The dummy desktop is 1024 x 768; game screens of other sizes stand for desktops smaller than,
// equal to and larger than the game. Full screen scales the screen to the desktop with bars
// (1280 x 1024 shows at 0.75 from x = 32); a window shows it unscaled. Both roads map alike: the
// renderer's logical size, and the window's surface without a renderer.
TEST(MouseMapping, ClicksAtCornersAndCentreLandOnTheGameScreen)
{
    struct Case
    {
        int width, height;
        bool fullscreen;
        int desktopX, desktopY; // where the player clicks, in window pixels
        int gameX, gameY;
    };
    const Case cases[] = {
        {800, 600, true, 0, 0, 0, 0},
        {800, 600, true, 512, 384, 400, 300},
        {800, 600, true, 1023, 767, 799, 599},
        {1024, 768, true, 0, 0, 0, 0},
        {1024, 768, true, 512, 384, 512, 384},
        {1024, 768, true, 1023, 767, 1023, 767},
        {1280, 1024, true, 32, 0, 0, 0},
        {1280, 1024, true, 512, 384, 640, 512},
        {1280, 1024, true, 991, 767, 1278, 1022},
        {1280, 1024, true, 0, 0, 0, 0},            // over the left bar: the screen's edge
        {1280, 1024, true, 1023, 767, 1279, 1022}, // over the right bar
        {800, 600, false, 0, 0, 0, 0},
        {800, 600, false, 400, 300, 400, 300},
        {800, 600, false, 799, 599, 799, 599},
        {1280, 1024, false, 1279, 1023, 1279, 1023},
    };
    std::string error;
    ASSERT_TRUE(InitVideo(error)) << error;
    for (ScreenRoad road : {ScreenRoad::Renderer, ScreenRoad::WindowSurface})
        for (const Case& c : cases)
        {
            WindowOptions options;
            options.clientWidth = c.width;
            options.clientHeight = c.height;
            options.fullscreen = c.fullscreen;
            ASSERT_TRUE(CreateMainWindow(options, error)) << error;
            ShowMainWindow(true);
            ASSERT_TRUE(OpenScreen(road, false, error)) << error;
            // The screen's size is the renderer's from its first showing on.
            std::vector<uint32_t> black(size_t(c.width) * size_t(c.height), 0xFF000000u);
            ASSERT_TRUE(PresentScreen(black.data(), c.width, c.height, c.width * 4));
            Message m;
            while (PeekMessage(m))
            {
            }
            syn::MouseButton(1, true, 1, c.desktopX, c.desktopY);
            syn::MouseMove(c.desktopX, c.desktopY);
            std::vector<Message> mouse;
            while (PeekMessage(m))
                if (m.message == WM_LBUTTONDOWN || m.message == WM_MOUSEMOVE) mouse.push_back(m);
            std::string what =
                std::to_string(c.width) + (c.fullscreen ? " full screen at " : " windowed at ") +
                std::to_string(c.desktopX) + "," + std::to_string(c.desktopY) +
                (road == ScreenRoad::Renderer ? " through the renderer" : " on the window's surface");
            ASSERT_EQ(mouse.size(), 2u) << what;
            for (const Message& got : mouse)
            {
                EXPECT_EQ(LowWord(got.lParam), c.gameX) << what;
                EXPECT_EQ(HighWord(got.lParam), c.gameY) << what;
            }
            int x = 0, y = 0;
            LastMousePosition(x, y);
            EXPECT_EQ(x, c.gameX) << what;
            EXPECT_EQ(y, c.gameY) << what;
        }
    ShutdownVideo();
}

TEST_F(MessagesTest, PostedMessagesTimersAndRegisteredNumbers)
{
    FakeClock clock;
    uint32_t notify = RegisterWindowMessage("ProductNotify");
    EXPECT_GE(notify, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("productnotify"), notify);
    EXPECT_NE(RegisterWindowMessage("OtherNotify"), notify);

    SetTimer(kMainWindow, 100, 10);
    Message m;
    EXPECT_FALSE(PeekMessage(m)); // not due yet
    PostMessage(kInvisibleWindow, notify, 0, 0);
    clock.Advance(25);
    ASSERT_TRUE(PeekMessage(m)); // posted messages come before a due timer
    EXPECT_EQ(m.window, kInvisibleWindow);
    EXPECT_EQ(m.message, notify);
    ASSERT_TRUE(PeekMessage(m));
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(m.wParam, 100u);
    EXPECT_FALSE(PeekMessage(m)); // one waiting timer, however late
    clock.Advance(10);
    EXPECT_TRUE(PeekMessage(m));
    KillTimer(kMainWindow, 100);
    clock.Advance(100);
    EXPECT_FALSE(PeekMessage(m));
}

TEST(MessageBox, AnswererAndHeadlessFallback)
{
    std::vector<std::string> seen;
    SetMessageBoxAnswerer(
        [&](const std::string& text, const std::string& title, unsigned flags)
        {
            seen.push_back(title + "|" + text);
            return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
        });
    EXPECT_EQ(MessageBox("Keep it?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(seen, std::vector<std::string>{"Question|Keep it?"});
    SetMessageBoxAnswerer({});
    // No display: the box goes to stderr and the first button answers.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Bad \x93thing\x94", "FATAL ERROR", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "FATAL ERROR: Bad \u201Cthing\u201D\n");
}

} // namespace
