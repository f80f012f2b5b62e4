#pragma once

#include "graphics/SharedImage.h"

namespace Kavo
{

class ImageRegistry;

// A handle to a shared image (counting one reference on its record) or to an image held alone.
// The handle deletes an unshared image only when ownsUnshared is set; copies never own.
class SharedImageHandle
{
public:
    SharedImage* sharedImage = nullptr;
    MemoryImage* unsharedImage = nullptr;
    bool ownsUnshared = false;

    SharedImageHandle() = default;
    // Takes the other's shared record (one more reference) and its unshared image, not owning it.
    SharedImageHandle(const SharedImageHandle& other);
    SharedImageHandle& operator=(const SharedImageHandle& other);
    ~SharedImageHandle();

    // Deletes an owned unshared image, drops the shared reference (asking the application for
    // a clean-up when it was the last one). ownsUnshared keeps its value.
    void Release();
    // Release, then share the other's record; the other's unshared image is not taken.
    void AssignHandle(const SharedImageHandle& other);
    // Release, then refer to the record (never null).
    void AssignShared(SharedImage* shared);
    // Release, then hold the image; ownsUnshared is left as it is.
    void AssignUnshared(MemoryImage* image);

    // The unshared image, else the shared record's image, else null.
    MemoryImage* GetImage() const;
    operator MemoryImage*() const { return GetImage(); }
    MemoryImage* operator->() const { return GetImage(); }
    // The shared record's image or null.
    MemoryImage* GetSharedImagePtr() const { return sharedImage ? sharedImage->image : nullptr; }
};

} // namespace Kavo
