#pragma once

#include "graphics/MemoryImage.h"

namespace Kavo
{

class DDInterface;

// The image that lives with the display. Its pixels are the software image's; every drawing
// operation takes the software road, and the display presents the pixels of the screen image.
// Callers tell it apart from other images by its run-time type.
class DDImage : public MemoryImage
{
public:
    explicit DDImage(DDInterface* display);
    ~DDImage() override;

    // True when the surface is locked for software drawing (a nesting count rises). The image
    // has no surface apart from its pixels, so there is nothing to lock: always false, and the
    // caller then unlocks nothing.
    bool LockSurface();
    bool UnlockSurface();
    // The memory-side copies are the only copy here: nothing is discarded.
    void DiscardMemoryCopies() {}
    // True only for an image whose drawing goes through 3D (never, without a 3D device).
    static bool ImageDrawsThrough3D(Image* image);

    DDInterface* mDDInterface = nullptr;
    int mLockCount = 0;
    bool mNeverLock = false;
    bool mInVideoMemory = false;
};

} // namespace Kavo
