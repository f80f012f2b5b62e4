#pragma once

#include "media/SoundInstance.h"
#include "platform/sound/SoundBuffer.h"

#include <cstdint>
#include <memory>

namespace Kavo
{

class DSoundManager;

// An instance of a loaded sound: a duplicate of the sound's buffer (none for a silent instance,
// which plays nothing). Its volume is volume x base volume x the manager's sound-effect volume;
// its pan is pan + base pan.
class DSoundInstance : public SoundInstance
{
public:
    // A failed duplication shows the box "Hey" and ends the process with code 0.
    DSoundInstance(DSoundManager* manager, platform::SoundBuffer* sourceSound);
    ~DSoundInstance() override;
    DSoundInstance(const DSoundInstance&) = delete;
    DSoundInstance& operator=(const DSoundInstance&) = delete;

    void Release() override;
    void SetBaseVolume(double baseVolume) override;
    void SetBasePan(int basePan) override;
    // The sound's own frequency times 2^(steps / 12), kept within 100 to 100000 Hz.
    void AdjustPitch(double steps) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override;

    void RehupVolume();
    void RehupPan();
    // The instance's own buffer; null for a silent instance.
    platform::SoundBuffer* GetSoundBuffer() const { return mSoundBuffer.get(); }

private:
    friend class DSoundManager;

    DSoundManager* mSoundManagerP;
    platform::SoundBuffer* mSourceSoundBuffer;
    std::unique_ptr<platform::SoundBuffer> mSoundBuffer;
    bool mAutoRelease = false;
    bool mHasPlayed = false;
    bool mReleased = false;
    int mBasePan = 0;
    double mBaseVolume = 1.0;
    int mPan = 0;
    double mVolume = 1.0;
    uint32_t mDefaultFrequency = 44100;
};

} // namespace Kavo
