#include "graphics/ImageRegistry.h"

#include "graphics/NativeDisplay.h"

#include <atomic>

namespace Kavo
{

namespace
{

// Stands in until the application object exists: nothing to notify, an 8-bit-per-channel
// layout and no 3D.
class BuiltInImageRegistry : public ImageRegistry
{
public:
    BuiltInImageRegistry() { mDisplay.SetLayout8888(); }

    void AddMemoryImage(MemoryImage*) override {}
    void RemoveMemoryImage(MemoryImage*) override {}
    void RemoveImageFromDisplay(MemoryImage*) override {}
    bool Is3DAccelerated() override { return false; }
    const NativeDisplay* GetNativeDisplay() override { return &mDisplay; }
    bool CopyTexturesToBits(MemoryImage*) override { return false; }
    void SetSharedImageCleanupNeeded() override {}

private:
    NativeDisplay mDisplay;
};

std::atomic<ImageRegistry*> gInstalled{nullptr};

} // namespace

ImageRegistry* ImageRegistry::Get()
{
    ImageRegistry* installed = gInstalled.load();
    if (installed) return installed;
    static BuiltInImageRegistry builtIn;
    return &builtIn;
}

void ImageRegistry::Install(ImageRegistry* registry)
{
    gInstalled.store(registry);
}

} // namespace Kavo
