#include "tests/game/GameTestSupport.h"

#include "base/PathUtils.h"
#include "base/StringTable.h"
#include "base/StringUtils.h"
#include "graphics/ImageLib.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/system/Clock.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/ResourceIds.h"
#include "tests/ScratchNames.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

namespace gametest
{

namespace
{

namespace syn = platform::synthetic;

struct ImageShape
{
    int width, height, cols, rows;
};

// The shapes the game draws with; every other image is 16 x 16.
const std::map<std::string, ImageShape>& Shapes()
{
    static const std::map<std::string, ImageShape> shapes = {
        {"IMAGE_PIECES", {62, 60, 11, 1}},
        {"IMAGE_PIECES_MINI", {31, 30, 11, 1}},
        {"IMAGE_BLACKHOLE", {62, 60, 1, 8}},
        {"IMAGE_SUPERNOVA", {124, 120, 6, 1}},
        {"IMAGE_WILDCARD", {62, 60, 1, 1}},
        {"IMAGE_PIECESEXPLODING", {124, 120, 11, 5}},
        {"IMAGE_GRID_SQUARE", {64, 62, 10, 1}},
        {"IMAGE_CHECKBOX", {20, 20, 2, 1}},
        {"IMAGE_DIALOG_BOX", {100, 100, 1, 1}},
        {"IMAGE_DIALOG_BUTTON", {100, 35, 1, 1}},
        {"IMAGE_MAINMENUBTN_HILIGHT", {100, 40, 1, 1}},
        {"IMAGE_MAINMENU_BACKGROUND", {800, 600, 1, 1}},
        {"IMAGE_LOADER_BACKGROUND", {800, 600, 1, 1}},
        {"IMAGE_TUTORIAL", {800, 600, 1, 1}},
        {"IMAGE_LOADER_PLANET", {196, 196, 1, 1}},
        {"IMAGE_MENU_PLANET", {200, 200, 1, 1}},
        {"IMAGE_TOPTEN_RIGHT_ARROW", {50, 50, 1, 1}},
        {"IMAGE_TOPTEN_LEFT_ARROW", {50, 50, 1, 1}},
        // No splash pictures: a width of 1 stands for a picture the data does not supply.
        {"IMAGE_SPLASH1", {1, 1, 1, 1}},
        {"IMAGE_SPLASH2", {1, 1, 1, 1}},
        {"IMAGE_SPLASH3", {1, 1, 1, 1}},
        {"IMAGE_PUBLISHER", {1, 1, 1, 1}},
    };
    return shapes;
}

void WriteImage(const std::string& path, const ImageShape& shape, uint32_t seed)
{
    ImageLib::Image image;
    const int w = shape.width * shape.cols;
    const int h = shape.height * shape.rows;
    ASSERT_TRUE(image.Allocate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            uint32_t cel = uint32_t((x / shape.width) + (y / shape.height) * shape.cols);
            image.bits[size_t(y) * size_t(w) + size_t(x)] =
                0xFF000000u | ((seed * 53u + cel * 29u) & 0xFFu) << 16 |
                ((seed * 17u + cel * 71u) & 0xFFu) << 8 | ((seed * 101u) & 0xFFu);
        }
    ASSERT_TRUE(ImageLib::WritePNG(path, image));
}

std::string ShortWave()
{
    std::string format;
    platform::AppendLE16(format, 1);    // PCM
    platform::AppendLE16(format, 1);    // mono
    platform::AppendLE32(format, 8000); // samples per second
    platform::AppendLE32(format, 8000);
    platform::AppendLE16(format, 1);
    platform::AppendLE16(format, 8);
    std::string samples(80, char(0x80));
    std::string body = "WAVEfmt ";
    platform::AppendLE32(body, uint32_t(format.size()));
    body += format + "data";
    platform::AppendLE32(body, uint32_t(samples.size()));
    body += samples;
    std::string file = "RIFF";
    platform::AppendLE32(file, uint32_t(body.size()));
    return file + body;
}

// One manifest element for a resource id whose file lies in folder; the file is written there
// when write is set.
std::string ResourceElement(const std::string& folder, bool write, const std::string& kind,
                            const std::string& id, uint32_t seed)
{
    if (kind == "Font") return "  <Font id=\"" + id + "\" path=\"!sys:DejaVu Sans\" size=\"14\"/>\n";
    if (kind == "Sound")
    {
        if (write) WriteTextFile(folder + id + ".wav", ShortWave());
        return "  <Sound id=\"" + id + "\" path=\"" + folder + id + "\"/>\n";
    }
    auto shape = Shapes().find(id);
    ImageShape s = shape != Shapes().end() ? shape->second : ImageShape{16, 16, 1, 1};
    if (write) WriteImage(folder + id + ".png", s, seed);
    std::string element = "  <Image id=\"" + id + "\" path=\"" + folder + id + "\"";
    if (s.cols > 1) element += " cols=\"" + std::to_string(s.cols) + "\"";
    if (s.rows > 1) element += " rows=\"" + std::to_string(s.rows) + "\"";
    return element + "/>\n";
}

// The manifest of every resource id. Its files are made once for all the tests of the program,
// in a folder of their own that is then moved into place whole, so tests running side by side
// share them.
std::string FixtureManifest()
{
    // Named after the number of ids, so a build with other ids makes its own.
    int ids = 0;
#define KAVO_COUNT_ID(kind, id) ++ids;
    KAVO_INIT_RESOURCES(KAVO_COUNT_ID)
    KAVO_TITLESCREEN_RESOURCES(KAVO_COUNT_ID)
    KAVO_GAME_RESOURCES(KAVO_COUNT_ID)
#undef KAVO_COUNT_ID
    const std::string shared =
        std::string(KAVO_TEST_WORKDIR) + "/fixture-resources-" + std::to_string(ids) + "/";
    const bool made = std::filesystem::exists(shared);
    const std::string making =
        std::string(KAVO_TEST_WORKDIR) + "/fixture-making-" + std::to_string(std::random_device()()) + "/";
    if (!made) std::filesystem::create_directories(making);

    std::string manifest = "<ResourceManifest>\n";
    uint32_t seed = 1;
    std::string elements;
    auto group = [&](const std::string& name)
    {
        manifest += "<Resources id=\"" + name + "\">\n" + elements + "</Resources>\n";
        elements.clear();
    };
    auto add = [&](const std::string& kind, const std::string& id)
    {
        if (!made) ResourceElement(making, true, kind, id, seed);
        elements += ResourceElement(shared, false, kind, id, seed);
        ++seed;
    };
#define KAVO_FIXTURE_ELEMENT(kind, id) add(#kind, #id);
    KAVO_INIT_RESOURCES(KAVO_FIXTURE_ELEMENT)
    group("Init");
    KAVO_TITLESCREEN_RESOURCES(KAVO_FIXTURE_ELEMENT)
    group("TitleScreen");
    KAVO_GAME_RESOURCES(KAVO_FIXTURE_ELEMENT)
    group("Game");
#undef KAVO_FIXTURE_ELEMENT
    if (!made)
    {
        std::error_code error;
        std::filesystem::rename(making, shared, error);
        if (error) std::filesystem::remove_all(making); // another test made it first
    }
    return manifest + "</ResourceManifest>\n";
}

} // namespace

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::string folder = Kavo::GetFileDir(path);
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    ASSERT_TRUE(file.good()) << path;
}

