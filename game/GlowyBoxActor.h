#pragma once

#include "game/TutorialActor.h"

namespace Kavo
{

// The highlight frame around a group of the tutorial's right-hand board.
class GlowyBoxActor : public TutorialActor
{
public:
    GlowyBoxActor(int x, int y, int width, int height);

    void Draw(Graphics* g) override;
    Rect Area() const override;
};

} // namespace Kavo
