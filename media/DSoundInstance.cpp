#include "media/DSoundInstance.h"

#include "media/DSoundManager.h"
#include "platform/window/Window.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

namespace
{

const char* DuplicationErrorName(int32_t result)
{
    switch (result)
    {
    case platform::DSERR_ALLOCATED:
        return "DSERR_ALLOCATED";
    case platform::DSERR_OUTOFMEMORY:
        return "DSERR_OUTOFMEMORY";
    case platform::DSERR_INVALIDPARAM:
        return "DSERR_INVALIDPARAM";
    case platform::DSERR_INVALIDCALL:
        return "DSERR_INVALIDCALL";
    case platform::DSERR_UNINITIALIZED:
        return "DSERR_UNINITIALIZED";
    default:
        return nullptr;
    }
}

} // namespace

DSoundInstance::DSoundInstance(DSoundManager* manager, platform::SoundBuffer* sourceSound)
    : mSoundManagerP(manager), mSourceSoundBuffer(sourceSound)
{
    if (mSourceSoundBuffer)
    {
        int32_t result = manager->mDirectSound->DuplicateSoundBuffer(*mSourceSoundBuffer, mSoundBuffer);
        if (result != platform::DS_OK)
        {
            if (const char* name = DuplicationErrorName(result))
                platform::MessageBox(name, "Hey", platform::MB_OK);
            DSoundManager::sExitHandler(0);
            return;
        }
        mSoundBuffer->GetFrequency(mDefaultFrequency);
    }
    RehupVolume();
}

DSoundInstance::~DSoundInstance() = default;

void DSoundInstance::RehupVolume()
{
    if (mSoundBuffer)
        mSoundBuffer->SetVolume(
            DSoundManager::VolumeToDecibels(mVolume * mBaseVolume * mSoundManagerP->mMasterVolume));
}

void DSoundInstance::RehupPan()
{
    if (mSoundBuffer) mSoundBuffer->SetPan(mPan + mBasePan);
}

void DSoundInstance::SetVolume(double volume)
{
    mVolume = volume;
    RehupVolume();
}

void DSoundInstance::SetBaseVolume(double baseVolume)
{
    mBaseVolume = baseVolume;
    RehupVolume();
}

void DSoundInstance::SetPan(int pan)
{
    mPan = pan;
    RehupPan();
}

void DSoundInstance::SetBasePan(int basePan)
{
    mBasePan = basePan;
    RehupPan();
}

double DSoundInstance::GetVolume()
{
    return mVolume;
}

void DSoundInstance::AdjustPitch(double steps)
{
    if (!mSoundBuffer) return;
    double frequency = mDefaultFrequency * std::pow(1.0594630943592953, steps);
    frequency = std::clamp(frequency, 100.0, 100000.0);
    mSoundBuffer->SetFrequency(uint32_t(frequency));
}

bool DSoundInstance::Play(bool looping, bool autoRelease)
{
    Stop();
    mHasPlayed = true;
    mAutoRelease = autoRelease;
    if (!mSoundBuffer) return false;
    return mSoundBuffer->Play(looping ? platform::DSBPLAY_LOOPING : 0) == platform::DS_OK;
}

void DSoundInstance::Stop()
{
    if (mSoundBuffer)
    {
        mSoundBuffer->Stop();
        mSoundBuffer->SetCurrentPosition(0);
    }
    mAutoRelease = false;
}

void DSoundInstance::Release()
{
    Stop();
    mReleased = true;
}

bool DSoundInstance::IsPlaying()
{
    if (!mHasPlayed || !mSoundBuffer) return false;
    uint32_t status = 0;
    if (mSoundBuffer->GetStatus(status) != platform::DS_OK) return false;
    return (status & platform::DSBSTATUS_PLAYING) != 0;
}

bool DSoundInstance::IsReleased()
{
    if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying()) Release();
    return mReleased;
}

} // namespace Kavo