std::string ShippedRules(const std::string& name)
{
    std::string text;
    EXPECT_TRUE(platform::ReadFile(std::string(KAVO_SOURCE_DIR) + "/data/properties/" + name, text)) << name;
    return text;
}

std::string PrepareGameFolder()
{
    const std::string folder = std::string(KAVO_TEST_WORKDIR) + "/" + scratch::TestName() + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    platform::SetCurrentFolder(folder);
    setenv("XDG_DATA_HOME", (folder + "userdata").c_str(), 1);

    static bool textsLoaded = false;
    if (!textsLoaded)
        textsLoaded =
            Kavo::StringTable::LoadFile(std::string(KAVO_SOURCE_DIR) + "/data/properties/strings.txt");
    const std::filesystem::path shipped = std::string(KAVO_SOURCE_DIR) + "/data/properties";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(shipped))
        if (entry.path().extension() == ".xml")
        {
            const std::string name = std::filesystem::relative(entry.path(), shipped).generic_string();
            WriteTextFile("properties/" + name, ShippedRules(name));
        }

    WriteTextFile("properties/resources.xml", FixtureManifest());
    return folder;
}

// ---------------------------------------------------------------- the application

bool RecordingMusic::LoadMusic(int songId, const std::string& fileName)
{
    log.push_back("load " + std::to_string(songId) + " " + fileName);
    return true;
}

void RecordingMusic::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    (void)offset;
    (void)noLoop;
    log.push_back("fadein " + std::to_string(songId) + " " + Kavo::StrFormat("%g", speed));
}

void RecordingMusic::FadeOut(int songId, bool stopSong, double speed)
{
    (void)stopSong;
    log.push_back("fadeout " + std::to_string(songId) + " " + Kavo::StrFormat("%g", speed));
}

void RecordingLogger::LogControl(const std::string& control, const std::string& value)
{
    controls.push_back(value.empty() ? control : control + " " + value);
}

