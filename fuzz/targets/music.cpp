// Music streams: the stream reader picks WAVE, Ogg Vorbis, MP3 or a tracker module by the first
// bytes; a stream that opens is decoded for a while, sought into and decoded again.
#include "fuzz/FuzzTarget.h"
#include "platform/sound/PcmStream.h"

#include <memory>
#include <vector>

KAVO_FUZZ_TARGET(music)
{
    const std::string path = fuzz::WriteInput("music.bin", data, size);
    std::unique_ptr<platform::PcmStream> stream = platform::PcmStream::OpenFile(path);
    if (!stream) return 0;
    std::vector<int16_t> frames(2 * 4096);
    for (int i = 0; i < 8 && stream->ReadFrames(frames.data(), 4096) > 0; ++i)
    {
    }
    const int64_t length = stream->LengthFrames();
    stream->SeekFrame(length > 0 ? length / 2 : 1);
    stream->ReadFrames(frames.data(), 4096);
    stream->SetLooping(true);
    stream->SeekFrame(0);
    stream->ReadFrames(frames.data(), 4096);
    return 0;
}
