#pragma once

#include "tools/musicgen/Score.h"

#include <vector>

namespace musicgen
{

// The game's four tracks, in file order: the menu theme, then the level themes from the calmest to
// the most driving.
std::vector<Song> Tracks();

} // namespace musicgen
