// soundgen: synthesises the game's sound effects into sounds/<name>.wav below the content folder.
//   soundgen <content folder> <game folder> [--preview <folder>]
// With --preview, a spectrogram picture of each sound goes into that folder as well, and each
// sound's length and levels are listed.
#include "tools/soundgen/Sounds.h"
#include "tools/synth/Generator.h"
#include "tools/synth/Output.h"

#include <cstdio>
#include <string>

namespace
{

// The common loudness (see synth::LoudnessDb) and the highest peak any sound may reach.
constexpr double kLoudnessDb = -12;
constexpr double kPeakLimit = 0.89; // -1 dB

} // namespace

int main(int argc, char** argv)
{
    synth::GeneratorFolders folders;
    if (!synth::StartGenerator(argc, argv, "soundgen", "sounds", false, folders)) return 1;
    int written = 0;
    for (const soundgen::SoundRecipe& recipe : soundgen::Recipes())
    {
        synth::Stereo sound = recipe.make();
        synth::FadeEdges(sound, 0.002, 0.04);
        double gain = synth::Normalise(sound, kLoudnessDb + recipe.loudnessOffset, kPeakLimit);
        std::string path = folders.output + recipe.name + ".wav";
        if (!synth::WriteWave(path, sound) ||
            (!folders.preview.empty() &&
             !synth::WriteSpectrogram(folders.preview + recipe.name + ".png", sound)))
        {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
        if (!folders.preview.empty())
            std::printf("soundgen: %-18s %5.2f s  peak %5.1f dB  loudness %5.1f dB  gain %+5.1f dB\n",
                        recipe.name.c_str(), double(sound.Frames()) / synth::kRate,
                        synth::GainToDb(synth::Peak(sound)), synth::LoudnessDb(sound), synth::GainToDb(gain));
        ++written;
    }
    std::printf("soundgen: %d sounds written to %s\n", written, folders.output.c_str());
    return 0;
}
