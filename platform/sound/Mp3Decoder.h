#pragma once

#include "platform/sound/PcmStream.h"

#include <string>

struct mpg123_handle_struct;

namespace platform
{

// An MP3 file on the disk decoded to 16-bit PCM (libmpg123).
class Mp3Decoder : public PcmStream
{
public:
    Mp3Decoder() = default;
    ~Mp3Decoder() override;
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // False when no MPEG audio frame is found.
    bool OpenFile(const std::string& path);

    int Channels() const override { return mChannels; }
    uint32_t Rate() const override { return mRate; }
    int ReadFrames(int16_t* out, int frames) override;
    bool SeekFrame(int64_t frame) override;
    int64_t LengthFrames() override;

private:
    mpg123_handle_struct* mHandle = nullptr;
    int mChannels = 0;
    uint32_t mRate = 0;
};

} // namespace platform
