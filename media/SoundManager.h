#pragma once

#include "base/PakFile.h"
#include "platform/Messages.h"

#include <string>

namespace Kavo
{

class SoundInstance;

// Sound effects by id. This base class plays nothing: it gives no instances and only keeps the
// volumes it is told and, per sound id, the name of the file loaded into it. The sound device's
// manager derives from it.
class SoundManager
{
public:
    // Sound ids run from 0 to kMaxSounds - 1; every operation refuses any other id.
    static constexpr int kMaxSounds = 256;

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

    // The lowest id that holds no sound, or -1 when all are taken.
    virtual int GetFreeSoundId()
    {
        for (int id = 0; id < kMaxSounds; ++id)
            if (mFileNames[id].empty()) return id;
        return -1;
    }
    // Loads the file (tried with ".wav", ".mp3", ".ogg", ".au" appended, then as given) into the
    // id and records its name; false for an id out of range or a file that does not open.
    virtual bool LoadSoundFile(int soundId, const std::string& fileName)
    {
        if (!ValidId(soundId)) return false;
        for (const char* extension : {".wav", ".mp3", ".ogg", ".au", ""})
        {
            if (PakFileHandle* file = PakFOpen((fileName + extension).c_str(), "rb"))
            {
                PakFClose(file);
                mFileNames[soundId] = fileName;
                return true;
            }
        }
        return false;
    }
    // The volume (0 to 1) and pan (-10000 left to 10000 right) of instances made afterwards;
    // false for an id out of range.
    virtual bool SetBaseVolume(int soundId, double volume)
    {
        (void)volume;
        return ValidId(soundId);
    }
    virtual bool SetBasePan(int soundId, int pan)
    {
        (void)pan;
        return ValidId(soundId);
    }
    // Frees the id (nothing for an id out of range or one that holds no sound).
    virtual void ReleaseSound(int soundId)
    {
        if (ValidId(soundId)) mFileNames[soundId].clear();
    }

private:
    static bool ValidId(int soundId) { return soundId >= 0 && soundId < kMaxSounds; }

    double mVolume = 1.0;
    double mMixerVolume = 1.0;
    std::string mFileNames[kMaxSounds]; // empty: the id is free
};

} // namespace Kavo
