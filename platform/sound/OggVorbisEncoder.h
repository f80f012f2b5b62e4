#pragma once

#include <cstdint>
#include <string>

// The Ogg Vorbis encoder the music generator writes its tracks with (the game decodes them with
// platform::VorbisDecoder).
namespace platform
{

struct VorbisEncoding
{
    int channels = 2;
    int sampleRate = 44100;
    float quality = 0.4f;      // the encoder's variable-bitrate quality, -0.1 to 1
    uint32_t serialNumber = 1; // the logical stream's serial number; fixed, so equal input gives equal files
    // The samples are a loop that is played round: the end is coded knowing that the start follows.
    bool loop = false;
};

// Encodes frames x channels interleaved samples (-1 to 1) into one Ogg Vorbis stream. The last
// page's granule position is the frame count, so a decoder returns exactly that many frames.
// False for a channel count other than 1 or 2 or a refused rate or quality.
bool EncodeOggVorbis(const float* interleaved, int64_t frames, const VorbisEncoding& encoding,
                     std::string& stream);

} // namespace platform
