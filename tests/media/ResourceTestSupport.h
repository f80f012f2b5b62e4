#pragma once

// A fake application for the resource manager: images through the real image readers into a
// shared-image table of its own, a switch for 3D acceleration, a sound manager that writes
// down what it is asked, and a record of error boxes. Fixture files are made by the tests.
#include "graphics/SharedImage.h"
#include "media/DSoundManager.h"
#include "media/ResourceHost.h"
#include "media/ResourceManager.h"
#include "media/ResourceManagerException.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace restest
{

// 256 sound ids of its own (whatever the real manager does without a device) and a log of the
// calls, such as "load 0 sounds/click", "volume 0 0.5", "pan 0 -300", "release 0".
class RecordingSounds : public Kavo::DSoundManager
{
public:
    RecordingSounds() : DSoundManager(platform::kNoWindow, false) {}

    int GetFreeSoundId() override;
    bool LoadSoundFile(int soundId, const std::string& fileName) override;
    bool SetBaseVolume(int soundId, double volume) override;
    bool SetBasePan(int soundId, int pan) override;
    void ReleaseSound(int soundId) override;

    std::vector<std::string> log;
    std::string files[kMaxSounds]; // empty: free
    bool refuseLoads = false;      // LoadSoundFile fails
};

class FakeHost : public Kavo::ResourceHost
{
public:
    ~FakeHost() override;

    Kavo::SharedImageHandle GetSharedImage(const std::string& fileName, const std::string& variant,
                                           bool* isNew) override;
    Kavo::DDImage* GetImage(const std::string& path, bool commit = true) override;
    bool Is3DAccelerated() override { return is3D; }
    Kavo::SoundManager* GetSoundManager() override { return &sounds; }
    void Popup(const std::string& text) override { popups.push_back(text); }

    // The shared image of that name (any variant), or null.
    Kavo::SharedImage* Shared(const std::string& fileName);

    bool is3D = false;
    RecordingSounds sounds;
    std::vector<std::string> popups;
    std::vector<std::string> requested; // names given to GetSharedImage, in order
    // The alpha compose colour each GetSharedImage saw.
    std::vector<uint32_t> composeColors;

private:
    std::map<std::string, std::unique_ptr<Kavo::SharedImage>> mShared;
};

// A folder named after the running test (made afresh), ending in "/".
std::string Folder();
void WriteFile(const std::string& path, const std::string& contents);
// w x h pixels (0xAARRGGBB, row by row) as a PNG file.
void WritePng(const std::string& path, int w, int h, const std::vector<uint32_t>& pixels);
// "<ResourceManifest>" + body + "</ResourceManifest>" written to folder + "resources.xml";
// returns that path.
std::string WriteManifest(const std::string& folder, const std::string& body);
// Reads a manifest of the groups, before which a group sets the default path to the folder.
void ReadInFolder(Kavo::ResourceManager& manager, const std::string& folder, const std::string& groups);

} // namespace restest
