// musicgen: composes and renders the game's four looping music tracks into music/track<n>.ogg
// below the game folder, where the game reads them as loose files.
//   musicgen <content folder> <game folder> [--preview <folder>]
// With --preview, a spectrogram of each track and one of its loop seam (the last and first three
// seconds joined) go into that folder as well.
#include "tools/musicgen/Mix.h"
#include "tools/musicgen/Tracks.h"
#include "tools/synth/Generator.h"
#include "tools/synth/Output.h"

#include "platform/files/Files.h"
#include "platform/sound/OggVorbisEncoder.h"

#include <cstdio>
#include <exception>
#include <string>

namespace
{

constexpr double kCeiling = 0.84; // -1.5 dB, room for the encoder's ripple
constexpr float kQuality = 0.4f;

synth::Stereo Seam(const synth::Stereo& loop)
{
    size_t side = synth::Frames(3);
    synth::Stereo seam(2 * side);
    for (size_t i = 0; i < side; ++i)
    {
        size_t end = loop.Frames() - side + i;
        seam.left[i] = loop.left[end], seam.right[i] = loop.right[end];
        seam.left[side + i] = loop.left[i], seam.right[side + i] = loop.right[i];
    }
    return seam;
}

} // namespace

int main(int argc, char** argv)
{
    synth::GeneratorFolders folders;
    if (!synth::StartGenerator(argc, argv, "musicgen", "music", true, folders)) return 1;
    std::vector<musicgen::Song> songs;
    try
    {
        songs = musicgen::Tracks();
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "musicgen: a score does not read: %s\n", error.what());
        return 1;
    }
    for (size_t t = 0; t < songs.size(); ++t)
    {
        const musicgen::Song& song = songs[t];
        synth::Stereo loop = musicgen::RenderLoop(song, kCeiling);
        std::vector<float> interleaved(loop.Frames() * 2);
        for (size_t i = 0; i < loop.Frames(); ++i)
            interleaved[2 * i] = loop.left[i], interleaved[2 * i + 1] = loop.right[i];
        std::string stream;
        const std::string path = folders.output + "track" + std::to_string(t) + ".ogg";
        if (!platform::EncodeOggVorbis(interleaved.data(), int64_t(loop.Frames()),
                                       {2, synth::kRate, kQuality, uint32_t(0x4B41564F + t), true}, stream) ||
            !platform::WriteFileAtomically(path, stream))
        {
            std::fprintf(stderr, "musicgen: cannot write %s\n", path.c_str());
            return 1;
        }
        if (!folders.preview.empty())
        {
            std::string name = folders.preview + "track" + std::to_string(t);
            synth::WriteSpectrogram(name + ".png", loop);
            synth::WriteSpectrogram(name + "_seam.png", Seam(loop));
        }
        std::printf(
            "musicgen: track%zu \"%s\": %d bars at %d bpm, %.2f s, peak %.1f dB, loudness %.1f dB, %zu kB\n",
            t, song.name.c_str(), song.bars, song.bpm, double(loop.Frames()) / synth::kRate,
            synth::GainToDb(synth::Peak(loop)), synth::AverageLoudnessDb(loop), stream.size() / 1024);
    }
    return 0;
}
