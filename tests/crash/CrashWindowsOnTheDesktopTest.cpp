// The crash windows on a real desktop: ctest runs these only under a virtual X display (with and
// without a window manager, tests/crash/CMakeLists.txt), where a skip fails the run; started by
// hand without a desktop they are skipped.
// Keys go through the desktop's test extension to whichever window has the keyboard, as the
// player's own would.
#include "../ScratchNames.h"
#include "LoopbackServer.h"
#include "crash/CrashHandler.h"
#include "crash/CrashWindows.h"
#include "crash/DesktopCrashWindowHost.h"
#include "crash/HTTPTransfer.h"
#include "platform/files/Files.h"
#include "platform/window/DesktopProbe.h"
#include "platform/window/Messages.h"
#include "platform/window/PrivateDesktop.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>

using crashtest::LoopbackServer;
using Kavo::CrashHandler;
using platform::DesktopProbe;
using namespace platform;

namespace
{

constexpr uint32_t kWaitMs = 15000;
// The game's own report takes longer (its stack names are read from its symbols), the more so
// in the sanitizer build on a busy machine.
constexpr uint32_t kGameWaitMs = 90000;

const LoopbackServer::Script kAccepts = {
    LoopbackServer::ReadRequest(), LoopbackServer::Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
    LoopbackServer::Close()};
const LoopbackServer::Script kFails = {LoopbackServer::ReadRequest(),
                                       LoopbackServer::Send("HTTP/1.1 500 Oops\r\n\r\n"),
                                       LoopbackServer::Close()};

class CrashWindowsOnTheDesktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateDesktop::Available())
            GTEST_SKIP() << "no desktop: these run through tests/crash/on-virtual-desktop.sh";
        // A display just started may refuse the first connects.
        bool connected = probe.Connect();
        for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             !connected && std::chrono::steady_clock::now() < deadline;)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            connected = probe.Connect();
        }
        ASSERT_TRUE(connected) << "the desktop " << std::getenv("DISPLAY") << " refused every connect";
        ASSERT_TRUE(probe.HasTestExtension());
        probe.ScreenSize(screenWidth, screenHeight);
        Kavo::gHTTPTransfer.Reset();
        CrashHandler::UserText.clear();
        CrashHandler::AttachFile = false;
        CrashHandler::DotCount = 0;
        CrashHandler::ReportText.clear();
        for (int i = 0; i < 80; ++i)
            CrashHandler::ReportText += "Report line " + std::to_string(i) + " with some words in it\r\n";
    }
    void TearDown() override
    {
        // Windows a failed test left open end with the next wait.
        if (run.valid() && run.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            CrashHandler::WindowsDone = true;
        CrashHandler::ServerHost.clear();
    }

    // The windows run on a thread of their own, as on the crash watcher.
    void Start(LoopbackServer* server)
    {
        CrashHandler::ServerHost = server ? server->Address() : "";
        run =
            std::async(std::launch::async,
                       [this, server]
                       {
                           Kavo::DesktopCrashWindowHost host;
                           Kavo::CrashWindows windows(host, Kavo::gHTTPTransfer, &CrashHandler::SubmitReport);
                           windows.Run(CrashHandler::ReportText, server != nullptr, true);
                       });
    }
    bool Finished() { return run.wait_for(std::chrono::milliseconds(kWaitMs)) == std::future_status::ready; }

    // The window of that title opens inside the screen; returns it.
    DesktopProbe::Shown Opens(const std::string& title, uint32_t waitMs = kWaitMs)
    {
        DesktopProbe::Shown shown;
        EXPECT_TRUE(probe.WaitForWindow(title, shown, waitMs)) << title;
        EXPECT_GE(shown.x, 0) << title;
        EXPECT_GE(shown.y, 0) << title;
        EXPECT_LE(shown.x + shown.width, screenWidth) << title;
        EXPECT_LE(shown.y + shown.height, screenHeight) << title;
        // The keyboard reaches it once it is there.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        // scripts/crash-screenshots.sh asks for a picture of the screen at each window.
        if (const char* folder = std::getenv("KAVO_CRASH_SCREENSHOTS"))
        {
            std::string name;
            for (char c : scratch::TestName() + "-" + title)
                name.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '-');
            std::string command = "mkdir -p '" + std::string(folder) + "' && import -window root '" +
                                  std::string(folder) + "/" + std::to_string(++shots) + "-" + name + ".png'";
            EXPECT_EQ(std::system(command.c_str()), 0);
        }
        return shown;
    }

    DesktopProbe probe;
    int screenWidth = 0, screenHeight = 0;
    std::future<void> run;
    static inline int shots = 0;
};

} // namespace

