#include "platform/sound/SoundMixer.h"

#include "platform/sound/SoundVoice.h"

#include <algorithm>
#include <cstring>

namespace platform
{

SoundMixer& SoundMixer::Get()
{
    static SoundMixer mixer;
    return mixer;
}

void SoundMixer::Add(SoundVoice* voice)
{
    if (!Contains(voice)) mVoices.push_back(voice);
}

void SoundMixer::Remove(SoundVoice* voice)
{
    mVoices.erase(std::remove(mVoices.begin(), mVoices.end(), voice), mVoices.end());
}

bool SoundMixer::Contains(const SoundVoice* voice) const
{
    return std::find(mVoices.begin(), mVoices.end(), voice) != mVoices.end();
}

void SoundMixer::Mix(int16_t* out, int frames)
{
    std::lock_guard<std::mutex> lock(mLock);
    const size_t samples = size_t(frames) * kChannels;
    if (mAccumulator.size() < samples) mAccumulator.resize(samples);
    int32_t* sum = mAccumulator.data();
    std::memset(sum, 0, samples * sizeof(int32_t));
    for (size_t i = 0; i < mVoices.size();)
    {
        if (mVoices[i]->Mix(sum, frames))
            ++i;
        else
            mVoices.erase(mVoices.begin() + std::ptrdiff_t(i));
    }
    for (size_t i = 0; i < samples; ++i)
        out[i] = int16_t(std::clamp(sum[i], -32768, 32767));
}

void SoundMixer::Skip(int64_t frames)
{
    std::lock_guard<std::mutex> lock(mLock);
    for (size_t i = 0; i < mVoices.size();)
    {
        if (mVoices[i]->Skip(frames))
            ++i;
        else
            mVoices.erase(mVoices.begin() + std::ptrdiff_t(i));
    }
}

int SoundMixer::PlayingVoices()
{
    std::lock_guard<std::mutex> lock(mLock);
    return int(mVoices.size());
}

} // namespace platform
