#pragma once

namespace Kavo
{

// One playing (or ready to play) copy of a loaded sound.
class SoundInstance
{
public:
    virtual ~SoundInstance() = default;

    // Frees the instance (it must not be used afterwards).
    virtual void Release() = 0;
    // 0 to 1.
    virtual void SetVolume(double volume) = 0;
    // -10000 (left) to 10000 (right) hundredths of a decibel of attenuation on the other side.
    virtual void SetPan(int pan) = 0;
    // Shifts the pitch by this many semitones.
    virtual void AdjustPitch(double steps) = 0;
    // Starts it; with autoRelease it frees itself when it ends. False when it cannot play.
    virtual bool Play(bool looping, bool autoRelease) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
};

} // namespace Kavo
