#include "game/GlowyBoxActor.h"

#include "puzzle/DrawingFunctions.h"

namespace Kavo
{

GlowyBoxActor::GlowyBoxActor(int x, int y, int width, int height) : TutorialActor(x, y)
{
    mWidth = width;
    mHeight = height;
}

void GlowyBoxActor::Draw(Graphics* g)
{
    DrawGlowyBox(g, Rect(int(mX), int(mY), mWidth, mHeight));
}

} // namespace Kavo
