#pragma once

namespace Kavo
{

// A square of the board: x the column (0 at the left), y the row (0 at the top).
struct SquarePos
{
    int x = 0;
    int y = 0;

    bool operator==(const SquarePos&) const = default;
};

} // namespace Kavo
