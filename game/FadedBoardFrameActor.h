#pragma once

#include "game/TutorialActor.h"

namespace Kavo
{

// A 4 x 3 board frame whose squares at row 0 columns 0 and 3 and row 2 columns 0, 1 and 3 are
// drawn faded (white at alpha 140).
class FadedBoardFrameActor : public TutorialActor
{
public:
    static constexpr int kColumns = 4;
    static constexpr int kRows = 3;

    FadedBoardFrameActor(int x, int y);

    void Draw(Graphics* g) override;
    Rect Area() const override;
    static bool IsFaded(int column, int row);
};

} // namespace Kavo
