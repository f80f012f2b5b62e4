// Demo files played back: a headless application of the tests' started with "-play" on the input,
// which reads the header and then replays the recorded events (input, window messages, settings
// reads, clipboard pastes) update by update. A demo may wait any number of updates for its next
// event, so playback is fast-forwarded (updates back to back, no drawing) through the first
// kUpdates updates only, and stops there or where the demo ends.
#include "fuzz/FuzzTarget.h"
#include "tests/app/AppTestSupport.h"

namespace
{

constexpr int kUpdates = 400;

} // namespace

KAVO_FUZZ_TARGET(demoplay)
{
    const std::string path = fuzz::WriteInput("input.dmo", data, size);
    platform::FakeClock clock;
    apptest::TestApp app;
    app.SetCommandLine("-play \"-demofile=" + path + "\"");
    apptest::ExitCodeOf(
        [&]
        {
            app.Initialize();
            app.mDemoJumpTarget = kUpdates;
            for (int step = 0;
                 step < 100 && app.mPlayingDemo && !app.mShutdown && app.mUpdateCount < kUpdates; ++step)
                app.UpdateAppStep(nullptr);
        });
    return 0;
}
