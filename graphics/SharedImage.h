#pragma once

namespace Kavo
{

class MemoryImage;

// One image shared by name through the application's shared-image table, which owns the image
// and deletes it once no handle counts it any more.
class SharedImage
{
public:
    MemoryImage* image = nullptr;
    int refCount = 0;
};

} // namespace Kavo
