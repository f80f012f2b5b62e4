#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

// One tip of "properties\Tips.xml": its text and the kinds of games it suits (TipChooserFlags
// bits, game/TipList.h).
struct Tip
{
    std::string text;
    uint32_t flags = 0;
};

} // namespace Kavo
