#pragma once

#include "game/TutorialActor.h"

namespace Kavo
{

// The tutorial's mouse pointer (IMAGE_TUTORIAL_MOUSECURSOR).
class MouseCursorActor : public TutorialActor
{
public:
    MouseCursorActor(int x, int y);

    void Draw(Graphics* g) override;
    Rect Area() const override;
};

} // namespace Kavo
