#pragma once

#include "media/DSoundInstance.h"
#include "media/SoundManager.h"
#include "platform/sound/SoundBuffer.h"
#include "platform/sound/SoundDevice.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Kavo
{

class FMOD_INSTANCE;

// The sound manager over the sound device: each loaded sound is one static buffer, each
// instance a duplicate of it with its own volume, pan, frequency and looping; at most 32
// instances live at once. Without a window or a sound device it stays silent: loading reports
// success without loading, and instances play nothing. Used by the main thread, and by the
// loading thread while it loads sounds; it takes no lock.
class DSoundManager : public SoundManager
{
public:
    static constexpr int kMaxInstances = 32;

    // window: the main window, or none for a silent manager; useFMod: ".mp3" effects are decoded
    // through "fmod.dll", which this manager initialises.
    DSoundManager(platform::WindowId window, bool useFMod);
    ~DSoundManager() override;
    DSoundManager(const DSoundManager&) = delete;
    DSoundManager& operator=(const DSoundManager&) = delete;

    bool IsInitialized() override;
    int FindOrLoadSound(const std::string& fileName) override;
    bool LoadSoundFile(int soundId, const std::string& fileName) override;
    void ReleaseSound(int soundId) override;
    void SetVolume(double volume) override;
    bool SetBaseVolume(int soundId, double baseVolume) override;
    bool SetBasePan(int soundId, int basePan) override;
    DSoundInstance* GetSoundInstance(int soundId) override;
    void ReleaseAllSounds() override;
    void ReleaseAllInstances() override;
    double GetMixerVolume() override;
    void SetMixerVolume(double volume) override;
    void Reserved13() override {}
    void SetCooperativeWindow(platform::WindowId window, bool windowed) override;
    void StopAllSounds() override;
    int GetFreeSoundId() override;
    int GetNumSounds() override;

    // The sound-file readers: each decodes the whole file into the slot's buffer.
    bool LoadWave(int soundId, const std::string& path);
    bool LoadMp3ThroughFMod(int soundId, const std::string& path);
    bool LoadOgg(int soundId, const std::string& path);
    bool LoadAu(int soundId, const std::string& path);
    // Writes the slot's sound to the wave cache, naming sourcePath (with its extension) as its
    // source; false when nothing was written.
    bool WriteCachedWave(int soundId, const std::string& sourcePath, const std::string& cachePath);
    // The wave cache's file for a sound name without extension.
    static std::string CachePathOf(const std::string& fileName);

    // The sound-effect volume (0 to 1) on top of every instance's own.
    double GetMasterVolume() const { return mMasterVolume; }
    // Instance slots in use, live or released but not yet deleted.
    int GetNumInstanceSlotsInUse() const;
    platform::SoundBuffer* GetSourceSound(int soundId) const;
    uint32_t GetSourceDataSize(int soundId) const;

    // Attenuation in hundredths of a decibel of a volume from 0 to 1 (-10000 is silence).
    static int VolumeToDecibels(double volume);
    // How the process ends after a sound buffer could not be duplicated (tests replace it).
    static void (*sExitHandler)(int code);

private:
    friend class DSoundInstance;

    static bool ValidId(int soundId) { return soundId >= 0 && soundId < kMaxSounds; }
    int FindFreeInstanceSlot();
    // A static buffer of the format for the slot, its data size recorded; false when the device
    // refuses it.
    bool CreateBuffer(int soundId, int channels, uint32_t rate, int bits, uint32_t bytes);

    std::unique_ptr<platform::SoundBuffer> mSourceSounds[kMaxSounds];
    std::string mSourceFileNames[kMaxSounds];
    std::unique_ptr<platform::SoundBuffer> mPrimarySoundBuffer;
    uint32_t mSourceDataSizes[kMaxSounds] = {};
    double mBaseVolumes[kMaxSounds];
    int mBasePans[kMaxSounds] = {};
    DSoundInstance* mPlayingSounds[kMaxInstances] = {};
    double mMasterVolume = 1.0;
    uint32_t mLastReleaseTick = 0;
    std::unique_ptr<platform::SoundDevice> mDirectSound;
    bool mUseFMod;
    FMOD_INSTANCE* mFMod = nullptr;
};

} // namespace Kavo

namespace Kavo
{

// The file's last-write time as a FILETIME (100 ns since 1601); false with the time 0 when the
// file is not on the disk.
bool GetFileLastWriteTime(const std::string& path, uint64_t& fileTime);

} // namespace Kavo
