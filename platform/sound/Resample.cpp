#include "platform/sound/Resample.h"

#include <algorithm>

namespace platform
{

namespace
{

inline int32_t SampleAt(const uint8_t* data, uint32_t index)
{
    return (int32_t(data[index]) - 128) * 256;
}

inline int32_t SampleAt(const int16_t* data, uint32_t index)
{
    return data[index];
}

// The last frame of the stretch that plays before a wrap or the end.
inline uint32_t EndFrame(const PcmView& pcm, const LoopRegion& loop)
{
    if (!loop.looping) return pcm.frames;
    return loop.end == 0 || loop.end > pcm.frames ? pcm.frames : loop.end;
}

inline uint32_t LoopStart(const PcmView& pcm, const LoopRegion& loop)
{
    uint32_t end = EndFrame(pcm, loop);
    return loop.start < end ? loop.start : 0;
}

// Brings a position past the loop's end back into the loop.
inline void Wrap(const PcmView& pcm, const LoopRegion& loop, uint64_t& position)
{
    const uint64_t end = uint64_t(EndFrame(pcm, loop)) << 32;
    const uint64_t start = uint64_t(LoopStart(pcm, loop)) << 32;
    if (position >= end) position = start + (position - end) % (end - start);
}

template <typename Sample, int Channels>
int MixLoop(const PcmView& pcm, const LoopRegion& loop, PlayCursor& cursor, int32_t gainLeft,
            int32_t gainRight, int32_t* out, int frames)
{
    const Sample* data = static_cast<const Sample*>(pcm.data);
    const uint32_t endFrame = EndFrame(pcm, loop);
    if (endFrame == 0) return 0;
    const uint64_t end = uint64_t(endFrame) << 32;
    const uint32_t last = endFrame - 1;
    const uint32_t wrapTo = loop.looping ? LoopStart(pcm, loop) : last;
    const uint64_t step = cursor.step ? cursor.step : 1;
    uint64_t position = cursor.position;
    int done = 0;
    while (done < frames)
    {
        if (position >= end)
        {
            if (!loop.looping) break;
            Wrap(pcm, loop, position);
        }
        const uint64_t left = (end - position + step - 1) / step;
        const int n = int(std::min<uint64_t>(left, uint64_t(frames - done)));
        int32_t* o = out + 2 * done;
        for (int k = 0; k < n; ++k, position += step)
        {
            const uint32_t i = uint32_t(position >> 32);
            const uint32_t next = i < last ? i + 1 : wrapTo;
            const int32_t fraction = int32_t((position >> 17) & 0x7FFF);
            int32_t a = SampleAt(data, i * Channels);
            int32_t b = SampleAt(data, next * Channels);
            const int32_t l = a + (((b - a) * fraction) >> 15);
            int32_t r = l;
            if constexpr (Channels == 2)
            {
                a = SampleAt(data, i * 2 + 1);
                b = SampleAt(data, next * 2 + 1);
                r = a + (((b - a) * fraction) >> 15);
            }
            o[2 * k] += (l * gainLeft) >> 16;
            o[2 * k + 1] += (r * gainRight) >> 16;
        }
        done += n;
    }
    cursor.position = position;
    return done;
}

} // namespace

int MixResampled(const PcmView& pcm, const LoopRegion& loop, PlayCursor& cursor, int32_t gainLeft,
                 int32_t gainRight, int32_t* out, int frames)
{
    if (!pcm.data || frames <= 0) return 0;
    const bool stereo = pcm.channels == 2;
    if (pcm.bits == 8)
        return stereo ? MixLoop<uint8_t, 2>(pcm, loop, cursor, gainLeft, gainRight, out, frames)
                      : MixLoop<uint8_t, 1>(pcm, loop, cursor, gainLeft, gainRight, out, frames);
    return stereo ? MixLoop<int16_t, 2>(pcm, loop, cursor, gainLeft, gainRight, out, frames)
                  : MixLoop<int16_t, 1>(pcm, loop, cursor, gainLeft, gainRight, out, frames);
}

bool SkipResampled(const PcmView& pcm, const LoopRegion& loop, PlayCursor& cursor, int64_t frames)
{
    const uint32_t endFrame = EndFrame(pcm, loop);
    if (endFrame == 0 || frames < 0) return endFrame != 0;
    const uint64_t end = uint64_t(endFrame) << 32;
    const uint64_t step = cursor.step ? cursor.step : 1;
    // Far past the end either way: no need to multiply into an overflow.
    const uint64_t distance =
        uint64_t(frames) > (UINT64_MAX >> 1) / step ? (UINT64_MAX >> 1) : uint64_t(frames) * step;
    if (!loop.looping)
    {
        if (cursor.position >= end || distance >= end - cursor.position)
        {
            cursor.position = end;
            return false;
        }
        cursor.position += distance;
        return true;
    }
    Wrap(pcm, loop, cursor.position);
    const uint64_t start = uint64_t(LoopStart(pcm, loop)) << 32;
    uint64_t rest = distance;
    if (cursor.position < start) // still in the part before the loop
    {
        if (rest < start - cursor.position)
        {
            cursor.position += rest;
            return true;
        }
        rest -= start - cursor.position;
        cursor.position = start;
    }
    const uint64_t length = end - start;
    cursor.position = start + (cursor.position - start + rest % length) % length;
    return true;
}

} // namespace platform

#include <cmath>

namespace platform
{

int32_t GainOfHundredthsOfDecibel(int32_t attenuation)
{
    if (attenuation <= -10000) return 0;
    if (attenuation >= 0) return 65536;
    return int32_t(std::lround(65536.0 * std::pow(10.0, attenuation / 2000.0)));
}

} // namespace platform
