#pragma once

#include "platform/sound/Resample.h"
#include "platform/sound/SoundDevice.h"
#include "platform/sound/SoundVoice.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform
{

// A static PCM buffer made by SoundDevice: its data (shared with its duplicates) and its own
// playing state. It plays through the process's mixer until it ends, is stopped or is destroyed.
class SoundBuffer : private SoundVoice
{
public:
    ~SoundBuffer() override;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // The bytes [offset, offset + bytes) for writing; DSERR_INVALIDPARAM when they do not lie in
    // the buffer, DSERR_INVALIDCALL for the primary buffer.
    int32_t Lock(uint32_t offset, uint32_t bytes, uint8_t*& data);
    int32_t Unlock();

    // From the current position, once or looping (DSBPLAY_LOOPING).
    int32_t Play(uint32_t flags);
    // Stops where it stands (the position stays).
    int32_t Stop();
    int32_t SetCurrentPosition(uint32_t byte);
    int32_t GetCurrentPosition(uint32_t& byte);
    // DSBSTATUS_PLAYING and DSBSTATUS_LOOPING.
    int32_t GetStatus(uint32_t& status);

    // DSBVOLUME_MIN to DSBVOLUME_MAX; DSERR_INVALIDPARAM outside.
    int32_t SetVolume(int32_t volume);
    int32_t GetVolume(int32_t& volume) const;
    // DSBPAN_LEFT to DSBPAN_RIGHT; DSERR_INVALIDPARAM outside.
    int32_t SetPan(int32_t pan);
    int32_t GetPan(int32_t& pan) const;
    // DSBFREQUENCY_MIN to DSBFREQUENCY_MAX, or 0 for the format's own rate.
    int32_t SetFrequency(uint32_t frequency);
    int32_t GetFrequency(uint32_t& frequency) const;

    int32_t GetFormat(SoundFormat& format) const;
    // The primary buffer only: the output stays 44,100 Hz 16-bit stereo whatever is set.
    int32_t SetFormat(const SoundFormat& format);

    uint32_t Size() const;
    bool IsPrimary() const { return mPrimary; }

private:
    friend class SoundDevice;
    struct Data
    {
        SoundFormat format;
        std::vector<uint8_t> bytes;
    };

    SoundBuffer() = default;
    bool Mix(int32_t* out, int frames) override;
    bool Skip(int64_t frames) override;
    PcmView View() const;
    // Gains of the left and right channel from the volume and pan (65536 is 1.0).
    void UpdateGains();

    bool mPrimary = false;
    SoundFormat mPrimaryFormat;
    std::shared_ptr<Data> mData;
    PlayCursor mCursor;
    bool mPlaying = false;
    bool mLooping = false;
    int32_t mVolume = 0;
    int32_t mPan = 0;
    uint32_t mFrequency = 0;
    int32_t mGainLeft = 65536;
    int32_t mGainRight = 65536;
};

} // namespace platform
