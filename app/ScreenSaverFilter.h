#pragma once

#include "platform/window/Messages.h"

#include <cstdint>

namespace Kavo
{

class KavoAppBase;

// The input filter of screensaver mode ("-screensaver"): the window procedure asks it first about
// every message. Real input ends the saver: a key or mouse button pressed, a close, the
// application losing the activation, or the fourth move of the mouse to a new place (up to three
// moves of jitter are swallowed; the first report of where the pointer is over the new window is
// no move). Within a second of a monitor-power command, activation, close
// and mouse moves do not count. Ending posts WM_CLOSE to the main window; from then on every
// message takes the normal path, so that close ends the program.
//
// There is no screen-saver password here: the saver ends as when a password was accepted.
class ScreenSaverFilter
{
public:
    // True when the message is consumed: the window procedure then returns *result (0). app may
    // be null (no application: messages for every window count).
    bool Filter(KavoAppBase* app, const platform::Message& message, int64_t* result);

    bool mInitialized = false; // the first WM_CREATE has been seen
    bool mClosing = false;     // WM_CLOSE has been posted
    int mLastX = 0;            // the mouse position moves are compared with
    int mLastY = 0;
    int mMoveCount = 0; // moves to a new position so far
    // The pointer's position was known when the window was made; until it is, the first
    // move reported gives it.
    bool mPositionKnown = false;

private:
    // Input that ends the saver unless it is for another window or falls in the grace second.
    // Always false: the message goes on to the window procedure.
    bool EndCheck(KavoAppBase* app, const platform::Message& message);
};

} // namespace Kavo
