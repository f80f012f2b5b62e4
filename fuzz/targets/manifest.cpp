// The resource manifest: its groups, defaults and image, sound and font records, then every group
// loaded and released again. Every image asked for is a 16 x 16 picture and sounds load nowhere,
// so what is tried is the manifest's own reading and the cels, grids and animations built on it.
#include "display/DDImage.h"
#include "fuzz/FuzzTarget.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "media/DSoundManager.h"
#include "media/ResourceHost.h"
#include "media/ResourceManager.h"
#include "media/ResourceManagerException.h"

#include <map>
#include <memory>
#include <vector>

namespace
{

uint32_t gPixels[16 * 16];

struct PictureSounds : Kavo::DSoundManager
{
    PictureSounds() : DSoundManager(platform::kNoWindow, false) {}
    int GetFreeSoundId() override { return next++ % kMaxSounds; }
    bool LoadSoundFile(int, const std::string&) override { return true; }
    int next = 0;
};

class PictureHost : public Kavo::ResourceHost
{
public:
    ~PictureHost() override
    {
        for (auto& [name, shared] : mShared)
            delete shared->image;
    }
    void Popup(const std::string&) override {}
    Kavo::SharedImageHandle GetSharedImage(const std::string& fileName, const std::string& variant,
                                           bool* isNew) override
    {
        auto& shared = mShared[fileName + "|" + variant];
        if (isNew) *isNew = !shared;
        if (!shared)
        {
            shared = std::make_unique<Kavo::SharedImage>();
            shared->image = GetImage(fileName, false);
        }
        Kavo::SharedImageHandle handle;
        handle.AssignShared(shared.get());
        return handle;
    }
    Kavo::DDImage* GetImage(const std::string&, bool commit) override
    {
        auto* image = new Kavo::DDImage(nullptr);
        image->SetBits(gPixels, 16, 16, commit);
        return image;
    }
    bool Is3DAccelerated() override { return false; }
    Kavo::SoundManager* GetSoundManager() override { return &mSounds; }

private:
    std::map<std::string, std::unique_ptr<Kavo::SharedImage>> mShared;
    PictureSounds mSounds;
};

struct Manifest : Kavo::ResourceManager
{
    using ResourceManager::ResourceManager;
    std::vector<std::string> Groups() const
    {
        std::vector<std::string> groups;
        for (const auto& [name, records] : mResGroupMap)
            groups.push_back(name);
        return groups;
    }
};

} // namespace

KAVO_FUZZ_TARGET(manifest)
{
    for (int i = 0; i < 16 * 16; ++i)
        gPixels[i] = i % 3 ? 0xFF808080u : 0x00000000u;
    const std::string path = fuzz::WriteInput("resources.xml", data, size);
    PictureHost host;
    Manifest manager(&host);
    if (!manager.LoadManifest(path)) return 0;
    for (const std::string& group : manager.Groups())
    {
        manager.LoadResources(group);
        manager.DeleteResources(group);
    }
    return 0;
}
