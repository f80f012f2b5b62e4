#include "platform/sound/SoundBuffer.h"

#include "platform/sound/SoundMixer.h"
#include "platform/sound/SoundOutput.h"

#include <mutex>

namespace platform
{

using Guard = std::lock_guard<std::mutex>;

SoundBuffer::~SoundBuffer()
{
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    mixer.Remove(this);
}

uint32_t SoundBuffer::Size() const
{
    return mData ? uint32_t(mData->bytes.size()) : 0;
}

PcmView SoundBuffer::View() const
{
    const SoundFormat& f = mData->format;
    return PcmView{mData->bytes.data(), uint32_t(mData->bytes.size() / f.blockAlign), f.channels,
                   f.bitsPerSample};
}

void SoundBuffer::UpdateGains()
{
    const int32_t volume = GainOfHundredthsOfDecibel(mVolume);
    mGainLeft = int32_t(int64_t(volume) * GainOfHundredthsOfDecibel(mPan > 0 ? -mPan : 0) >> 16);
    mGainRight = int32_t(int64_t(volume) * GainOfHundredthsOfDecibel(mPan < 0 ? mPan : 0) >> 16);
    if (mData) mCursor.step = StepForRate(mFrequency ? mFrequency : mData->format.samplesPerSecond);
}

int32_t SoundBuffer::Lock(uint32_t offset, uint32_t bytes, uint8_t*& data)
{
    data = nullptr;
    if (!mData) return DSERR_INVALIDCALL;
    const uint64_t size = mData->bytes.size();
    if (offset > size || bytes > size - offset) return DSERR_INVALIDPARAM;
    data = mData->bytes.data() + offset;
    return DS_OK;
}

int32_t SoundBuffer::Unlock()
{
    return mData ? DS_OK : DSERR_INVALIDCALL;
}

int32_t SoundBuffer::Play(uint32_t flags)
{
    if (!mData) return mPrimary ? DS_OK : DSERR_INVALIDCALL;
    SoundOutput::Sync(); // time before the start does not count
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    mLooping = (flags & DSBPLAY_LOOPING) != 0;
    mPlaying = true;
    UpdateGains();
    mixer.Add(this);
    return DS_OK;
}

int32_t SoundBuffer::Stop()
{
    SoundOutput::Sync();
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    mPlaying = false;
    mixer.Remove(this);
    return DS_OK;
}

int32_t SoundBuffer::SetCurrentPosition(uint32_t byte)
{
    if (!mData) return DSERR_INVALIDCALL;
    if (byte > mData->bytes.size()) return DSERR_INVALIDPARAM;
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    mCursor.position = uint64_t(byte / mData->format.blockAlign) << 32;
    return DS_OK;
}

int32_t SoundBuffer::GetCurrentPosition(uint32_t& byte)
{
    byte = 0;
    if (!mData) return DSERR_INVALIDCALL;
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    byte = uint32_t(mCursor.position >> 32) * mData->format.blockAlign;
    return DS_OK;
}

int32_t SoundBuffer::GetStatus(uint32_t& status)
{
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    status = mPlaying ? DSBSTATUS_PLAYING | (mLooping ? DSBSTATUS_LOOPING : 0) : 0;
    return DS_OK;
}

int32_t SoundBuffer::SetVolume(int32_t volume)
{
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    Guard lock(SoundMixer::Get().Lock());
    mVolume = volume;
    UpdateGains();
    return DS_OK;
}

int32_t SoundBuffer::GetVolume(int32_t& volume) const
{
    volume = mVolume;
    return DS_OK;
}

int32_t SoundBuffer::SetPan(int32_t pan)
{
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    Guard lock(SoundMixer::Get().Lock());
    mPan = pan;
    UpdateGains();
    return DS_OK;
}

int32_t SoundBuffer::GetPan(int32_t& pan) const
{
    pan = mPan;
    return DS_OK;
}

int32_t SoundBuffer::SetFrequency(uint32_t frequency)
{
    if (!mData) return DSERR_INVALIDCALL;
    if (frequency != 0 && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    mFrequency = frequency;
    UpdateGains();
    return DS_OK;
}

int32_t SoundBuffer::GetFrequency(uint32_t& frequency) const
{
    frequency = 0;
    if (!mData) return DSERR_INVALIDCALL;
    frequency = mFrequency ? mFrequency : mData->format.samplesPerSecond;
    return DS_OK;
}

int32_t SoundBuffer::GetFormat(SoundFormat& format) const
{
    format = mData ? mData->format : mPrimaryFormat;
    return DS_OK;
}

int32_t SoundBuffer::SetFormat(const SoundFormat& format)
{
    if (!mPrimary) return DSERR_INVALIDCALL;
    mPrimaryFormat = format;
    return DS_OK;
}

bool SoundBuffer::Mix(int32_t* out, int frames)
{
    if (!mPlaying) return false;
    const int done =
        MixResampled(View(), LoopRegion{mLooping, 0, 0}, mCursor, mGainLeft, mGainRight, out, frames);
    if (done == frames) return true;
    mPlaying = false;
    mCursor.position = 0;
    return false;
}

bool SoundBuffer::Skip(int64_t frames)
{
    if (!mPlaying) return false;
    if (SkipResampled(View(), LoopRegion{mLooping, 0, 0}, mCursor, frames)) return true;
    mPlaying = false;
    mCursor.position = 0;
    return false;
}

} // namespace platform
