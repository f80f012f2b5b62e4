#include "graphics/SharedImageHandle.h"

#include "graphics/ImageRegistry.h"
#include "graphics/MemoryImage.h"

namespace Kavo
{

SharedImageHandle::SharedImageHandle(const SharedImageHandle& other)
    : sharedImage(other.sharedImage), unsharedImage(other.unsharedImage)
{
    if (sharedImage) ++sharedImage->refCount;
}

SharedImageHandle& SharedImageHandle::operator=(const SharedImageHandle& other)
{
    if (this == &other) return *this;
    SharedImage* shared = other.sharedImage;
    MemoryImage* unshared = other.unsharedImage;
    if (shared) ++shared->refCount; // before Release, in case both name the same record
    Release();
    sharedImage = shared;
    unsharedImage = unshared;
    ownsUnshared = false;
    return *this;
}

SharedImageHandle::~SharedImageHandle()
{
    Release();
}

void SharedImageHandle::Release()
{
    if (ownsUnshared && unsharedImage) delete unsharedImage;
    unsharedImage = nullptr;
    if (sharedImage)
    {
        if (--sharedImage->refCount == 0) ImageRegistry::Get()->SetSharedImageCleanupNeeded();
        sharedImage = nullptr;
    }
}

void SharedImageHandle::AssignHandle(const SharedImageHandle& other)
{
    SharedImage* shared = other.sharedImage;
    if (shared) ++shared->refCount;
    Release();
    sharedImage = shared;
}

void SharedImageHandle::AssignShared(SharedImage* shared)
{
    ++shared->refCount;
    Release();
    sharedImage = shared;
}

void SharedImageHandle::AssignUnshared(MemoryImage* image)
{
    if (image == unsharedImage) unsharedImage = nullptr; // held again, not deleted
    Release();
    unsharedImage = image;
}

MemoryImage* SharedImageHandle::GetImage() const
{
    if (unsharedImage) return unsharedImage;
    return sharedImage ? sharedImage->image : nullptr;
}

} // namespace Kavo
