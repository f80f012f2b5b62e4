#pragma once

#include "game/TutorialActor.h"

namespace Kavo
{

// The click mark (IMAGE_TUTORIAL_CLICK): hidden at the start of every update, so it shows only
// while one of its show events runs.
class ClickActor : public TutorialActor
{
public:
    ClickActor(int x, int y);

    void Update(int time) override;
    void Draw(Graphics* g) override;
    Rect Area() const override;
};

} // namespace Kavo
