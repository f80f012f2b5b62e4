#pragma once

namespace Kavo
{

// The volume of a song and its fade, as both music back-ends keep them: volume 0 to the cap,
// moved by the fade step at every update.
struct MusicFade
{
    double mVolume = 0.0;
    double mVolumeAdd = 0.0; // the fade step per update
    double mVolumeCap = 1.0;
    bool mStopOnFade = false;

    // One update of a fade that runs: the volume moves by the step and stops at the cap or at 0.
    // True when the fade ended in silence with the song to be stopped.
    bool StepFade()
    {
        mVolume += mVolumeAdd;
        if (mVolume > mVolumeCap)
        {
            mVolume = mVolumeCap;
            mVolumeAdd = 0.0;
        }
        else if (mVolume < 0.0)
        {
            mVolume = 0.0;
            mVolumeAdd = 0.0;
            return mStopOnFade;
        }
        return false;
    }
};

} // namespace Kavo
