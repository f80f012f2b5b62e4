#include "game/BoardFrameActor.h"

#include "graphics/Graphics.h"
#include "puzzle/ResourceIds.h"

namespace Kavo
{

namespace
{
constexpr int kPitch = 65;
} // namespace

BoardFrameActor::BoardFrameActor(int x, int y, int columns, int rows)
    : TutorialActor(x, y), mColumns(columns), mRows(rows)
{
}

Rect BoardFrameActor::Area() const
{
    return GridArea(int(mX), int(mY), mColumns, mRows);
}

void BoardFrameActor::Draw(Graphics* g)
{
    for (int row = 0; row < mRows; ++row)
        for (int column = 0; column < mColumns; ++column)
        {
            const int x = int(mX) + kPitch * column;
            const int y = int(mY) + kPitch * row;
            g->DrawImageCel(IMAGE_GRID_SQUARE, x, y, 0);
            if (column < mColumns - 1 && row < mRows - 1) g->DrawImage(IMAGE_GRID_CROSSBEAM, x + 57, y + 56);
        }
}

} // namespace Kavo
