// SIGINT and SIGTERM end the program through its close, with its settings written, also when
// the program was started with them ignored, as a script's job in the background is. Each case
// runs in a child process that signals itself.
#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace
{

using apptest::TestApp;

// 3: the close ran the shut-down and the settings were written; 4: the program runs on.
[[noreturn]] void RunSignalled(int signal, bool ignoredAtStart)
{
    if (ignoredAtStart) std::signal(signal, SIG_IGN);
    platform::FakeClock clock;
    TestApp app;
    app.Initialize();
    app.RunUpdates(2);
    app.RegistryWriteInteger("InProgress", 1);
    std::raise(signal);
    for (int i = 0; i < 200 && !app.mShutdown; ++i)
        app.UpdateAppStep(nullptr);
    int inProgress = -1;
    app.RegistryReadInteger("InProgress", &inProgress);
    std::_Exit(app.mShutdown && app.mCloseRequest && inProgress == 0 ? 3 : 4);
}

} // namespace

TEST(CloseSignals, EndTheProgramThroughItsClose)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signal : {SIGINT, SIGTERM})
        for (bool ignored : {true, false})
            EXPECT_EXIT(RunSignalled(signal, ignored), ::testing::ExitedWithCode(3), "")
                << signal << (ignored ? " ignored at the start" : "");
}

// A second signal while the first close is under way ends the program at once with it.
TEST(CloseSignals, ASecondOneEndsTheProgramAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::FakeClock clock;
            TestApp app;
            app.Initialize();
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::_Exit(4);
        },
        ::testing::KilledBySignal(SIGINT), "");
}
