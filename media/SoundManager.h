#pragma once

#include "platform/Messages.h"

namespace Kavo
{

class SoundInstance;

// Sound effects by id. This base class plays nothing: it has no sounds, gives no instances and
// only keeps the volumes it is told. The sound device's manager derives from it.
class SoundManager
{
public:
    SoundManager() = default;
    virtual ~SoundManager();

    // A fresh instance of a loaded sound, or null (the caller then plays nothing).
    virtual SoundInstance* GetSoundInstance(int soundId)
    {
        (void)soundId;
        return nullptr;
    }
    // Volume of all sound effects (0 to 1).
    virtual void SetVolume(double volume) { mVolume = volume; }
    double GetVolume() const { return mVolume; }
    // The system mixer's master volume (0 to 1).
    virtual double GetMixerVolume() { return mMixerVolume; }
    virtual void SetMixerVolume(double volume) { mMixerVolume = volume; }
    virtual void StopAllSounds() {}
    // Re-attaches the sound device to a recreated main window.
    virtual void SetCooperativeWindow(platform::WindowId window, bool windowed)
    {
        (void)window;
        (void)windowed;
    }

private:
    double mVolume = 1.0;
    double mMixerVolume = 1.0;
};

} // namespace Kavo
