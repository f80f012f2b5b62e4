#include "platform/music/MusicChannel.h"

#include "platform/sound/SoundMixer.h"
#include "platform/sound/SoundOutput.h"

#include <mutex>

namespace platform
{

namespace
{

constexpr int kChunkFrames = 2048;

using Guard = std::lock_guard<std::mutex>;

} // namespace

MusicChannel::MusicChannel(std::unique_ptr<PcmStream> stream) : mStream(std::move(stream))
{
    mChunk.resize(size_t(kChunkFrames) * size_t(mStream->Channels() > 0 ? mStream->Channels() : 1));
    UpdateStep();
}

MusicChannel::MusicChannel(std::shared_ptr<const StaticPcm> pcm) : mPcm(std::move(pcm))
{
    UpdateStep();
}

MusicChannel::~MusicChannel()
{
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    mixer.Remove(this);
}

int MusicChannel::Channels() const
{
    return mPcm ? mPcm->channels : mStream->Channels();
}

uint32_t MusicChannel::Rate() const
{
    return mRate ? mRate : mPcm ? mPcm->rate : mStream->Rate();
}

void MusicChannel::UpdateStep()
{
    mCursor.step = StepForRate(Rate());
}

void MusicChannel::Play(bool restart)
{
    SoundOutput::Sync();
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    if (restart) Restart();
    mState = State::Playing;
    mixer.Add(this);
}

void MusicChannel::Stop()
{
    SoundOutput::Sync();
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    mState = State::Stopped;
    mixer.Remove(this);
}

void MusicChannel::Pause()
{
    SoundOutput::Sync();
    SoundMixer& mixer = SoundMixer::Get();
    Guard lock(mixer.Lock());
    if (mState != State::Playing) return;
    mState = State::Paused;
    mixer.Remove(this);
}

MusicChannel::State MusicChannel::GetState()
{
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    return mState;
}

void MusicChannel::SetLooping(bool looping)
{
    Guard lock(SoundMixer::Get().Lock());
    mLooping = looping;
    if (mStream) mStreamLoops = mStream->SetLooping(looping);
}

void MusicChannel::SetGains(int32_t left, int32_t right)
{
    Guard lock(SoundMixer::Get().Lock());
    mGainLeft = left;
    mGainRight = right;
}

void MusicChannel::SetRate(uint32_t rate)
{
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    mRate = rate;
    UpdateStep();
}

bool MusicChannel::SetPosition(int64_t frame)
{
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    if (frame < 0) return false;
    if (mPcm)
    {
        if (frame > mPcm->Frames()) return false;
        mCursor.position = uint64_t(frame) << 32;
        return true;
    }
    if (!mStream->SeekFrame(frame)) return false;
    mChunkStart = frame;
    mChunkFrames = 0;
    mCursor.position = 0;
    return true;
}

int64_t MusicChannel::Position()
{
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    return (mPcm ? 0 : mChunkStart) + int64_t(mCursor.position >> 32);
}

int64_t MusicChannel::Length()
{
    Guard lock(SoundMixer::Get().Lock());
    return mPcm ? int64_t(mPcm->Frames()) : mStream->LengthFrames();
}

void MusicChannel::WithStream(const std::function<void(PcmStream&)>& work, bool reposition)
{
    SoundOutput::Sync();
    Guard lock(SoundMixer::Get().Lock());
    if (!mStream) return;
    work(*mStream);
    if (!reposition) return;
    mChunkFrames = 0;
    mCursor.position = 0;
}

void MusicChannel::Restart()
{
    if (mPcm)
    {
        mCursor.position = 0;
        return;
    }
    mStream->SeekFrame(0);
    mChunkStart = 0;
    mChunkFrames = 0;
    mCursor.position = 0;
}

void MusicChannel::Rewind()
{
    mState = State::Stopped;
    Restart();
}

bool MusicChannel::NextChunk()
{
    mCursor.position -= uint64_t(mChunkFrames) << 32;
    mChunkStart += mChunkFrames;
    mChunkFrames = uint32_t(mStream->ReadFrames(mChunk.data(), kChunkFrames));
    if (mChunkFrames == 0 && mLooping && !mStreamLoops && mStream->SeekFrame(0))
    {
        mChunkStart = 0;
        mChunkFrames = uint32_t(mStream->ReadFrames(mChunk.data(), kChunkFrames));
    }
    return mChunkFrames > 0;
}

bool MusicChannel::Mix(int32_t* out, int frames)
{
    if (mState != State::Playing) return false;
    if (mPcm)
    {
        const PcmView view{mPcm->samples.data(), mPcm->Frames(), mPcm->channels, 16};
        const LoopRegion loop{mLooping, mPcm->loopStart, mPcm->loopEnd};
        if (MixResampled(view, loop, mCursor, mGainLeft, mGainRight, out, frames) == frames) return true;
        Rewind();
        return false;
    }
    int written = 0;
    while (written < frames)
    {
        if ((mCursor.position >> 32) >= mChunkFrames && !NextChunk())
        {
            Rewind();
            return false;
        }
        const PcmView view{mChunk.data(), mChunkFrames, mStream->Channels(), 16};
        written += MixResampled(view, LoopRegion{}, mCursor, mGainLeft, mGainRight, out + 2 * written,
                                frames - written);
    }
    return true;
}

bool MusicChannel::Skip(int64_t frames)
{
    if (mState != State::Playing) return false;
    if (mPcm)
    {
        const PcmView view{mPcm->samples.data(), mPcm->Frames(), mPcm->channels, 16};
        if (SkipResampled(view, LoopRegion{mLooping, mPcm->loopStart, mPcm->loopEnd}, mCursor, frames))
            return true;
        Rewind();
        return false;
    }
    // A long way on: seek there instead of decoding everything between.
    const int64_t length = mStream->LengthFrames();
    const double advance = double(frames) * double(mCursor.step) / 4294967296.0;
    if (advance > 2.0 * Rate() && length > 0)
    {
        int64_t target = mChunkStart + int64_t(mCursor.position >> 32) + int64_t(advance);
        if (target >= length)
        {
            if (!mLooping)
            {
                Rewind();
                return false;
            }
            target %= length;
        }
        if (mStream->SeekFrame(target))
        {
            mChunkStart = target;
            mChunkFrames = 0;
            mCursor.position = 0;
            return true;
        }
    }
    std::vector<int32_t> scratch(size_t(kChunkFrames) * 2);
    for (int64_t left = frames; left > 0;)
    {
        const int n = int(left < kChunkFrames ? left : kChunkFrames);
        if (!Mix(scratch.data(), n)) return false;
        left -= n;
    }
    return true;
}

} // namespace platform
