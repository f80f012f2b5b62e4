#include "graphics/AnimInfo.h"

#include <cstddef>

namespace Kavo
{

void AnimInfo::SetPerFrameDelay(int frame, int delay)
{
    if (frame < 0) return;
    if (int(perFrameDelay.size()) < frame + 1) perFrameDelay.resize(std::size_t(frame) + 1, 0);
    perFrameDelay[std::size_t(frame)] = delay;
}

void AnimInfo::Compute(int cels, int beginFrameTime, int endFrameTime)
{
    numCels = cels < 1 ? 1 : cels;
    if (frameDelay < 1) frameDelay = 1;

    if (animType == AnimPingPong && numCels > 1)
    {
        frameMap.clear();
        for (int i = 0; i < numCels; ++i)
            frameMap.push_back(i);
        for (int i = numCels - 2; i >= 1; --i)
            frameMap.push_back(i);
    }
    if (!frameMap.empty()) numCels = int(frameMap.size());

    if (beginFrameTime > 0) SetPerFrameDelay(0, beginFrameTime);
    if (endFrameTime > 0) SetPerFrameDelay(numCels - 1, endFrameTime);

    if (!perFrameDelay.empty())
    {
        perFrameDelay.resize(std::size_t(numCels), 0);
        totalAnimTime = 0;
        for (int& delay : perFrameDelay)
        {
            if (delay < 1) delay = frameDelay;
            totalAnimTime += delay;
        }
    }
    else
    {
        totalAnimTime = numCels * frameDelay;
    }

    if (!frameMap.empty()) frameMap.resize(std::size_t(numCels), 0);
}

} // namespace Kavo
