// Whole-stream Ogg Vorbis decoding over the integer decoder libvorbisidec, from memory.
#include "platform/OggVorbis.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform
{

namespace
{

struct MemoryStream
{
    std::string_view bytes;
    size_t position = 0;
};

size_t ReadMemory(void* buffer, size_t size, size_t count, void* source)
{
    auto* stream = static_cast<MemoryStream*>(source);
    size_t items = size == 0 ? 0 : std::min(count, (stream->bytes.size() - stream->position) / size);
    if (items == 0) return 0;
    std::memcpy(buffer, stream->bytes.data() + stream->position, items * size);
    stream->position += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence)
{
    auto* stream = static_cast<MemoryStream*>(source);
    ogg_int64_t base = whence == SEEK_CUR   ? ogg_int64_t(stream->position)
                       : whence == SEEK_END ? ogg_int64_t(stream->bytes.size())
                                            : 0;
    ogg_int64_t target = base + offset;
    if (target < 0 || target > ogg_int64_t(stream->bytes.size())) return -1;
    stream->position = size_t(target);
    return 0;
}

long TellMemory(void* source)
{
    return long(static_cast<MemoryStream*>(source)->position);
}

} // namespace

bool DecodeOggVorbis(std::string_view stream, DecodedVorbis& decoded)
{
    decoded = DecodedVorbis{};
    MemoryStream source{stream, 0};
    ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    OggVorbis_File file;
    if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) < 0) return false;

    vorbis_info* info = ov_info(&file, -1);
    bool whole = info != nullptr && info->channels > 0;
    if (whole)
    {
        decoded.channels = info->channels;
        decoded.sampleRate = int(info->rate);
        decoded.declaredFrames = ov_pcm_total(&file, -1);
        whole = decoded.declaredFrames >= 0;
    }
    if (whole)
    {
        decoded.samples.reserve(size_t(decoded.declaredFrames) * size_t(decoded.channels));
        alignas(int16_t) char buffer[16384];
        int section = 0;
        long got;
        while ((got = ov_read(&file, buffer, sizeof buffer, &section)) > 0)
        {
            const auto* samples = reinterpret_cast<const int16_t*>(buffer);
            decoded.samples.insert(decoded.samples.end(), samples, samples + got / 2);
        }
        whole = got == 0 && int64_t(decoded.samples.size()) == decoded.declaredFrames * decoded.channels;
    }
    ov_clear(&file);
    return whole;
}

} // namespace platform
