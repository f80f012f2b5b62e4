// The game itself, started by a script as a job in the background (which starts it with SIGINT
// ignored), ends on SIGINT through its close: exit code 0, the demo it records and its
// settings written.
#include "../ScratchNames.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace
{

bool AnyFileEndingIn(const std::string& folder, const std::string& ending)
{
    if (!std::filesystem::exists(folder)) return false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    {
        std::string name = entry.path().filename().string();
        if (name.size() >= ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

} // namespace

// The signal comes once the game has taken its single-instance lock (it catches the signal from
// its construction on, just before; what comes sooner finds the signal ignored as the script
// left it), and again a while later, while it loads and shows its title screen.
TEST(GameCloseSignal, CtrlCEndsTheGameAScriptStarted)
{
    for (const char* delay : {"0", "3"})
    {
        std::string folder =
            std::string(KAVO_TEST_WORKDIR) + "/signal-" + scratch::TestName() + "-" + delay + "/";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder + "runtime");
        std::filesystem::permissions(folder + "runtime", std::filesystem::perms::owner_all);
        // The game in the background; SIGINT after the lock and the delay, then up to 60
        // seconds to end.
        std::string command =
            "cd '" + folder + "' || exit 1; XDG_DATA_HOME='" + folder + "data' XDG_RUNTIME_DIR='" + folder +
            "runtime' SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + KAVO_GAME_PROGRAM +
            "' -record >out.txt 2>err.txt & pid=$!; "
            "for i in $(seq 600); do [ -e runtime/OrlavintideMutex.lock ] && break; sleep 0.1; done; "
            "sleep " +
            delay +
            "; kill -INT $pid; "
            "for i in $(seq 600); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done; "
            "kill -KILL $pid 2>/dev/null; wait $pid; echo $? >status.txt";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::string status, err;
        platform::ReadFile(folder + "status.txt", status);
        platform::ReadFile(folder + "err.txt", err);
        EXPECT_EQ(status, "0\n") << "after " << delay << " s: " << err;
        EXPECT_TRUE(AnyFileEndingIn(folder + "data", ".dmo")) << delay;
        EXPECT_TRUE(AnyFileEndingIn(folder + "data", "settings.reg")) << delay;
    }
}
