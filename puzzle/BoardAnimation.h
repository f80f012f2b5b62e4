#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

// A piece sliding between two squares, or a square exploding (which uses the first square).
// Saved as its nine 4-byte fields in this order, then the label.
struct BoardAnimation
{
    enum Direction
    {
        kLeft = 0,
        kRight = 1,
        kDown = 2,
        kUp = 3,
        kNone = 5,
    };

    int32_t fromX = -1;
    int32_t fromY = -1;
    int32_t toX = -1;
    int32_t toY = -1;
    float progress = 0.0f;     // 0 to 1
    int32_t direction = kNone; // slides
    int32_t shownPiece = 15;   // the square's exploded piece
    int32_t piece = 15;        // the moving piece of a slide; an explosion of piece 0 ends at once
    float delay = 0.0f;        // update units before an explosion starts
    std::string label;         // chain-boost text floated when the explosion starts
};

} // namespace Kavo
