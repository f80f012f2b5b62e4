#include "game/FadedBoardFrameActor.h"

#include "graphics/Graphics.h"
#include "puzzle/ResourceIds.h"

namespace Kavo
{

namespace
{
constexpr int kPitch = 65;
constexpr int kFadedAlpha = 140;
} // namespace

FadedBoardFrameActor::FadedBoardFrameActor(int x, int y) : TutorialActor(x, y) {}

Rect FadedBoardFrameActor::Area() const
{
    return GridArea(int(mX), int(mY), kColumns, kRows);
}

bool FadedBoardFrameActor::IsFaded(int column, int row)
{
    if (row == 0) return column == 0 || column == 3;
    if (row == 2) return column == 0 || column == 1 || column == 3;
    return false;
}

void FadedBoardFrameActor::Draw(Graphics* g)
{
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
        {
            const int x = int(mX) + kPitch * column;
            const int y = int(mY) + kPitch * row;
            if (IsFaded(column, row))
            {
                bool colorize = g->GetColorizeImages();
                Color saved = g->GetColor();
                g->SetColorizeImages(true);
                g->SetColor(Color(255, 255, 255, kFadedAlpha));
                g->DrawImageCel(IMAGE_GRID_SQUARE, x, y, 0);
                g->SetColorizeImages(colorize);
                g->SetColor(saved);
            }
            else
            {
                g->DrawImageCel(IMAGE_GRID_SQUARE, x, y, 0);
            }
            if (column < kColumns - 1 && row < kRows - 1) g->DrawImage(IMAGE_GRID_CROSSBEAM, x + 57, y + 56);
        }
}

} // namespace Kavo
