#include "game/MouseCursorActor.h"

#include "graphics/Graphics.h"
#include "puzzle/ResourceIds.h"

namespace Kavo
{

MouseCursorActor::MouseCursorActor(int x, int y) : TutorialActor(x, y) {}

Rect MouseCursorActor::Area() const
{
    return ImageAreaAt(IMAGE_TUTORIAL_MOUSECURSOR, mX, mY);
}

void MouseCursorActor::Draw(Graphics* g)
{
    g->DrawImageF(IMAGE_TUTORIAL_MOUSECURSOR, mX, mY);
}

} // namespace Kavo
