#include "platform/sound/PcmStream.h"

#include "platform/files/Files.h"
#include "platform/sound/Mp3Decoder.h"
#include "platform/sound/VorbisDecoder.h"
#include "platform/sound/WaveStream.h"

#include <cstdio>
#include <cstring>

namespace platform
{

std::unique_ptr<PcmStream> PcmStream::OpenFile(const std::string& path)
{
    char magic[12] = {};
    std::FILE* file = platform::OpenFile(path, "rb");
    if (!file) return nullptr;
    const size_t got = std::fread(magic, 1, sizeof magic, file);
    std::fclose(file);
    if (got >= 4 && std::memcmp(magic, "OggS", 4) == 0)
    {
        auto vorbis = std::make_unique<VorbisDecoder>();
        if (vorbis->OpenFile(path.c_str())) return vorbis;
        return nullptr;
    }
    if (got >= 12 && std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WAVE", 4) == 0)
    {
        auto wave = std::make_unique<WaveStream>();
        if (wave->OpenFile(path)) return wave;
        return nullptr;
    }
    auto mp3 = std::make_unique<Mp3Decoder>();
    if (got >= 4 && mp3->OpenFile(path)) return mp3;
    return nullptr;
}

bool PcmStream::ReadAll(std::vector<int16_t>& samples, uint64_t mostBytes)
{
    samples.clear();
    const int channels = Channels();
    if (channels <= 0) return false;
    int16_t chunk[4096];
    const int frames = int(sizeof chunk / sizeof chunk[0]) / channels;
    for (;;)
    {
        const int n = ReadFrames(chunk, frames);
        if (n <= 0) break;
        if ((samples.size() + size_t(n * channels)) * 2 > mostBytes) return false;
        samples.insert(samples.end(), chunk, chunk + n * channels);
    }
    return !samples.empty();
}

} // namespace platform
