#pragma once

#include <cstdint>

namespace platform
{

// A source of 16-bit PCM decoded as it is read: the music modules play them on their channels.
class PcmStream
{
public:
    virtual ~PcmStream() = default;

    virtual int Channels() const = 0;  // 1 or 2
    virtual uint32_t Rate() const = 0; // samples per second
    // Reads up to frames frames (interleaved); 0 at the end or on damage that stops decoding.
    virtual int ReadFrames(int16_t* out, int frames) = 0;
    // Moves to a frame from the start; false when the stream cannot.
    virtual bool SeekFrame(int64_t frame) = 0;
    // Length in frames, or -1 when unknown.
    virtual int64_t LengthFrames() = 0;
};

} // namespace platform
