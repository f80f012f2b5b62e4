#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform
{

class SoundVoice;

// The process's one mixer: every playing sound buffer and music channel is a voice here,
// mixed into 44,100 Hz 16-bit stereo. The output (the audio device's callback, or the headless
// output) pulls from it; voices are added and removed by their owners under Lock().
class SoundMixer
{
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;

    static SoundMixer& Get();

    // Guards every voice's playing state.
    std::mutex& Lock() { return mLock; }

    // With the lock held. Adding a voice twice or removing one that is absent does nothing.
    void Add(SoundVoice* voice);
    void Remove(SoundVoice* voice);
    bool Contains(const SoundVoice* voice) const;

    // Mixes frames of interleaved stereo into out, clipped to 16 bits; takes the lock.
    void Mix(int16_t* out, int frames);
    // Moves every voice on by frames without output; takes the lock.
    void Skip(int64_t frames);
    // The number of voices playing; takes the lock.
    int PlayingVoices();

private:
    SoundMixer() = default;

    std::mutex mLock;
    std::vector<SoundVoice*> mVoices;
    std::vector<int32_t> mAccumulator;
};

} // namespace platform
