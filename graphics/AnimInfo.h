#pragma once

#include <vector>

namespace Kavo
{

// How the cels of an image animate.
class AnimInfo
{
public:
    enum
    {
        AnimNone = 0,
        AnimOnce = 1,
        AnimPingPong = 2,
        AnimLoop = 3
    };

    int animType = AnimNone;
    int frameDelay = 1;             // default delay of a frame, at least 1
    int numCels = 1;                // number of frames, at least 1
    std::vector<int> perFrameDelay; // empty: every frame takes frameDelay
    std::vector<int> frameMap;      // frame -> cel; empty: frame n shows cel n
    int totalAnimTime = 0;          // sum of the frame delays

    AnimInfo() = default;
    AnimInfo(const AnimInfo& other) = default;
    AnimInfo& operator=(const AnimInfo& other) = default;

    // Grows perFrameDelay to frame + 1 entries (new ones 0) when shorter, then stores the delay.
    void SetPerFrameDelay(int frame, int delay);
    // Settles the frame count, the ping-pong frame map, the first and last frame delays
    // (when above 0) and the total time.
    void Compute(int cels, int beginFrameTime, int endFrameTime);
};

} // namespace Kavo
