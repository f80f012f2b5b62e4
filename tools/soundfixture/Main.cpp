// kavosoundfixture: writes a sine tone as an Ogg Vorbis or MP3 file, the compressed fixtures of
// the sound tests and benchmarks.
#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

struct Tone
{
    int channels = 1;
    int rate = 44100;
    long frames = 0;
    double hertz = 440;
    double amplitude = 0.5;

    // Sample of channel c (the right channel a fifth higher) at frame i, -1 to 1.
    double At(long i, int c) const
    {
        const double pi = 3.14159265358979323846;
        return amplitude * std::sin(2 * pi * hertz * (c ? 1.5 : 1.0) * double(i) / rate);
    }
};

void AppendPage(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
}

bool EncodeOgg(const Tone& tone, std::string& out)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, tone.channels, tone.rate, 0.4f) != 0) return false;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);
    long done = 0;
    for (;;)
    {
        const long n = std::min(1024L, tone.frames - done);
        if (n > 0)
        {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < tone.channels; ++c)
                    buffer[c][i] = float(tone.At(done + i, c));
            vorbis_analysis_wrote(&dsp, int(n));
            done += n;
        }
        else
            vorbis_analysis_wrote(&dsp, 0);
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    AppendPage(out, page);
            }
        }
        if (n <= 0) break;
    }
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

bool EncodeMp3(const Tone& tone, std::string& out)
{
    lame_global_flags* lame = lame_init();
    if (!lame) return false;
    lame_set_num_channels(lame, tone.channels);
    lame_set_in_samplerate(lame, tone.rate);
    lame_set_out_samplerate(lame, tone.rate);
    lame_set_mode(lame, tone.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_bWriteVbrTag(lame, 0);
    if (lame_init_params(lame) < 0)
    {
        lame_close(lame);
        return false;
    }
    std::vector<short> left(size_t(tone.frames)), right(size_t(tone.frames));
    for (long i = 0; i < tone.frames; ++i)
    {
        left[size_t(i)] = short(std::lround(tone.At(i, 0) * 32767));
        right[size_t(i)] = short(std::lround(tone.At(i, tone.channels - 1) * 32767));
    }
    std::vector<unsigned char> buffer(size_t(tone.frames) * 5 / 4 + 7200);
    int n = lame_encode_buffer(lame, left.data(), right.data(), int(tone.frames), buffer.data(),
                               int(buffer.size()));
    if (n < 0)
    {
        lame_close(lame);
        return false;
    }
    out.append(reinterpret_cast<char*>(buffer.data()), size_t(n));
    n = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (n > 0) out.append(reinterpret_cast<char*>(buffer.data()), size_t(n));
    lame_close(lame);
    return n >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 8)
    {
        std::fprintf(stderr, "usage: kavosoundfixture ogg|mp3 <file> <channels> <rate> <frames> <tone Hz> "
                             "<amplitude 0..1>\n");
        return 2;
    }
    const std::string kind = argv[1];
    Tone tone;
    tone.channels = std::atoi(argv[3]);
    tone.rate = std::atoi(argv[4]);
    tone.frames = std::atol(argv[5]);
    tone.hertz = std::atof(argv[6]);
    tone.amplitude = std::atof(argv[7]);
    std::string out;
    const bool made = kind == "ogg" ? EncodeOgg(tone, out) : kind == "mp3" ? EncodeMp3(tone, out) : false;
    if (!made)
    {
        std::fprintf(stderr, "kavosoundfixture: cannot encode %s\n", argv[2]);
        return 1;
    }
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0)
    {
        std::fprintf(stderr, "kavosoundfixture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