TEST_F(CrashWindowsOnTheDesktop, TheErrorWindowClosesWithEscapeReturnOrAClick)
{
    for (int way = 0; way < 3; ++way)
    {
        Start(nullptr);
        DesktopProbe::Shown error = Opens("Fatal Error!");
        EXPECT_EQ(error.width, 400);
        EXPECT_EQ(error.height, 300);
        if (way == 0) probe.PressKey(VK_ESCAPE);
        if (way == 1) probe.PressKey(VK_RETURN); // Close Now, the only button, has the keyboard
        if (way == 2) probe.Click(error.x + 200, error.y + 280);
        ASSERT_TRUE(Finished()) << way;
        EXPECT_TRUE(probe.WaitUntilGone("Fatal Error!", kWaitMs));
    }
}

// Send Report, a description of two lines, Continue; the server fails, Retry; it takes the
// report: the progress window closes by itself.
TEST_F(CrashWindowsOnTheDesktop, SendingGoesThroughEveryWindowFromTheKeyboard)
{
    LoopbackServer server({kFails, kAccepts});
    Start(&server);
    Opens("Fatal Error!");
    probe.PressKey(VK_RETURN); // Send Report
    Opens("Error Details");
    EXPECT_TRUE(probe.WaitUntilGone("Fatal Error!", kWaitMs));
    probe.Type("It broke");
    probe.PressKey(VK_RETURN);
    probe.Type("twice");
    probe.PressKey(VK_TAB);
    probe.PressKey(VK_RETURN); // Continue
    DesktopProbe::Shown retry = Opens("Connection Failed");
    probe.PressKey(VK_RETURN); // Retry
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(probe.WaitUntilGone("Submitting Report", kWaitMs));
    EXPECT_TRUE(probe.WaitUntilGone("Connection Failed", kWaitMs));
    EXPECT_EQ(CrashHandler::UserText, "It broke\r\ntwice");
    std::vector<std::string> received = server.Finish();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_NE(received[1].find("name=\"usertext\"\r\n\r\nIt broke\r\ntwice\r\n"), std::string::npos);
}

// While the server says nothing, the dots count the seconds; Escape or Return (on Abort, its
// one button) in the progress window stops the transfer, and the windows end without a retry box.
TEST_F(CrashWindowsOnTheDesktop, EscapeOrReturnAbortsTheUpload)
{
    for (int key : {VK_ESCAPE, VK_RETURN})
    {
        LoopbackServer server({{LoopbackServer::ReadRequest(), LoopbackServer::Hold()}});
        Kavo::gHTTPTransfer.Reset();
        int dots = CrashHandler::DotCount;
        Start(&server);
        Opens("Fatal Error!");
        probe.PressKey(VK_RETURN);
        Opens("Error Details");
        probe.PressKey(VK_RETURN, false, true); // Ctrl+Return: Continue from the text box
        Opens("Submitting Report");
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (CrashHandler::DotCount < dots + 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_GE(CrashHandler::DotCount, dots + 2);
        probe.PressKey(key);
        ASSERT_TRUE(Finished());
        EXPECT_EQ(Kavo::gHTTPTransfer.GetResult(), Kavo::HTTPTransfer::kAborted);
        EXPECT_TRUE(probe.WaitUntilGone("Submitting Report", kWaitMs));
        server.Release();
    }
}

TEST_F(CrashWindowsOnTheDesktop, EscapeInTheDetailsAndTheRetryBoxEndsTheWindows)
{
    {
        LoopbackServer server({});
        Start(&server);
        Opens("Fatal Error!");
        probe.PressKey(VK_RETURN);
        Opens("Error Details");
        probe.PressKey(VK_ESCAPE); // Abort
        ASSERT_TRUE(Finished());
        EXPECT_TRUE(probe.WaitUntilGone("Error Details", kWaitMs));
    }
    LoopbackServer failing({kFails});
    Start(&failing);
    Opens("Fatal Error!");
    probe.PressKey(VK_RETURN);
    Opens("Error Details");
    probe.PressKey(VK_TAB);
    probe.PressKey(VK_RETURN);
    Opens("Connection Failed");
    probe.PressKey(VK_ESCAPE); // Cancel
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(probe.WaitUntilGone("Connection Failed", kWaitMs));
    EXPECT_TRUE(probe.WaitUntilGone("Submitting Report", kWaitMs));
}

namespace
{

// The game itself, started as a script starts it (no terminal, stderr to a file) in a folder of
// its own; its pid and exit status are written there.
class GameOnTheDesktop : public CrashWindowsOnTheDesktop
{
protected:
    void Launch(const std::string& arguments)
    {
        // Each virtual desktop's run has its own (ctest runs several at once).
        std::string display = std::getenv("DISPLAY");
        for (char& c : display)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
        folder = std::string(KAVO_TEST_WORKDIR) + "/desktop" + display + "-" + scratch::TestName() + "/";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder + "runtime");
        std::filesystem::permissions(folder + "runtime", std::filesystem::perms::owner_all);
        const std::string game = KAVO_GAME_PROGRAM;
        std::string command = "cd '" + folder + "' && (env -u SDL_VIDEODRIVER XDG_DATA_HOME='" + folder +
                              "data' XDG_RUNTIME_DIR='" + folder +
                              "runtime' SDL_AUDIODRIVER=dummy LSAN_OPTIONS=suppressions='" + KAVO_SOURCE_DIR +
                              "/tests/third-party-leaks.supp' setsid -w '" + game + "' " + arguments +
                              " </dev/null >out.txt 2>err.txt & echo $! >pid.txt; wait $!; "
                              "echo $? >status.txt) >/dev/null 2>&1 &";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string Read(const std::string& name)
    {
        std::string text;
        platform::ReadFile(folder + name, text);
        return text;
    }
    // The exit status once the game has ended, "" when it did not within the wait.
    std::string Status()
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGameWaitMs);
        while (!platform::PathExists(folder + "status.txt") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Read("status.txt");
    }
    std::string folder;
};

} // namespace