void RecordingLogger::SetScreen(const std::string& screen)
{
    screens.push_back(screen);
    Kavo::Logger::SetScreen(screen);
}

void RecordingLogger::LogBoardEvent(const std::string& event, const std::string& detail)
{
    boardEvents.push_back(event);
    Kavo::Logger::LogBoardEvent(event, detail);
}

RecordingLogger& TestGameApp::RecordEvents()
{
    auto logger = std::make_unique<RecordingLogger>();
    RecordingLogger& recording = *logger;
    recording.SetFeedbackInterface(mBoard.get());
    mLogger = std::move(logger);
    return recording;
}

TestGameApp::TestGameApp(platform::RegistryStore* store)
{
    sExitHandler = &apptest::ThrowOnExit;
    mIsWindowed = true;
    mOnlyAllowOneCopyToRun = false;
    mLoadingThreadEnabled = false;
    SetRegistryStore(store != nullptr ? store : &mStore);
    platform::SetMessageBoxAnswerer(
        [this](const std::string& text, const std::string& title, unsigned)
        {
            mBoxLog->push_back(title + ": " + text);
            return mBoxAnswer;
        });
}

TestGameApp::~TestGameApp()
{
    Shutdown();
}

void TestGameApp::PlaySample(int soundId)
{
    sounds.push_back(soundId);
    soundUpdates.push_back(mUpdateCount);
    GameApp::PlaySample(soundId);
}

Kavo::MusicInterface* TestGameApp::CreateMusicInterface(platform::WindowId window)
{
    (void)window;
    return new RecordingMusic();
}

void TestGameApp::Initialize()
{
    // The display draws in memory, as the game is told (is3D) unless a test stores another choice:
    // the headless 3D renderer would only slow every frame down.
    int stored = 0;
    if (!RegistryReadInteger("Is3D", &stored)) RegistryWriteInteger("Is3D", 0);
    GameApp::Initialize();
    // A display of 100 Hz: one update and one fractional update of a whole unit per frame, and
    // frames of whole milliseconds, which the fake clock's sleeps move on exactly.
    mRefreshRate = 100;
}

bool TestGameApp::UpdateAppStep(bool* updated)
{
    if (beforeStep) beforeStep();
    return GameApp::UpdateAppStep(updated);
}

void TestGameApp::StartUp()
{
    Initialize();
    StartLoadingThread();
    if (mLoadingThread.joinable()) mLoadingThread.join();
    RunUpdates(2);
}

void TestGameApp::StartToMainMenu()
{
    StartUp();
    Click(400, 300);
    RunUpdates(1);
}

void TestGameApp::RunUpdates(int n)
{
    // Exactly n updates: a still screen's rest would run several on one wake-up, past the
    // target, so the harness counts as a player who has just moved the mouse.
    int target = mUpdateCount + n;
    for (int guard = 0; mUpdateCount < target && !mShutdown && guard < 100000; ++guard)
    {
        mLastInputSeenTick = platform::Clock::Get().Ticks();
        UpdateAppStep(nullptr);
    }
}

void TestGameApp::Click(int x, int y)
{
    syn::MouseMove(x, y);
    RunUpdates(1);
    syn::MouseButton(1, true, 1, x, y);
    RunUpdates(1);
    syn::MouseButton(1, false, 1, x, y);
    RunUpdates(1);
}

void TestGameApp::Type(const std::string& text)
{
    syn::Text(text);
    RunUpdates(1);
}

void TestGameApp::PressKey(const std::string& keyName)
{
    syn::Key(true, keyName);
    syn::Key(false, keyName);
    RunUpdates(1);
}

void TestGameApp::ClickWidget(Kavo::Widget* widget)
{
    ASSERT_NE(widget, nullptr);
    Kavo::Point at = widget->GetAbsPos();
    Click(at.mX + widget->mWidth / 2, at.mY + widget->mHeight / 2);
}

std::shared_ptr<FadeClicks> ClickDuringFade(TestGameApp& app, std::function<Kavo::Fader*()> fader,
                                            std::vector<int> atSteps, int x, int y)
{
    auto seen = std::make_shared<FadeClicks>();
    app.beforeStep = [seen, fader = std::move(fader), atSteps = std::move(atSteps), x, y]
    {
        Kavo::Fader* running = fader();
        if (running == nullptr || !running->fading) return;
        seen->lastStep = running->fadeStep;
        if (size_t(seen->sent) >= atSteps.size() || running->fadeStep < atSteps[size_t(seen->sent)]) return;
        ++seen->sent;
        syn::MouseButton(1, true, seen->sent + 1, x, y);
        syn::MouseButton(1, false, seen->sent + 1, x, y);
    };
    return seen;
}

} // namespace gametest
