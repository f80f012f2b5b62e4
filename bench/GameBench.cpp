// The game application with the game's own data (the program's folder: main.pak and the loose
// files beside it), headless: how long it takes to show the title screen, how long the "Game"
// group takes to load, and how much memory the program holds while a level is played.
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/StringTable.h"
#include "game/GameApp.h"
#include "media/ResourceManager.h"
#include "platform/files/Files.h"
#include "platform/files/Registry.h"
#include "platform/system/Clock.h"
#include "puzzle/Board.h"
#include "puzzle/ResourceIds.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

const std::string kGameFolder = std::string(KAVO_BINARY_DIR) + "/game/";

// The settings in memory; a base, so that they outlive the application, whose destructor writes
// the player and the scores.
struct MemorySettings
{
    platform::RegistryStore mStore;
};

// The game as the program makes it, but windowed, without the single-instance guard, with
// settings in memory and its per-user data in a scratch folder.
class BenchGameApp : public MemorySettings, public Kavo::GameApp
{
public:
    BenchGameApp()
    {
        static bool environment = []
        {
            setenv("SDL_VIDEODRIVER", "dummy", 0);
            setenv("SDL_AUDIODRIVER", "dummy", 0);
            setenv("XDG_DATA_HOME", "/tmp/kavo-bench-userdata", 1);
            return true;
        }();
        (void)environment;
        mIsWindowed = true;
        mOnlyAllowOneCopyToRun = false;
        mLoadingThreadEnabled = false;
        SetRegistryStore(&mStore);
    }
    ~BenchGameApp() override { Shutdown(); }

    bool ChangeDirHook(const std::string&) override
    {
        platform::SetCurrentFolder(kGameFolder);
        return true;
    }
    // The game's data is there when its resource manifest is, in the archive or beside it.
    static bool HasGameData()
    {
        std::string manifest;
        const std::string folder = platform::CurrentFolder();
        platform::SetCurrentFolder(kGameFolder);
        Kavo::GetProcessPakInterface().LoadPakIndex("main.pak");
        bool found = Kavo::PakReadWholeFile("properties\\resources.xml", manifest);
        platform::SetCurrentFolder(folder);
        return found;
    }

    void RunUpdates(int n)
    {
        int target = mUpdateCount + n;
        for (int guard = 0; mUpdateCount < target && !mShutdown && guard < 1000000; ++guard)
            UpdateAppStep(nullptr);
    }
    void FinishLoading()
    {
        StartLoadingThread();
        if (mLoadingThread.joinable()) mLoadingThread.join();
        RunUpdates(2);
    }
};

// Resident memory of the process in megabytes.
double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// From making the application object to the first drawn frame of the title screen (goal: at most
// 250 ms).
void BM_StartToTitleScreen(benchmark::State& state)
{
    if (!BenchGameApp::HasGameData()) return state.SkipWithError("no game data beside the program");
    for (auto _ : state)
    {
        auto app = std::make_unique<BenchGameApp>();
        app->Initialize();
        Kavo::StringTable::Load();
        const int drawn = app->mDrawCount;
        for (int guard = 0; app->mDrawCount == drawn && guard < 100000; ++guard)
            app->UpdateAppStep(nullptr);
        state.PauseTiming();
        app.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToTitleScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The "Game" group, one resource per call as the loading thread reads it, and bound (goal: at
// most 1 s).
void BM_LoadGameGroup(benchmark::State& state)
{
    if (!BenchGameApp::HasGameData()) return state.SkipWithError("no game data beside the program");
    BenchGameApp app;
    app.Initialize();
    for (auto _ : state)
    {
        app.mResourceManager->StartLoadResources("Game");
        int loaded = 0;
        while (app.mResourceManager->LoadNextResource())
            ++loaded;
        benchmark::DoNotOptimize(loaded);
        if (app.mResourceManager->HadError() || !Kavo::ExtractGameResources(app.mResourceManager))
            return state.SkipWithError(app.mResourceManager->GetErrorText().c_str());
        state.PauseTiming();
        app.mResourceManager->DeleteResources("Game");
        app.mCleanSharedImages = true; // the released pictures go, so the next pass reads them again
        app.CleanSharedImages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadGameGroup)->Unit(benchmark::kMillisecond)->Iterations(5);

// Resident memory while Untimed level 1 is played on the board, all resources loaded (goal: at
// most 150 MB).
void BM_MemoryInPlay(benchmark::State& state)
{
    if (!BenchGameApp::HasGameData()) return state.SkipWithError("no game data beside the program");
    for (auto _ : state)
    {
        BenchGameApp app;
        app.Initialize();
        Kavo::StringTable::Load();
        app.FinishLoading();
        app.CreateScreens();
        app.mPlayer.CreateNew("Bench");
        app.mPlayer.mGuiFlags |= Kavo::UserProfile::kSkipTutorial;
        if (!app.LoadRulesAndStart("properties/untimed_config.xml"))
            return state.SkipWithError("no Untimed rules");
        app.RunUpdates(600);
        state.counters["resident_MB"] = ResidentMegabytes();
        state.counters["board_shown"] = app.GetShownScreen() == Kavo::GameApp::kBoardScreen ? 1 : 0;
    }
}
BENCHMARK(BM_MemoryInPlay)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
