#pragma once

namespace Kavo
{

class MemoryImage;
class NativeDisplay;

// What software images need of the application object: every living image registers itself so
// that a change of display mode or of 3D acceleration reaches it, and images read the display's
// pixel layout and ask for their display data to be dropped. The application object implements
// it; until one is installed, a built-in registry offers an 8-bit-per-channel layout without 3D.
class ImageRegistry
{
public:
    virtual ~ImageRegistry() = default;

    // Called from every software image's constructor and destructor (under the display's lock).
    virtual void AddMemoryImage(MemoryImage* image) = 0;
    // Also drops the image's display data.
    virtual void RemoveMemoryImage(MemoryImage* image) = 0;
    // Drops the image's display data (3D textures).
    virtual void RemoveImageFromDisplay(MemoryImage* image) = 0;
    virtual bool Is3DAccelerated() = 0;
    // The display's pixel layout (never null).
    virtual const NativeDisplay* GetNativeDisplay() = 0;
    // Copies the image's texture back into its bits (already allocated); false when there is no
    // texture or it is out of date.
    virtual bool CopyTexturesToBits(MemoryImage* image) = 0;
    // A shared image lost its last handle: unreferenced shared images are deleted later.
    virtual void SetSharedImageCleanupNeeded() = 0;

    // The process-wide registry: the one installed, else the built-in one.
    static ImageRegistry* Get();
    // Installs the application's registry; null goes back to the built-in one.
    static void Install(ImageRegistry* registry);
};

} // namespace Kavo
