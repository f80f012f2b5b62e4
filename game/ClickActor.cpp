#include "game/ClickActor.h"

#include "graphics/Graphics.h"
#include "puzzle/ResourceIds.h"

namespace Kavo
{

ClickActor::ClickActor(int x, int y) : TutorialActor(x, y)
{
    mVisible = false;
}

void ClickActor::Update(int time)
{
    mVisible = false;
    TutorialActor::Update(time);
}

Rect ClickActor::Area() const
{
    return ImageAreaAt(IMAGE_TUTORIAL_CLICK, mX, mY);
}

void ClickActor::Draw(Graphics* g)
{
    g->DrawImageF(IMAGE_TUTORIAL_CLICK, mX, mY);
}

} // namespace Kavo
