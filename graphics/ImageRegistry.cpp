#include "graphics/ImageRegistry.h"

#include "app/CriticalSection.h"
#include "graphics/NativeDisplay.h"

#include <atomic>
#include <mutex>
#include <set>

namespace Kavo
{

namespace
{

// Stands in until the application object exists: a set of live images under its own lock, an
// 8-bit-per-channel layout and no 3D.
class BuiltInImageRegistry : public ImageRegistry
{
public:
    BuiltInImageRegistry() { mDisplay.SetLayout8888(); }

    void AddMemoryImage(MemoryImage* image) override
    {
        std::lock_guard<CriticalSection> lock(mLock);
        mImages.insert(image);
    }
    void RemoveMemoryImage(MemoryImage* image) override
    {
        std::lock_guard<CriticalSection> lock(mLock);
        mImages.erase(image);
    }
    void RemoveImageFromDisplay(MemoryImage*) override {}
    bool Is3DAccelerated() override { return false; }
    const NativeDisplay* GetNativeDisplay() override { return &mDisplay; }
    bool CopyTexturesToBits(MemoryImage*) override { return false; }
    void SetSharedImageCleanupNeeded() override {}

private:
    CriticalSection mLock;
    std::set<MemoryImage*> mImages;
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