// "-crash": the report's window comes although nothing but the desktop is there to show it.
TEST_F(GameOnTheDesktop, CrashOnPurposeShowsTheWindowAndEndsWithTheFault)
{
    for (int key : {VK_RETURN, VK_ESCAPE})
    {
        Launch("-crash");
        Opens("Fatal Error!", kGameWaitMs);
        probe.PressKey(key);
        EXPECT_EQ(Status(), std::to_string(128 + 11) + "\n") << Read("err.txt");
        EXPECT_TRUE(probe.WaitUntilGone("Fatal Error!", kWaitMs));
        EXPECT_EQ(Read("crash.txt").rfind("Exception: Access Violation", 0), 0u);
        EXPECT_EQ(Read("err.txt").find("Fatal Error!"), std::string::npos) << "the report went to stderr";
    }
}

// A fault while the game runs in full screen: its window goes, the crash window takes the
// keyboard.
TEST_F(GameOnTheDesktop, AFaultInPlayShowsTheWindowOverTheGame)
{
    for (int key : {VK_ESCAPE, VK_RETURN})
    {
        Launch("");
        DesktopProbe::Shown game;
        ASSERT_TRUE(probe.WaitForWindow("Orlavintide - 1.01", game, kGameWaitMs)) << Read("err.txt");
        std::this_thread::sleep_for(std::chrono::seconds(2));
        std::string pid = Read("pid.txt");
        ASSERT_FALSE(pid.empty());
        ASSERT_EQ(std::system(("kill -SEGV " + pid).c_str()), 0);
        Opens("Fatal Error!", kGameWaitMs);
        EXPECT_TRUE(probe.WaitUntilGone("Orlavintide - 1.01", kWaitMs));
        probe.PressKey(key);
        EXPECT_EQ(Status(), std::to_string(128 + 11) + "\n") << Read("err.txt");
    }
    // The game had moved into its own folder, where the report went.
    std::filesystem::remove(std::filesystem::path(KAVO_GAME_PROGRAM).parent_path() / "crash.txt");
}

// The game as a screen saver on the desktop: the pointer rests where the window appears, three
// moves are swallowed and the fourth ends it.
TEST_F(GameOnTheDesktop, TheScreenSaverEndsAtTheFourthMove)
{
    probe.MovePointer(640, 500);
    Launch("-screensaver");
    DesktopProbe::Shown game;
    ASSERT_TRUE(probe.WaitForWindow("Orlavintide - 1.01", game, kGameWaitMs)) << Read("err.txt");
    std::this_thread::sleep_for(std::chrono::seconds(2));
    for (int move = 1; move <= 3; ++move)
    {
        probe.MovePointer(640 + 10 * move, 500);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_FALSE(platform::PathExists(folder + "status.txt")) << "ended at move " << move;
    }
    probe.MovePointer(700, 500);
    EXPECT_EQ(Status(), "0\n") << Read("err.txt");
}
