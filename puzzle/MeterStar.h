#pragma once

namespace Kavo
{

// A sparkle rising from the completion meter.
struct MeterStar
{
    float xOffset = 0.0f;  // -6 to 12
    float position = 0.0f; // the shown completion when it was made
    float speed = 1.0f;    // 1 to 50
    float phase = 0.0f;    // 0 to 1
};

} // namespace Kavo
