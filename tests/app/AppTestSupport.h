#pragma once

// A headless application for tests: SDL's dummy desktop, a fake clock, an in-memory settings
// store, message boxes answered by the test, and ExitProgram throwing instead of ending the
// process.
#include "app/KavoAppBase.h"
#include "platform/files/Files.h"
#include "platform/files/Registry.h"
#include "platform/system/FakeClock.h"
#include "platform/window/Window.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace apptest
{

struct ProgramExit
{
    int code;
};

inline void ThrowOnExit(int code)
{
    throw ProgramExit{code};
}

// The exit code the call ended the program with, or -1 when it returned.
inline int ExitCodeOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const ProgramExit& exit)
    {
        return exit.code;
    }
    return -1;
}

// Outlives the application object, whose destructor still writes settings and may ask
// questions.
struct TestStore
{
    ~TestStore() { platform::SetMessageBoxAnswerer({}); }

    platform::RegistryStore mStore;
    std::vector<std::string> mBoxes;
    std::vector<std::string>* mBoxLog = &mBoxes; // where the boxes are written down
    int mBoxAnswer = platform::IDOK;
};

class TestApp : public TestStore, public Kavo::KavoAppBase
{
public:
    TestApp()
    {
        sExitHandler = &ThrowOnExit;
        mRegKey = "VelquisTest\\Game";
        mProductName = "TestProduct";
        mProductVersion = "1.01";
        mWidth = 320;
        mHeight = 240;
        mIsWindowed = true;
        mOnlyAllowOneCopyToRun = false;
        mLoadingThreadEnabled = false;
        SetRegistryStore(&mStore);
        // Headless, the 3D renderer is SDL's software one, which the 3D test passes only with its
        // switch: on, so that the tests meet the 3D road as a machine with 3D hardware would.
        AcceptSoftwareRenderer(true);
        platform::SetMessageBoxAnswerer(
            [this](const std::string& text, const std::string& title, unsigned)
            {
                mBoxLog->push_back(title + ": " + text);
                return mBoxAnswer;
            });
    }
    ~TestApp() override { Shutdown(); }

    // Tests keep their own working folder.
    bool ChangeDirHook(const std::string&) override { return true; }

    // The 3D test's switch that lets a software rasteriser pass.
    void AcceptSoftwareRenderer(bool on)
    {
        WriteTest3DValue("AcceptSoftwareRenderer", platform::kRegDword,
                         std::string(on ? "\1\0\0\0" : "\0\0\0\0", 4));
    }

    // Runs loop steps until n more updates have run.
    void RunUpdates(int n)
    {
        int target = mUpdateCount + n;
        for (int guard = 0; mUpdateCount < target && !mShutdown && guard < 100000; ++guard)
            UpdateAppStep(nullptr);
    }
};

// Keeps the test in a fresh folder of its own while it lives, so that what the application
// writes in the working folder ("ScrError.txt") does not meet the files of tests running beside.
class InOwnFolder
{
public:
    explicit InOwnFolder(const std::string& name) : mBefore(platform::CurrentFolder())
    {
        std::string folder = mBefore + name + "/";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        platform::SetCurrentFolder(folder);
    }
    ~InOwnFolder() { platform::SetCurrentFolder(mBefore); }

private:
    std::string mBefore;
};

// A widget covering the screen that writes down every call it gets, with the update count.
class RecordingWidget : public Kavo::Widget
{
public:
    RecordingWidget(Kavo::KavoAppBase* app, std::vector<std::string>* log) : mApp(app), mLog(log)
    {
        mWantsFocus = true;
    }

    void Note(const std::string& what)
    {
        mLog->push_back("u" + std::to_string(mApp->mUpdateCount) + " " + what);
    }

    void MouseMove(int x, int y) override { Note("move " + std::to_string(x) + "," + std::to_string(y)); }
    void MouseDrag(int x, int y) override { Note("drag " + std::to_string(x) + "," + std::to_string(y)); }
    void MouseDown(int x, int y, int clicks) override
    {
        Note("down " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(clicks));
    }
    void MouseUp(int x, int y, int clicks) override
    {
        Note("up " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(clicks));
    }
    void MouseWheel(int delta) override { Note("wheel " + std::to_string(delta)); }
    void KeyDown(int key) override
    {
        Note("keydown " + std::to_string(key));
        if (key == 'R')
        {
            // A settings read in the middle of play.
            int volume = -1;
            bool found = mApp->RegistryReadInteger("MusicVolume", &volume);
            Note("read " + std::to_string(found) + " " + std::to_string(volume));
        }
    }
    void KeyUp(int key) override { Note("keyup " + std::to_string(key)); }
    void KeyChar(char c) override
    {
        Note("char " + std::to_string(int(uint8_t(c))));
        if (c == 22) Note("paste " + mApp->GetClipboard()); // Ctrl+V
    }
    void GotFocus() override { Note("gotfocus"); }
    void LostFocus() override { Note("lostfocus"); }

private:
    Kavo::KavoAppBase* mApp;
    std::vector<std::string>* mLog;
};

} // namespace apptest
