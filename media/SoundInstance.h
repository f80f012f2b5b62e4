#pragma once

namespace Kavo
{

// One playing (or ready to play) copy of a loaded sound. Volumes run from 0 to 1, pans from
// -10000 (left) to 10000 (right) hundredths of a decibel, pitches are semitones.
class SoundInstance
{
public:
    virtual ~SoundInstance();

    // Stops it; the manager frees it later (it must not be used afterwards).
    virtual void Release() = 0;
    virtual void SetBaseVolume(double baseVolume) = 0;
    virtual void SetBasePan(int basePan) = 0;
    // Shifts the pitch from the sound's own by this many semitones.
    virtual void AdjustPitch(double steps) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual void SetPan(int pan) = 0;
    // Starts it from the beginning; with autoRelease it frees itself when it ends, and the
    // caller keeps no pointer. False when it cannot play.
    virtual bool Play(bool looping, bool autoRelease) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    virtual bool IsReleased() = 0;
    // The volume last set.
    virtual double GetVolume() = 0;
};

} // namespace Kavo
