// The real crash handler: faults on purpose in a child process, which must write crash.txt,
// say the report on stderr (no display) and end with the fault's signal.
#include "../ScratchNames.h"
#include "../app/AppTestSupport.h"
#include "platform/fault/CrashSignals.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace crashtest
{

__attribute__((noinline, no_sanitize("null"))) void CrashByNullWrite()
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

__attribute__((noinline, no_sanitize("null"))) void CrashOnTheOtherThread()
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 2;
}

[[gnu::noinline]] int RecurseWithoutEnd(int depth)
{
    volatile char frame[256];
    if (depth < 0) return 0;
    frame[depth % 256] = char(depth);
    return RecurseWithoutEnd(depth + 1) + frame[depth % 256];
}

[[gnu::noinline]] void ThrowUncaught()
{
    throw std::runtime_error("nobody catches this");
}

} // namespace crashtest

namespace
{

// A folder of the running test's own below the program's working folder, made afresh (by the
// test and again by its child, which runs the test from its start).
std::string DeathFolder()
{
    std::string folder = std::string(KAVO_TEST_WORKDIR) + "/death-" + scratch::TestName() + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string Read(const std::string& path)
{
    std::string text;
    platform::ReadFile(path, text);
    return text;
}

class CrashDeathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        folder = DeathFolder();
    }
    std::string folder;
};

} // namespace

TEST_F(CrashDeathTest, NullWriteOnTheMainThread)
{
    EXPECT_EXIT(
        {
            platform::SetCurrentFolder(folder);
            crashtest::CrashByNullWrite();
        },
        ::testing::KilledBySignal(SIGSEGV), "Fatal Error!: An unexpected error has occured!");
    std::string report = Read(folder + "crash.txt");
    EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
    EXPECT_NE(report.find("Module: crash_tests\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find(" crashtest::CrashByNullWrite()+"), std::string::npos) << report;
    EXPECT_NE(report.find("tests/crash/CrashDeathTest.cpp line "), std::string::npos) << report;
}

TEST_F(CrashDeathTest, NullWriteOnASecondThread)
{
    EXPECT_EXIT(
        {
            platform::SetCurrentFolder(folder);
            std::thread(crashtest::CrashOnTheOtherThread).join();
        },
        ::testing::KilledBySignal(SIGSEGV), "Exception: Access Violation");
    std::string report = Read(folder + "crash.txt");
    EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
    EXPECT_NE(report.find(" crashtest::CrashOnTheOtherThread()+"), std::string::npos) << report;
}

TEST_F(CrashDeathTest, StackOverflowByUnboundedRecursion)
{
    EXPECT_EXIT(
        {
            platform::SetCurrentFolder(folder);
            crashtest::RecurseWithoutEnd(0);
        },
        ::testing::KilledBySignal(SIGSEGV), "Exception: Stack Overflow");
    std::string report = Read(folder + "crash.txt");
    EXPECT_EQ(report.rfind("Exception: Stack Overflow (code 0xc00000fd) at address ", 0), 0u) << report;
    EXPECT_NE(report.find(" crashtest::RecurseWithoutEnd(int)+"), std::string::npos) << report;
}

TEST_F(CrashDeathTest, UncaughtException)
{
    EXPECT_EXIT(
        {
            platform::SetCurrentFolder(folder);
            std::thread(crashtest::ThrowUncaught).join();
        },
        ::testing::KilledBySignal(SIGABRT), "Unknown exception: \\(code 0xe06d7363\\)");
    std::string report = Read(folder + "crash.txt");
    EXPECT_NE(report.find("crashtest::ThrowUncaught()"), std::string::npos) << report;
}

namespace
{

// An application whose crash block is made while another thread faults too, or which faults
// itself.
class TroubledApp : public apptest::TestApp
{
public:
    std::atomic<bool> secondFault{false};
    bool faultInReport = false;
    std::string GetCrashInfoText() override
    {
        if (faultInReport) crashtest::CrashByNullWrite();
        secondFault = true;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (platform::HeldCrashFaults() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return platform::HeldCrashFaults() == 1 ? "second fault held\r\n" : "no second fault\r\n";
    }
};

// The application is read on the crash watcher thread: the compiler must not take the fault
// for a call that leaves the object alone.
void CrashOpaquely()
{
    void (*volatile fault)() = crashtest::CrashByNullWrite;
    fault();
}

} // namespace

// A second fault on another thread while the report is made waits: the report of the first
// fault is finished and the process ends with it.
TEST_F(CrashDeathTest, ASecondFaultWaitsForTheFirstReport)
{
    EXPECT_EXIT(
        {
            platform::SetCurrentFolder(folder);
            TroubledApp app;
            std::thread other(
                [&]
                {
                    while (!app.secondFault)
                        std::this_thread::yield();
                    crashtest::CrashOnTheOtherThread();
                });
            CrashOpaquely();
            other.join();
        },
        ::testing::KilledBySignal(SIGSEGV), "second fault held");
    std::string report = Read(folder + "crash.txt");
    EXPECT_NE(report.find(" crashtest::CrashByNullWrite()+"), std::string::npos) << report;
    EXPECT_EQ(report.find("CrashOnTheOtherThread"), std::string::npos) << report;
}

// A fault while the report is made ends the process at once with its signal.
TEST_F(CrashDeathTest, AFaultInTheReportEndsTheProcess)
{
    EXPECT_EXIT(
        {
            platform::SetCurrentFolder(folder);
            TroubledApp app;
            app.faultInReport = true;
            CrashOpaquely();
        },
        ::testing::KilledBySignal(SIGSEGV), "");
    EXPECT_FALSE(platform::PathExists(folder + "crash.txt"));
}

// The game itself, headless, with -crash: the report names the faulting function, and its
// logical address is rewritten from the game's own link map with the line that faults.
TEST_F(CrashDeathTest, GameCrashOnPurpose)
{
    const std::string game = KAVO_GAME_PROGRAM;
    std::filesystem::copy_file(game + ".map", folder + "orlavintide.map");
    std::string command = "cd '" + folder + "' && SDL_VIDEODRIVER=dummy '" + game +
                          "' -crash >out.txt 2>err.txt; echo $? >status.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Read(folder + "status.txt"), std::to_string(128 + SIGSEGV) + "\n");
    EXPECT_NE(Read(folder + "err.txt").find("Fatal Error!: An unexpected error has occured!"),
              std::string::npos);

    // The line of the write through the null pointer.
    std::ifstream source(std::string(KAVO_SOURCE_DIR) + "/app/KavoAppBaseStartup.cpp");
    std::string line;
    int number = 0, faulting = 0;
    while (std::getline(source, line))
        if (++number && line.find("*nowhere = 0;") != std::string::npos) faulting = number;
    ASSERT_GT(faulting, 0);

    std::string report = Read(folder + "crash.txt");
    EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
    EXPECT_NE(report.find("Module: orlavintide\r\nLogical Address: Kavo::KavoAppBase::CrashOnPurpose()+0x"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\n    app/KavoAppBaseStartup.cpp line " + std::to_string(faulting) + " +0x"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(" Kavo::KavoAppBase::HandleCommandLineParam("), std::string::npos) << report;
    EXPECT_NE(report.find("Product: Orlavintide\r\n"), std::string::npos) << report;
}
