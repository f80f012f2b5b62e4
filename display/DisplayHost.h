#pragma once

namespace Kavo
{

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
};

} // namespace Kavo
