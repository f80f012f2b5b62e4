#pragma once

// The game application driven headless: SDL's dummy drivers, the fake clock, an in-memory
// settings store, and a working folder of the test's own holding the game's data: the shipped
// texts, rules files, challenge grids (with the challenges' rules) and tips, and a resource
// manifest of small fixture images (one colour per cel, in the cel grids the game draws with),
// short sounds and a system font for every resource id.
#include "base/Logger.h"
#include "game/GameApp.h"
#include "media/MusicInterface.h"
#include "platform/files/Registry.h"
#include "platform/system/FakeClock.h"
#include "puzzle/Fader.h"
#include "tests/app/AppTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gametest
{

// Makes "<work>/<test name>/" afresh with the game's data in it and makes it the working folder
// and the per-user data folder; the texts are read from the source tree. Returns the folder.
std::string PrepareGameFolder();
// The shipped rules file's text (name as "untimed_config.xml").
std::string ShippedRules(const std::string& name);
void WriteTextFile(const std::string& path, const std::string& text);

// The silent music interface, writing down what it is asked: "load 0 music/track0.ogg",
// "fadein 1 0.002", "fadeout 0 0.004".
class RecordingMusic : public Kavo::MusicInterface
{
public:
    bool LoadMusic(int songId, const std::string& fileName) override;
    void FadeIn(int songId, int offset, double speed, bool noLoop) override;
    void FadeOut(int songId, bool stopSong, double speed) override;

    std::vector<std::string> log;
};

// The event log, writing down the controls reported to it ("options_3d 1"), the screens named
// to it ("mainmenu") and the board's events ("board_mainmenu").
class RecordingLogger : public Kavo::Logger
{
public:
    void LogControl(const std::string& control, const std::string& value) override;
    void SetScreen(const std::string& screen) override;
    void LogBoardEvent(const std::string& event, const std::string& detail) override;

    std::vector<std::string> controls;
    std::vector<std::string> screens;
    std::vector<std::string> boardEvents;
};

class TestGameApp : public apptest::TestStore, public Kavo::GameApp
{
public:
    // store: a settings store that outlives this application (so a second one can read what the
    // first wrote); null for one of its own.
    explicit TestGameApp(platform::RegistryStore* store = nullptr);
    ~TestGameApp() override;

    void Initialize() override;
    bool ChangeDirHook(const std::string&) override { return true; }
    bool DisplayRecommends3D() override { return recommends3D; }
    bool Is3DAccelerated() override { return is3D; }
    void PlaySample(int soundId) override;
    Kavo::MusicInterface* CreateMusicInterface(platform::WindowId window) override;
    // The music interface the application made.
    RecordingMusic& Music() { return *static_cast<RecordingMusic*>(mMusicInterface); }

    // Runs beforeStep first, if set.
    using Kavo::GameApp::UpdateAppStep;
    bool UpdateAppStep(bool* updated) override;

    // Initialize, then the loading thread's work and its hand-over (the title screen's button
    // becomes ready).
    void StartUp();
    // StartUp, then a click on the title screen: the screens are built and the main menu shows.
    void StartToMainMenu();
    // Runs loop steps until n more updates have run.
    void RunUpdates(int n);
    // A left click at (x, y) through the platform's input, with the updates between.
    void Click(int x, int y);
    void Type(const std::string& text);
    void PressKey(const std::string& keyName);
    // Clicks the middle of a widget.
    void ClickWidget(Kavo::Widget* widget);
    // Replaces the event log with one that writes the controls down.
    RecordingLogger& RecordEvents();
    // The dialog of that id is open.
    bool HasDialog(int id) { return GetDialog(id) != nullptr; }

    // Called before each loop step, also the steps a fade runs inside a click: what a player does
    // while the program is busy.
    std::function<void()> beforeStep;
    bool recommends3D = false;
    bool is3D = false;
    std::vector<int> sounds;
    std::vector<int> soundUpdates; // the update count when each of sounds played
};

// What ClickDuringFade saw.
struct FadeClicks
{
    int sent = 0;     // clicks sent
    int lastStep = 0; // the last step of a fade seen running
};
// From now on, clicks again at (x, y) while the fader that fader() names (asked afresh before
// each loop step; null for none) runs a fade, once its step reaches each of atSteps in turn: the
// later clicks of a double or triple click, numbered 2, 3, ... as the platform numbers them,
// arriving inside the frames the fade runs.
std::shared_ptr<FadeClicks> ClickDuringFade(TestGameApp& app, std::function<Kavo::Fader*()> fader,
                                            std::vector<int> atSteps, int x, int y);

} // namespace gametest
