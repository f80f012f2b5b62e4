#pragma once

#include "platform/sound/PcmStream.h"

#include <cstdio>
#include <string>

namespace platform
{

// A PCM WAVE file on the disk played as it is read: 8- or 16-bit, mono or stereo (8-bit samples
// come out as 16-bit).
class WaveStream : public PcmStream
{
public:
    WaveStream() = default;
    ~WaveStream() override;
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    // False when the file is not a PCM WAVE file this stream can play, or is damaged.
    bool OpenFile(const std::string& path);

    int Channels() const override { return mChannels; }
    uint32_t Rate() const override { return mRate; }
    int ReadFrames(int16_t* out, int frames) override;
    bool SeekFrame(int64_t frame) override;
    int64_t LengthFrames() override { return mFrames; }

private:
    std::FILE* mFile = nullptr;
    int mChannels = 0;
    uint32_t mRate = 0;
    int mBits = 0;
    long mDataStart = 0;
    int64_t mFrames = 0;
    int64_t mPosition = 0;
};

} // namespace platform
