#pragma once

#include "media/SoundManager.h"

namespace Kavo
{

// The sound manager the application makes at start-up. Until the sound device exists it plays
// nothing, as a manager without a usable device does.
class DSoundManager : public SoundManager
{
public:
    // window: the main window, or none when the application wants no sound; alternative: the
    // application's alternative-music flag.
    DSoundManager(platform::WindowId window, bool alternative) : mWindow(window), mAlternative(alternative) {}

    platform::WindowId GetWindow() const { return mWindow; }
    bool IsAlternative() const { return mAlternative; }
    void SetCooperativeWindow(platform::WindowId window, bool windowed) override
    {
        (void)windowed;
        mWindow = window;
    }

private:
    platform::WindowId mWindow;
    bool mAlternative;
};

} // namespace Kavo
