#pragma once

#include "platform/fault/CrashRecord.h"

// The two stack walks of a crash report. Both are async-signal-safe and read the stack only
// through platform::SafeRead, so a corrupt stack ends a walk instead of faulting.
namespace platform
{

// Along the saved frame pointers (the build keeps them). Frame 0 is (pc, frame); each further
// frame's code address is the word at frame + 8 and its frame the word at frame. The walk
// stops when that next frame pointer is not a multiple of 8, does not lie above the frame
// before it, or its two words cannot be read - the first frame's words included - and after
// maxFrames frames. Returns the number of frames written: at least 1 when maxFrames > 0.
int WalkFramePointers(uint64_t pc, uint64_t frame, CrashFrame* frames, int maxFrames);

// The unwinder's walk from a signal handler's context (its third argument). Each frame's
// frame address is its stack pointer, and its params the four words there. count grows with
// each frame written, so a walk cut short keeps what it found. error: 0 when the walk reached
// the outermost frame or maxFrames, else the unwinder's negative error code.
void WalkUnwinder(void* signalContext, CrashFrame* frames, int maxFrames, int& count, int& error);

} // namespace platform
