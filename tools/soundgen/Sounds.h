#pragma once

#include "tools/synth/Dsp.h"

#include <functional>
#include <string>
#include <vector>

// The game's sound effects, each a recipe of layered instruments.
namespace soundgen
{

struct SoundRecipe
{
    std::string name;      // the file name below sounds/, without ".wav"
    double loudnessOffset; // dB against the common loudness: quieter for sounds heard often
    std::function<synth::Stereo()> make;
};

// All 25, by name.
std::vector<SoundRecipe> Recipes();

} // namespace soundgen
