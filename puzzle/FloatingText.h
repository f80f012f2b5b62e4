#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

// A score or message text rising over the board; "*" and "+" draw the bonus and combo images.
// Saved as x, y, phase and the text; the sound flag is not saved (reads back false).
struct FloatingText
{
    int32_t x = 0; // widget coordinates
    int32_t y = 0;
    float phase = 0.0f; // grows to 1, when the text is removed
    std::string text;
    bool sound = false; // SOUND_LONGCHAIN plays the first time it is drawn
};

} // namespace Kavo
