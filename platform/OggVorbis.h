#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Ogg Vorbis streams: the encoder the music generator writes its tracks with, and a decoder over
// the game's integer Vorbis decoder that reads a whole stream back into 16-bit samples.
namespace platform
{

struct VorbisEncoding
{
    int channels = 2;
    int sampleRate = 44100;
    float quality = 0.4f;     // the encoder's variable-bitrate quality, -0.1 to 1
    uint32_t serialNumber = 1; // the logical stream's serial number; fixed, so equal input gives equal files
    // The samples are a loop that is played round: the end is coded knowing that the start follows.
    bool loop = false;
};

// Encodes frames x channels interleaved samples (-1 to 1) into one Ogg Vorbis stream. The last
// page's granule position is the frame count, so a decoder returns exactly that many frames.
// False for a channel count other than 1 or 2 or a refused rate or quality.
bool EncodeOggVorbis(const float* interleaved, int64_t frames, const VorbisEncoding& encoding,
                     std::string& stream);

struct DecodedVorbis
{
    int channels = 0;
    int sampleRate = 0;
    int64_t declaredFrames = 0;   // the length the stream's granule positions give
    std::vector<int16_t> samples; // every decoded frame, channels interleaved
};

// Decodes a whole stream held in memory. False when it is not a Vorbis stream or breaks off
// before its declared end.
bool DecodeOggVorbis(std::string_view stream, DecodedVorbis& decoded);

} // namespace platform
