#include "media/DSoundManager.h"

#include "media/DSoundInstance.h"
#include "media/FMOD_INSTANCE.h"
#include "platform/sound/SoundOutput.h"
#include "platform/system/Clock.h"
#include "platform/system/Library.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Kavo
{

namespace
{

[[noreturn]] void ExitProcess(int code)
{
    std::fflush(nullptr);
    std::exit(code);
}

using DirectSoundCreateFunction = int32_t (*)(const void* deviceId, platform::SoundDevice** device);

} // namespace

void (*DSoundManager::sExitHandler)(int code) = &ExitProcess;

DSoundManager::DSoundManager(platform::WindowId window, bool useFMod) : mUseFMod(useFMod)
{
    for (double& volume : mBaseVolumes)
        volume = 1.0;
    if (window == platform::kNoWindow) return;

    platform::LibraryHandle dsound = platform::LoadLibrary("dsound.dll");
    auto create =
        reinterpret_cast<DirectSoundCreateFunction>(platform::GetProcAddress(dsound, "DirectSoundCreate"));
    platform::SoundDevice* device = nullptr;
    const bool created = create && create(nullptr, &device) == platform::DS_OK;
    mDirectSound.reset(device);
    platform::FreeLibrary(dsound);
    if (!created) return;

    if (mUseFMod)
    {
        mFMod = AcquireFModInstance();
        if (mFMod->IsLoaded())
        {
            mFMod->FSOUND_SetHWND(window);
            mFMod->FSOUND_SetBufferSize(200);
            mFMod->FSOUND_Init(44100, 64, 2);
        }
    }

    if (mDirectSound->SetCooperativeLevel(window, platform::DSSCL_PRIORITY) != platform::DS_OK)
    {
        mDirectSound->SetCooperativeLevel(window, platform::DSSCL_NORMAL);
        return;
    }
    platform::SoundBufferDesc primary;
    primary.flags = platform::DSBCAPS_PRIMARYBUFFER;
    if (mDirectSound->CreateSoundBuffer(primary, mPrimarySoundBuffer) == platform::DS_OK)
        mPrimarySoundBuffer->SetFormat(platform::SoundFormat{1, 2, 44100, 176400, 4, 16});
}

DSoundManager::~DSoundManager()
{
    ReleaseAllInstances();
    ReleaseAllSounds();
    mPrimarySoundBuffer.reset();
    if (mDirectSound)
    {
        if (mFMod && mFMod->IsLoaded()) mFMod->FSOUND_Close();
        mDirectSound.reset();
    }
    if (mFMod) ReleaseFModInstance();
}

bool DSoundManager::IsInitialized()
{
    return mDirectSound != nullptr;
}

int DSoundManager::FindOrLoadSound(const std::string& fileName)
{
    for (int id = 0; id < kMaxSounds; ++id)
        if (mSourceFileNames[id] == fileName) return id;
    for (int id = kMaxSounds - 1; id >= 0; --id)
        if (!mSourceSounds[id]) return LoadSoundFile(id, fileName) ? id : -1;
    return -1;
}

void DSoundManager::ReleaseSound(int soundId)
{
    if (!ValidId(soundId) || !mSourceSounds[soundId]) return;
    mSourceSounds[soundId].reset();
    mSourceFileNames[soundId].clear();
}

void DSoundManager::ReleaseAllSounds()
{
    for (auto& sound : mSourceSounds)
        sound.reset();
}

void DSoundManager::ReleaseAllInstances()
{
    for (DSoundInstance*& instance : mPlayingSounds)
    {
        delete instance;
        instance = nullptr;
    }
}

int DSoundManager::VolumeToDecibels(double volume)
{
    int decibels = int((std::log10(volume * 9 + 1) - 1) * 2333);
    return decibels < -2000 ? -10000 : decibels;
}

void DSoundManager::SetVolume(double volume)
{
    mMasterVolume = volume;
    for (DSoundInstance* instance : mPlayingSounds)
        if (instance) instance->RehupVolume();
}

bool DSoundManager::SetBaseVolume(int soundId, double baseVolume)
{
    if (!ValidId(soundId)) return false;
    mBaseVolumes[soundId] = baseVolume;
    return true;
}

bool DSoundManager::SetBasePan(int soundId, int basePan)
{
    if (!ValidId(soundId)) return false;
    mBasePans[soundId] = basePan;
    return true;
}

int DSoundManager::FindFreeInstanceSlot()
{
    const uint32_t now = platform::Clock::Get().Ticks();
    if (now - mLastReleaseTick > 1000)
    {
        for (DSoundInstance*& instance : mPlayingSounds)
            if (instance && instance->IsReleased())
            {
                delete instance;
                instance = nullptr;
            }
        mLastReleaseTick = now;
    }
    for (int slot = 0; slot < kMaxInstances; ++slot)
    {
        DSoundInstance*& instance = mPlayingSounds[slot];
        if (!instance) return slot;
        if (instance->IsReleased())
        {
            delete instance;
            instance = nullptr;
            return slot;
        }
    }
    return -1;
}

DSoundInstance* DSoundManager::GetSoundInstance(int soundId)
{
    if (!ValidId(soundId)) return nullptr;
    const int slot = FindFreeInstanceSlot();
    if (slot < 0) return nullptr;
    platform::SoundBuffer* source = nullptr;
    if (mDirectSound)
    {
        source = mSourceSounds[soundId].get();
        if (!source) return nullptr;
    }
    DSoundInstance* instance = new DSoundInstance(this, source);
    mPlayingSounds[slot] = instance;
    instance->SetBasePan(mBasePans[soundId]);
    instance->SetBaseVolume(mBaseVolumes[soundId]);
    return instance;
}

void DSoundManager::StopAllSounds()
{
    for (DSoundInstance* instance : mPlayingSounds)
        if (instance)
        {
            const bool autoRelease = instance->mAutoRelease;
            instance->Stop();
            instance->mAutoRelease = autoRelease;
        }
}

double DSoundManager::GetMixerVolume()
{
    return platform::SoundOutput::MasterVolume() / 65535.0;
}

void DSoundManager::SetMixerVolume(double volume)
{
    const double value = volume * 65535;
    platform::SoundOutput::SetMasterVolume(value <= 0 ? 0u : value >= 65535 ? 65535u : uint32_t(value));
}

void DSoundManager::SetCooperativeWindow(platform::WindowId window, bool windowed)
{
    (void)windowed;
    if (mDirectSound) mDirectSound->SetCooperativeLevel(window, platform::DSSCL_NORMAL);
}

int DSoundManager::GetFreeSoundId()
{
    for (int id = 0; id < kMaxSounds; ++id)
        if (!mSourceSounds[id]) return id;
    return -1;
}

int DSoundManager::GetNumSounds()
{
    int count = 0;
    for (const auto& sound : mSourceSounds)
        if (sound) ++count;
    return count;
}

int DSoundManager::GetNumInstanceSlotsInUse() const
{
    int count = 0;
    for (const DSoundInstance* instance : mPlayingSounds)
        if (instance) ++count;
    return count;
}

platform::SoundBuffer* DSoundManager::GetSourceSound(int soundId) const
{
    return ValidId(soundId) ? mSourceSounds[soundId].get() : nullptr;
}

uint32_t DSoundManager::GetSourceDataSize(int soundId) const
{
    return ValidId(soundId) ? mSourceDataSizes[soundId] : 0;
}

} // namespace Kavo
