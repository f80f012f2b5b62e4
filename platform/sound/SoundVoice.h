#pragma once

#include <cstdint>

namespace platform
{

// Something the mixer plays: a sound buffer or a music channel. Every call comes with the
// mixer's lock held.
class SoundVoice
{
public:
    virtual ~SoundVoice() = default;

    // Adds frames of 44,100 Hz stereo (left, right) to out; false when the voice has ended
    // (the mixer then drops it).
    virtual bool Mix(int32_t* out, int frames) = 0;
    // Moves on by frames without output, as Mix would; false when the voice has ended.
    virtual bool Skip(int64_t frames) = 0;
};

} // namespace platform
