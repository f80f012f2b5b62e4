#pragma once

#include <cstdint>

// Mixing one stretch of PCM into the mixer's 44,100 Hz stereo sum, at any playback rate, with
// linear interpolation. Shared by the sound buffers and the music channels.
namespace platform
{

// PCM as the buffers hold it: interleaved frames, 8-bit unsigned or 16-bit signed samples.
struct PcmView
{
    const void* data = nullptr;
    uint32_t frames = 0;
    int channels = 1; // 1 or 2
    int bits = 16;    // 8 or 16
};

// Where a voice stands: position in frames in 32.32 fixed point, and the step per output frame.
struct PlayCursor
{
    uint64_t position = 0;
    uint64_t step = uint64_t(1) << 32;
};

// The step of a source played at rate Hz into the 44,100 Hz output.
inline uint64_t StepForRate(uint32_t rate)
{
    return (uint64_t(rate) << 32) / 44100u;
}

// The region [start, end) of frames that a looping voice repeats; end 0 means the whole source.
struct LoopRegion
{
    bool looping = false;
    uint32_t start = 0;
    uint32_t end = 0;
};

// Adds up to frames output frames to out (interleaved left, right), each sample scaled by the
// channel's gain (65536 is 1.0). Returns the frames written: fewer than asked only when a
// voice that does not loop reached its end.
int MixResampled(const PcmView& pcm, const LoopRegion& loop, PlayCursor& cursor, int32_t gainLeft,
                 int32_t gainRight, int32_t* out, int frames);

// Moves the cursor on by frames output frames without output; false when a voice that does not
// loop reached its end.
bool SkipResampled(const PcmView& pcm, const LoopRegion& loop, PlayCursor& cursor, int64_t frames);

} // namespace platform

namespace platform
{

// The gain (65536 is 1.0) of an attenuation in hundredths of a decibel (0 down to -10000, which
// is silence).
int32_t GainOfHundredthsOfDecibel(int32_t attenuation);

} // namespace platform
