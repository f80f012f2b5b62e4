#include "ResourceTestSupport.h"

#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "graphics/ImageLib.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace restest
{

using namespace Kavo;

int RecordingSounds::GetFreeSoundId()
{
    for (int id = 0; id < kMaxSounds; ++id)
        if (files[id].empty()) return id;
    return -1;
}

bool RecordingSounds::LoadSoundFile(int soundId, const std::string& fileName)
{
    log.push_back("load " + std::to_string(soundId) + " " + fileName);
    if (refuseLoads || soundId < 0 || soundId >= kMaxSounds) return false;
    files[soundId] = fileName;
    return true;
}

bool RecordingSounds::SetBaseVolume(int soundId, double volume)
{
    log.push_back("volume " + std::to_string(soundId) + " " + StrFormat("%g", volume));
    return true;
}

bool RecordingSounds::SetBasePan(int soundId, int pan)
{
    log.push_back("pan " + std::to_string(soundId) + " " + std::to_string(pan));
    return true;
}

void RecordingSounds::ReleaseSound(int soundId)
{
    log.push_back("release " + std::to_string(soundId));
    if (soundId >= 0 && soundId < kMaxSounds) files[soundId].clear();
}

FakeHost::~FakeHost()
{
    for (auto& [name, shared] : mShared)
        delete shared->image;
}

SharedImageHandle FakeHost::GetSharedImage(const std::string& fileName, const std::string& variant,
                                           bool* isNew)
{
    requested.push_back(fileName);
    composeColors.push_back(ImageLib::gAlphaComposeColor);
    std::string key = StringToUpper(fileName) + "|" + StringToUpper(variant);
    auto found = mShared.find(key);
    bool inserted = found == mShared.end();
    if (inserted)
    {
        auto shared = std::make_unique<SharedImage>();
        shared->image = GetImage(fileName, false);
        found = mShared.emplace(key, std::move(shared)).first;
    }
    if (isNew) *isNew = inserted;
    SharedImageHandle handle;
    handle.AssignShared(found->second.get());
    return handle;
}

DDImage* FakeHost::GetImage(const std::string& path, bool commit)
{
    std::unique_ptr<ImageLib::Image> file = ImageLib::GetImage(path, true);
    if (!file) return nullptr;
    auto* image = new DDImage(nullptr);
    image->filePath = path;
    image->SetBits(file->bits.get(), file->width, file->height, commit);
    return image;
}

SharedImage* FakeHost::Shared(const std::string& fileName)
{
    for (auto& [key, shared] : mShared)
        if (key.compare(0, fileName.size() + 1, StringToUpper(fileName) + "|") == 0) return shared.get();
    return nullptr;
}

std::string Folder()
{
    return scratch::FreshFolder("res-");
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

void WritePng(const std::string& path, int w, int h, const std::vector<uint32_t>& pixels)
{
    ImageLib::Image image;
    ASSERT_TRUE(image.Allocate(w, h));
    std::copy(pixels.begin(), pixels.end(), image.bits.get());
    ASSERT_TRUE(ImageLib::WritePNG(path, image));
}

std::string WriteManifest(const std::string& folder, const std::string& body)
{
    std::string path = folder + "resources.xml";
    WriteFile(path, "<ResourceManifest>\n" + body + "</ResourceManifest>\n");
    return path;
}

void ReadInFolder(ResourceManager& manager, const std::string& folder, const std::string& groups)
{
    std::string path = WriteManifest(folder, "<Resources id=\"Defaults\"><SetDefaults path=\"" + folder +
                                                 "\"/></Resources>\n" + groups);
    ASSERT_TRUE(manager.LoadManifest(path)) << manager.GetErrorText();
}

} // namespace restest
