#pragma once

#include "platform/sound/PcmStream.h"
#include "platform/sound/Resample.h"
#include "platform/sound/SoundVoice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform
{

// 16-bit PCM held whole (a sample of the music modules), with its loop: frames [loopStart,
// loopEnd) repeat when the channel loops (loopEnd 0: the whole sample).
struct StaticPcm
{
    std::vector<int16_t> samples; // interleaved
    int channels = 1;
    uint32_t rate = 44100;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;

    uint32_t Frames() const { return channels > 0 ? uint32_t(samples.size() / size_t(channels)) : 0; }
};

// One channel of the music modules, playing a stream (decoded as it plays) or a static sample
// through the process's mixer, with its own gains, rate, looping and pause. At its end it stops
// and goes back to its start. Every operation takes the mixer's lock.
class MusicChannel : private SoundVoice
{
public:
    enum class State
    {
        Stopped,
        Playing,
        Paused,
    };

    explicit MusicChannel(std::unique_ptr<PcmStream> stream);
    explicit MusicChannel(std::shared_ptr<const StaticPcm> pcm);
    ~MusicChannel() override;
    MusicChannel(const MusicChannel&) = delete;
    MusicChannel& operator=(const MusicChannel&) = delete;

    // From the start (restart) or from where it stands.
    void Play(bool restart);
    // Stops where it stands.
    void Stop();
    void Pause();
    State GetState();

    void SetLooping(bool looping);
    bool IsLooping() const { return mLooping; }
    // 65536 is 1.0.
    void SetGains(int32_t left, int32_t right);
    // Samples per second; 0 for the source's own.
    void SetRate(uint32_t rate);
    uint32_t Rate() const;
    int Channels() const;

    // In frames of the source.
    bool SetPosition(int64_t frame);
    int64_t Position();
    int64_t Length();

    // Works on the stream under the mixer's lock (a tracker module's order, say). With
    // reposition, the channel then plays on from wherever the stream stands.
    void WithStream(const std::function<void(PcmStream&)>& work, bool reposition = true);

private:
    bool Mix(int32_t* out, int frames) override;
    bool Skip(int64_t frames) override;
    // With the lock held.
    void Rewind();
    void Restart();
    bool NextChunk();
    void UpdateStep();

    std::unique_ptr<PcmStream> mStream;
    std::shared_ptr<const StaticPcm> mPcm;
    State mState = State::Stopped;
    bool mLooping = false;
    bool mStreamLoops = false; // the stream repeats by itself
    uint32_t mRate = 0;
    int32_t mGainLeft = 65536;
    int32_t mGainRight = 65536;
    PlayCursor mCursor;
    // The stretch of the stream decoded last, and its first frame.
    std::vector<int16_t> mChunk;
    uint32_t mChunkFrames = 0;
    int64_t mChunkStart = 0;
};

} // namespace platform
