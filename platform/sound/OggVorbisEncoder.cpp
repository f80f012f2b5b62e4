// The Ogg Vorbis encoder over libvorbisenc (see CMakeLists.txt for why it is linked statically).
#include "platform/sound/OggVorbisEncoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace platform
{

namespace
{

void AppendPage(const ogg_page& page, std::string& stream)
{
    stream.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    stream.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
}

// Everything the library allocates for one encoding, released in reverse order.
struct EncoderState
{
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state ogg;
    bool analysing = false;

    EncoderState()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~EncoderState()
    {
        if (analysing)
        {
            ogg_stream_clear(&ogg);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    EncoderState(const EncoderState&) = delete;
    EncoderState& operator=(const EncoderState&) = delete;
};

} // namespace

bool EncodeOggVorbis(const float* interleaved, int64_t frames, const VorbisEncoding& encoding,
                     std::string& stream)
{
    stream.clear();
    if (encoding.channels < 1 || encoding.channels > 2 || frames < 0) return false;
    EncoderState state;
    if (vorbis_encode_init_vbr(&state.info, encoding.channels, encoding.sampleRate, encoding.quality) != 0)
        return false;
    vorbis_analysis_init(&state.dsp, &state.info);
    vorbis_block_init(&state.dsp, &state.block);
    ogg_stream_init(&state.ogg, int(encoding.serialNumber));
    state.analysing = true;

    // The three header packets, flushed so the audio starts on a page of its own.
    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&state.dsp, &state.comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&state.ogg, &identification);
    ogg_stream_packetin(&state.ogg, &comments);
    ogg_stream_packetin(&state.ogg, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&state.ogg, &page) != 0)
        AppendPage(page, stream);

    // A loop is fed on past its end with its own start, so that its last blocks are coded with what
    // really follows them; the packet that reaches the end then ends the stream there.
    const int64_t fed = frames + (encoding.loop ? std::min(frames, int64_t(8192)) : 0);
    constexpr int64_t kChunk = 4096;
    int64_t done = 0;
    bool finished = false;
    for (bool last = false; !last;)
    {
        int64_t count = std::min(kChunk, fed - done);
        if (count > 0)
        {
            float** buffer = vorbis_analysis_buffer(&state.dsp, int(count));
            for (int64_t i = 0; i < count; ++i)
                for (int c = 0; c < encoding.channels; ++c)
                    buffer[c][i] = interleaved[((done + i) % frames) * encoding.channels + c];
            vorbis_analysis_wrote(&state.dsp, int(count));
            done += count;
        }
        else
        {
            vorbis_analysis_wrote(&state.dsp, 0); // the end: the last packet carries the exact length
            last = true;
        }
        while (vorbis_analysis_blockout(&state.dsp, &state.block) == 1)
        {
            vorbis_analysis(&state.block, nullptr);
            vorbis_bitrate_addblock(&state.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&state.dsp, &packet) == 1)
            {
                if (finished) continue;
                if (encoding.loop && packet.granulepos >= frames)
                {
                    // A decoder gives only as many samples of the last packet as its position asks.
                    packet.granulepos = frames;
                    packet.e_o_s = 1;
                }
                finished = packet.e_o_s != 0;
                ogg_stream_packetin(&state.ogg, &packet);
                while (ogg_stream_pageout(&state.ogg, &page) != 0)
                    AppendPage(page, stream);
            }
        }
    }
    while (ogg_stream_flush(&state.ogg, &page) != 0)
        AppendPage(page, stream);
    return true;
}

} // namespace platform
