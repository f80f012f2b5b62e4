#pragma once

#include "platform/sound/PcmStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform
{

// How the decoder reads its file, as the standard stream functions do. seek answers 0 on success
// and -1 when the source cannot seek.
struct VorbisCallbacks
{
    size_t (*read)(void* buffer, size_t size, size_t count, void* source) = nullptr;
    int (*seek)(void* source, int64_t offset, int origin) = nullptr;
    int (*close)(void* source) = nullptr;
    long (*tell)(void* source) = nullptr;
};

// An Ogg Vorbis file decoded to 16-bit little-endian interleaved PCM through the integer
// decoder (libvorbisidec).
class VorbisDecoder : public PcmStream
{
public:
    VorbisDecoder();
    ~VorbisDecoder() override;
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    // 0 when the source holds Ogg Vorbis, else a negative error; on failure the source is left
    // open and the caller closes it.
    int Open(void* source, const VorbisCallbacks& callbacks);
    // A file on the disk (found without regard to case); false when it is not Ogg Vorbis.
    bool OpenFile(const char* path);
    // Closes the source through its close callback; the decoder can open again.
    void Clear();
    bool IsOpen() const { return mOpen; }

    // Of the whole file: channels, rate, length in frames (negative when unknown).
    int Channels() const override;
    uint32_t Rate() const override;
    int64_t PcmTotal();
    // Up to bytes bytes of PCM; 0 at the end, negative for a damaged stretch (reading may go on).
    long Read(char* buffer, int bytes);

    int ReadFrames(int16_t* out, int frames) override;
    bool SeekFrame(int64_t frame) override;
    int64_t LengthFrames() override { return PcmTotal(); }

private:
    struct File;
    std::unique_ptr<File> mFile;
    bool mOpen = false;
};

} // namespace platform
