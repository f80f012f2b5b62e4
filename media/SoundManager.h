#pragma once

#include "platform/window/Messages.h"

#include <string>

namespace Kavo
{

class SoundInstance;

// Sound effects in 256 numbered slots (ids 0 to 255), played through instances. Volumes run
// from 0 to 1, pans from -10000 (left) to 10000 (right) hundredths of a decibel.
class SoundManager
{
public:
    // Sound ids run from 0 to kMaxSounds - 1; every operation refuses any other id.
    static constexpr int kMaxSounds = 256;

    virtual ~SoundManager();

    // Whether the sound device exists (without one nothing is heard).
    virtual bool IsInitialized() = 0;
    // The id of the sound loaded from this name, loading it into a free slot (the highest)
    // when it is new; -1 when no slot is free or it does not load.
    virtual int FindOrLoadSound(const std::string& fileName) = 0;
    // Loads the file (name without extension) into slot soundId; false when it does not load.
    virtual bool LoadSoundFile(int soundId, const std::string& fileName) = 0;
    virtual void ReleaseSound(int soundId) = 0;
    // Volume of all sound effects.
    virtual void SetVolume(double volume) = 0;
    // Volume and pan that the sound's instances made from now on start with; false for an id
    // outside 0 to 255.
    virtual bool SetBaseVolume(int soundId, double baseVolume) = 0;
    virtual bool SetBasePan(int soundId, int basePan) = 0;
    // A fresh instance of a loaded sound, owned by the manager, or null (the caller then plays
    // nothing).
    virtual SoundInstance* GetSoundInstance(int soundId) = 0;
    virtual void ReleaseAllSounds() = 0;
    virtual void ReleaseAllInstances() = 0;
    // The system mixer's master volume.
    virtual double GetMixerVolume() = 0;
    virtual void SetMixerVolume(double volume) = 0;
    virtual void Reserved13() = 0;
    // Re-attaches the sound device to a recreated main window.
    virtual void SetCooperativeWindow(platform::WindowId window, bool windowed) = 0;
    // Stops every playing instance; one-shot instances still release themselves.
    virtual void StopAllSounds() = 0;
    // The lowest free id, or -1.
    virtual int GetFreeSoundId() = 0;
    // How many slots hold a sound.
    virtual int GetNumSounds() = 0;
};

} // namespace Kavo
