#pragma once

#include "game/TutorialActor.h"

namespace Kavo
{

// A grid of board squares (IMAGE_GRID_SQUARE, 65 pixels apart) with a crossbeam
// (IMAGE_GRID_CROSSBEAM) at the inner corner of every square not in the last column or row.
class BoardFrameActor : public TutorialActor
{
public:
    BoardFrameActor(int x, int y, int columns, int rows);

    void Draw(Graphics* g) override;
    Rect Area() const override;

    int mColumns;
    int mRows;
};

} // namespace Kavo
