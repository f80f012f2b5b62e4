#include "platform/sound/VorbisDecoder.h"

#include "platform/files/Files.h"

#include <tremor/ivorbisfile.h>

#include <cstdio>

namespace platform
{

struct VorbisDecoder::File
{
    OggVorbis_File vf;
    VorbisCallbacks callbacks;
};

VorbisDecoder::VorbisDecoder() : mFile(std::make_unique<File>()) {}

VorbisDecoder::~VorbisDecoder()
{
    Clear();
}

int VorbisDecoder::Open(void* source, const VorbisCallbacks& callbacks)
{
    Clear();
    mFile->callbacks = callbacks;
    ov_callbacks ov;
    ov.read_func = callbacks.read;
    ov.seek_func = callbacks.seek;
    ov.close_func = callbacks.close;
    ov.tell_func = callbacks.tell;
    int result = ov_open_callbacks(source, &mFile->vf, nullptr, 0, ov);
    mOpen = result == 0;
    return result;
}

bool VorbisDecoder::OpenFile(const char* path)
{
    std::FILE* file = platform::OpenFile(path, "rb");
    if (!file) return false;
    VorbisCallbacks callbacks;
    callbacks.read = [](void* buffer, size_t size, size_t count, void* source)
    { return std::fread(buffer, size, count, static_cast<std::FILE*>(source)); };
    callbacks.seek = [](void* source, int64_t offset, int origin)
    { return fseeko(static_cast<std::FILE*>(source), off_t(offset), origin); };
    callbacks.close = [](void* source) { return std::fclose(static_cast<std::FILE*>(source)); };
    callbacks.tell = [](void* source) { return std::ftell(static_cast<std::FILE*>(source)); };
    if (Open(file, callbacks) == 0) return true;
    std::fclose(file);
    return false;
}

void VorbisDecoder::Clear()
{
    if (!mOpen) return;
    ov_clear(&mFile->vf);
    mOpen = false;
}

int VorbisDecoder::Channels() const
{
    if (!mOpen) return 0;
    vorbis_info* info = ov_info(&mFile->vf, -1);
    return info ? info->channels : 0;
}

uint32_t VorbisDecoder::Rate() const
{
    if (!mOpen) return 0;
    vorbis_info* info = ov_info(&mFile->vf, -1);
    return info && info->rate > 0 ? uint32_t(info->rate) : 0;
}

int64_t VorbisDecoder::PcmTotal()
{
    return mOpen ? int64_t(ov_pcm_total(&mFile->vf, -1)) : -1;
}

long VorbisDecoder::Read(char* buffer, int bytes)
{
    if (!mOpen || bytes <= 0) return 0;
    int section = 0;
    return ov_read(&mFile->vf, buffer, bytes, &section);
}

int VorbisDecoder::ReadFrames(int16_t* out, int frames)
{
    const int channels = Channels();
    if (channels <= 0 || frames <= 0) return 0;
    const int frameBytes = channels * 2;
    char* bytes = reinterpret_cast<char*>(out);
    int wanted = frames * frameBytes;
    int got = 0;
    int failures = 0;
    while (got < wanted)
    {
        long n = Read(bytes + got, wanted - got);
        if (n == 0) break;
        if (n < 0)
        {
            // A damaged stretch: skip it, but give up on a file that is nothing but damage.
            if (++failures > 8) break;
            continue;
        }
        got += int(n);
    }
    return got / frameBytes;
}

bool VorbisDecoder::SeekFrame(int64_t frame)
{
    return mOpen && ov_pcm_seek(&mFile->vf, frame) == 0;
}

} // namespace platform
