#include "platform/sound/HeadlessSoundOutput.h"

#include "platform/sound/SoundMixer.h"
#include "platform/system/Clock.h"

namespace platform
{

namespace
{

HeadlessSoundOutput* gInstalled = nullptr;

} // namespace

HeadlessSoundOutput::HeadlessSoundOutput() : mPrevious(gInstalled), mStartCounter(Clock::Get().Counter())
{
    gInstalled = this;
}

HeadlessSoundOutput::~HeadlessSoundOutput()
{
    gInstalled = mPrevious;
}

HeadlessSoundOutput* HeadlessSoundOutput::Installed()
{
    return gInstalled;
}

std::vector<int16_t> HeadlessSoundOutput::Pull(int frames)
{
    std::vector<int16_t> samples(size_t(frames > 0 ? frames : 0) * SoundMixer::kChannels);
    if (frames <= 0) return samples;
    SoundMixer::Get().Mix(samples.data(), frames);
    mFramesDone += uint64_t(frames);
    return samples;
}

void HeadlessSoundOutput::CatchUp()
{
    Clock& clock = Clock::Get();
    const uint64_t elapsed = clock.Counter() - mStartCounter;
    const uint64_t frequency = clock.CounterFrequency();
    const uint64_t due =
        elapsed / frequency * SoundMixer::kRate + elapsed % frequency * SoundMixer::kRate / frequency;
    if (due <= mFramesDone) return;
    SoundMixer::Get().Skip(int64_t(due - mFramesDone));
    mFramesDone = due;
}

} // namespace platform
