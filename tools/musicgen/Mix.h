#pragma once

#include "tools/musicgen/Score.h"
#include "tools/synth/Dsp.h"

// Rendering a song as a seamless loop.
namespace musicgen
{

// The loop's length in frames: a whole number of bars, which must be a whole number of frames
// (the tempo divides 44100 x 240). Throws std::invalid_argument otherwise.
size_t LoopFrames(const Song& song);

// One pass of the loop, mixed and levelled: exactly LoopFrames samples a side. Whatever sounds past
// the end (note releases, echoes, the hall) is folded onto the start, and every effect runs over
// the loop twice so that its state at the start is the state the end leaves; played end to start,
// the loop goes on as if it had never stopped. Peaks stay at or below `ceiling`.
synth::Stereo RenderLoop(const Song& song, double ceiling);

} // namespace musicgen
