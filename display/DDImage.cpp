#include "display/DDImage.h"

#include "display/DDInterface.h"

namespace Kavo
{

DDImage::DDImage(DDInterface* display) : mDDInterface(display)
{
    if (mDDInterface) mDDInterface->AddImage(this);
}

DDImage::~DDImage()
{
    if (mDDInterface) mDDInterface->RemoveImage(this);
}

bool DDImage::LockSurface()
{
    return false;
}

bool DDImage::UnlockSurface()
{
    return false;
}

bool DDImage::ImageDrawsThrough3D(Image* image)
{
    (void)image;
    return false;
}

} // namespace Kavo
