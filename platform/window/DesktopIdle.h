#pragma once

#include <cstdint>
#include <functional>

// What the desktop says of its screen saver and of the player's idleness: the time-out after
// which it starts, whether it is on and running, and how long ago the keyboard or mouse was
// last used. Main thread only.
namespace platform
{

struct ScreenSaverState
{
    bool active = false; // the desktop starts its screen saver after timeoutSeconds of idleness
    int timeoutSeconds = 0;
    bool running = false; // it runs now
    uint32_t idleMs = 0;  // since the last keyboard or mouse input anywhere on the desktop
};

// False when the desktop cannot tell (no display, no main window, or a desktop without the X
// screen saver extension); the state is then left as it was.
bool GetScreenSaverState(ScreenSaverState& state);
// Tests answer in the desktop's place; an empty function gives the desktop back.
void SetScreenSaverStateSource(std::function<bool(ScreenSaverState&)> source);

} // namespace platform
