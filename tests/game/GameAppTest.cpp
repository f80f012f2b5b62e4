#include "game/GameApp.h"
#include "base/PathUtils.h"
#include "graphics/Matrix3.h"
#include "graphics/MemoryImage.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/files/Registry.h"
#include "platform/window/Window.h"
#include "puzzle/BackgroundLoader.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

struct ProgramExit
{
    int code;
};

uint32_t StoredNumber(platform::RegistryStore& store, const char* name)
{
    uint32_t type = 0;
    std::string data;
    EXPECT_TRUE(store.QueryValue("SOFTWARE\\VelquisGames\\Orlavintide", name, type, data)) << name;
    return data.size() == 4 ? platform::LoadLE32(reinterpret_cast<const uint8_t*>(data.data())) : 0xFFFFFFFF;
}

// The game as it starts, reading its data from the working folder the test prepared.
class GameInItsFolder : public Kavo::GameApp
{
public:
    // Other game tests run beside this one as copies of the game.
    GameInItsFolder() { mOnlyAllowOneCopyToRun = false; }
    bool ChangeDirHook(const std::string&) override { return true; }
};

// The game starts full screen at 800 x 600, reads and writes its settings under its own name in
// the per-user data folder (its volumes 80 and 55 percent until the player changes them), and
// takes the twinkling stars from there.
TEST(GameApp, StartsFullScreenWithItsSettingsUnderItsOwnName)
{
    std::string data = gametest::PrepareGameFolder() + "game-data/";
    std::filesystem::remove_all(data);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string file = data + "VelquisGames/Orlavintide/settings.reg";
    {
        platform::RegistryStore before;
        before.Open(file);
        ASSERT_TRUE(before.CreateKey("SOFTWARE\\VelquisGames\\Orlavintide"));
        ASSERT_TRUE(before.SetValue("SOFTWARE\\VelquisGames\\Orlavintide", "TwinklingStars",
                                    platform::kRegDword, std::string("\1\0\0\0", 4)));
    }
    Kavo::KavoAppBase::sExitHandler = [](int code) { throw ProgramExit{code}; };
    std::string folder = platform::CurrentFolder();
    {
        GameInItsFolder app;
        app.SetCommandLine("");
        app.Initialize();
        platform::SetCurrentFolder(folder);
        EXPECT_TRUE(platform::MainWindowIsFullscreen());
        EXPECT_EQ(app.mWidgetManager->mWidth, 800);
        EXPECT_EQ(app.mWidgetManager->mHeight, 600);
        EXPECT_TRUE(app.mTwinklingStars);
        EXPECT_EQ(Kavo::GetAppDataFolder(), data + "VelquisGames/Orlavintide/");
        app.Shutdown();
    }
    platform::RegistryStore after;
    ASSERT_EQ(after.Open(file), platform::RegistryStore::LoadResult::Loaded);
    EXPECT_EQ(StoredNumber(after, "MusicVolume"), 80u);
    EXPECT_EQ(StoredNumber(after, "SfxVolume"), 55u);
    EXPECT_EQ(StoredNumber(after, "ScreenMode"), 1u); // full screen
    std::filesystem::remove_all(data);
}

// A background loader that writes down the backgrounds it is asked to load (and loads none).
class RecordingLoader : public Kavo::BackgroundLoader
{
public:
    using BackgroundLoader::BackgroundLoader;
    ~RecordingLoader() override { WaitForWorker(); }
    std::vector<int> Loaded()
    {
        WaitForWorker();
        return LoadedSoFar();
    }
    // Whether a background has been asked for: its worker runs, or has loaded it.
    bool Asked()
    {
        if (!IsWorkerDone()) return true;
        return !LoadedSoFar().empty();
    }

protected:
    Kavo::Image* LoadBackgroundImage(int id) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mLoaded.push_back(id);
        return nullptr;
    }

private:
    std::vector<int> LoadedSoFar()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mLoaded;
    }
    std::mutex mMutex;
    std::vector<int> mLoaded;
};

// The game, noting for each picture its loading thread loads whether the first background had
// been asked for by then.
class PictureWatchingGame : public gametest::TestGameApp
{
public:
    Kavo::DDImage* GetImage(const std::string& path, bool commit) override
    {
        if (std::this_thread::get_id() != mMainThread)
        {
            std::lock_guard<std::mutex> lock(mMutex);
            askedAtEachPicture.push_back(loader->Asked());
        }
        return TestGameApp::GetImage(path, commit);
    }
    std::vector<bool> AskedAtEachPicture()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return askedAtEachPicture;
    }

    RecordingLoader* loader = nullptr;

private:
    const std::thread::id mMainThread = std::this_thread::get_id();
    std::mutex mMutex;
    std::vector<bool> askedAtEachPicture;
};

// The loading thread sets the first level's background loading before the game's pictures, so
// it loads beside them and is on its way before the loading is handed over to the main thread.
TEST(GameApp, TheLoadingThreadSetsTheFirstBackgroundLoadingBeforeTheGamesPictures)
{
    gametest::PrepareGameFolder();
    platform::FakeClock clock;
    PictureWatchingGame app;
    auto loader = std::make_unique<RecordingLoader>(&app);
    app.loader = loader.get();
    RecordingLoader& recording = *loader;
    app.mBackgroundLoader = std::move(loader);
    app.Initialize();
    app.StartLoadingThread();
    app.mLoadingThread.join();
    const std::vector<bool> asked = app.AskedAtEachPicture();
    ASSERT_FALSE(asked.empty()) << "the game's pictures load on the loading thread";
    EXPECT_EQ(std::count(asked.begin(), asked.end(), false), 0) << "asked for before the first picture";
    EXPECT_EQ(recording.Loaded(), std::vector<int>{1}) << "before the hand-over";
    app.RunUpdates(2);
    EXPECT_EQ(recording.Loaded(), std::vector<int>{1}) << "and only then";
}

// Rotated and transformed images draw through the rasteriser, which the game makes ready.
TEST(GameApp, TransformedImagesDrawOnceTheGameExists)
{
    Kavo::GameApp app;
    Kavo::MemoryImage source;
    source.Create(4, 4);
    source.FillRect(Kavo::Rect(0, 0, 4, 4), Kavo::Color(255, 0, 0), 0);
    Kavo::MemoryImage target;
    target.Create(8, 8);
    Kavo::Matrix3 identity;
    target.BltMatrix(&source, 4.0f, 4.0f, identity, Kavo::Rect(0, 0, 8, 8), Kavo::Color::White, 0,
                     Kavo::Rect(0, 0, 4, 4), false);
    EXPECT_EQ(target.GetBits()[4 * 8 + 4], 0xFFFF0000u);
}

} // namespace
