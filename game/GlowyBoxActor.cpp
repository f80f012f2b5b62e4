#include "game/GlowyBoxActor.h"

#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"

#include <algorithm>

namespace Kavo
{

GlowyBoxActor::GlowyBoxActor(int x, int y, int width, int height) : TutorialActor(x, y)
{
    mWidth = width;
    mHeight = height;
}

Rect GlowyBoxActor::Area() const
{
    // The frame's edges and corners, from 3 pixels outside the box.
    const Rect r(int(mX), int(mY), mWidth, mHeight);
    int reachX = 0, reachY = 0;
    for (Image* image : {IMAGE_GLOWYBOX_UPLEFTCORNER, IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER,
                         IMAGE_GLOWYBOX_LEFTRIGHTPIXEL, IMAGE_GLOWYBOX_UPDOWNPIXEL})
        if (image != nullptr)
        {
            reachX = std::max(reachX, image->GetWidth());
            reachY = std::max(reachY, image->GetHeight());
        }
    return Rect(r.mX - 3, r.mY - 3, r.mWidth + reachX, r.mHeight + reachY);
}

void GlowyBoxActor::Draw(Graphics* g)
{
    DrawGlowyBox(g, Rect(int(mX), int(mY), mWidth, mHeight));
}

} // namespace Kavo
