#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    // Whether the stream repeats by itself when asked to loop (a tracker module follows its own
    // loop); false when the player has to start it again at its end.
    virtual bool SetLooping(bool looping)
    {
        (void)looping;
        return false;
    }

    // The file on the disk (found without regard to case) as Ogg Vorbis, PCM WAVE or MP3, told
    // apart by its first bytes; nullptr when it is none of them.
    static std::unique_ptr<PcmStream> OpenFile(const std::string& path);
    // Decodes the rest of the stream; false when it holds nothing or more than mostBytes.
    bool ReadAll(std::vector<int16_t>& samples, uint64_t mostBytes);
};

} // namespace platform
