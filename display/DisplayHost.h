#pragma once

#include "base/Rect.h"

#include <cstdint>
#include <string>

namespace Kavo
{

class ImageRegistry;

// The application's settings that the display reads at each initialisation and presentation.
struct DisplaySettings
{
    int fullScreenBits = 16;      // bits per pixel of the full-screen display mode
    bool flipInFullScreen = true; // full screen presents by flipping
    bool popupShown = false;      // a message box is up over the full screen
    bool waitForVSync = false;    // presentation waits for the vertical blank
    bool softVSync = true;        // ... by the frame pacing rather than the display's scan line
    bool want3D = false;          // the player's wish for 3D acceleration
    bool autoTest3D = false;      // decide 3D acceleration by the 3D test
    int minVidMemory = 6;         // megabytes of video memory below which 3D is refused
    int recVidMemory = 14;        // ... and below which the test warns
    bool playingDemo = false;     // a demo plays back: the 3D verdict comes from it
    bool minimized = false;       // nothing is drawn through 3D meanwhile
    bool stretchToAspect = false; // the draw buffer takes the screen's aspect
    bool aspectHack = false;      // a window of another aspect than the draw buffer
    int aspectHackNumerator = 4;
    int aspectHackDenominator = 3;
};

// What the display needs of the application that owns it. The application object implements it;
// display tests use a small fake.
class DisplayHost
{
public:
    virtual ~DisplayHost() = default;

    // The size of the screen image the display presents, in pixels (800 x 600 for the game).
    virtual int GetScreenWidth() = 0;
    virtual int GetScreenHeight() = 0;
    // True when presentation waits for the monitor's vertical blank.
    virtual bool WantsVerticalSync() = 0;
    // Called by Init when the monitor's refresh rate is one the frame pacing cannot follow.
    virtual void SetUnusualRefreshRate(bool unusual) = 0;

    virtual DisplaySettings GetDisplaySettings() = 0;
    // Where the screen image lands on the screen (the application maps the mouse through it).
    virtual void SetScreenRect(const Rect& rect) = 0;
    // The registry of the images the display makes.
    virtual ImageRegistry* GetImageRegistry() = 0;
    // The 3D test ran and reached a verdict of its own (not one from its cache).
    virtual void NewTestVerdict() {}

    // The 3D test's cache and the renderer's last error: values of the settings key "Test3D"
    // (types as the settings store's: 1 text, 3 binary, 4 number). These bypass demo
    // recording: the verdict reaches a demo through DemoSyncString and DemoSyncBool.
    virtual bool ReadTest3DValue(const std::string& name, uint32_t& type, std::string& data) = 0;
    virtual bool WriteTest3DValue(const std::string& name, uint32_t type, const std::string& data) = 0;
    // Bracket a run of WriteTest3DValue calls that reaches the settings file as one rewrite at
    // EndTest3DWrites (so a kill between them cannot leave a verdict of two tests).
    virtual void BeginTest3DWrites() {}
    virtual void EndTest3DWrites() {}
    // Recorded into a demo being recorded; replaced by the recorded value while one plays.
    virtual void DemoSyncString(std::string& value) = 0;
    virtual void DemoSyncBool(bool& value) = 0;
};

} // namespace Kavo
