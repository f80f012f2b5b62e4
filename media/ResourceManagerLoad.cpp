// The resource manager's loading, lookups and releasing of groups.
#include "media/ResourceManager.h"

#include "base/SystemInfo.h"
#include "display/DDImage.h"
#include "graphics/FontData.h"
#include "graphics/ImageFont.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "media/ResourceHost.h"
#include "media/ResourceManagerException.h"
#include "media/SoundManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

// Texture hint flags of an image, read by the 3D renderer.
constexpr uint32_t kHintMinSubdivide = 1;
constexpr uint32_t kHintA4R4G4B4 = 4;
constexpr uint32_t kHintA8R8G8B8 = 8;

// The longest tag text of a font that is read.
constexpr size_t kMaxTagText = 1023;

} // namespace

// ---------------------------------------------------------------- groups

void ResourceManager::StartLoadResources(const std::string& group)
{
    ClearError();
    mCurResGroup = group;
    mCurResGroupList = &mResGroupMap[group];
    mCurResGroupPos = 0;
}

bool ResourceManager::LoadNextResource()
{
    if (mHasFailed || !mCurResGroupList) return false;
    while (mCurResGroupPos < mCurResGroupList->size())
    {
        BaseRes* res = (*mCurResGroupList)[mCurResGroupPos++];
        if (res->fromProgram) continue;
        switch (res->type)
        {
        case ResType_Image:
        {
            auto* image = static_cast<ImageRes*>(res);
            if (image->image.GetImage()) continue;
            return LoadImage(image);
        }
        case ResType_Sound:
        {
            auto* sound = static_cast<SoundRes*>(res);
            if (sound->soundId != -1) continue;
            return LoadSound(sound);
        }
        case ResType_Font:
        {
            auto* font = static_cast<FontRes*>(res);
            if (font->font) continue;
            return LoadFont(font);
        }
        default:
            continue;
        }
    }
    return false;
}

bool ResourceManager::LoadResources(const std::string& group)
{
    ClearError();
    StartLoadResources(group);
    while (LoadNextResource())
    {
    }
    if (mHasFailed) return false;
    mLoadedGroups.insert(group);
    return true;
}

void ResourceManager::DeleteGroupFromMap(ResMap& map, const std::string& group)
{
    for (auto& [id, res] : map)
        if (group.empty() || res->group == group) res->DeleteResource();
}

void ResourceManager::DeleteResources(const std::string& group)
{
    DeleteGroupFromMap(mImageMap, group);
    DeleteGroupFromMap(mSoundMap, group);
    DeleteGroupFromMap(mFontMap, group);
    mLoadedGroups.erase(group);
}

// ---------------------------------------------------------------- images

bool ResourceManager::LoadImage(ImageRes* res)
{
    // An image made from an alpha file alone takes the resource's colour.
    bool isNew = false;
    ImageLib::gAlphaComposeColor = res->alphaColor;
    SharedImageHandle handle = mApp->GetSharedImage(res->path, res->variant, &isNew);
    ImageLib::gAlphaComposeColor = 0xFFFFFF;
    MemoryImage* image = handle.GetImage();
    if (!image) return Fail("Failed to load image: " + res->path);

    if (isNew)
    {
        if (!res->alphaImage.empty() && !ApplyAlphaImage(res, image)) return false;
        if (!res->alphaGridImage.empty() && !ApplyAlphaGrid(res, image)) return false;
    }
    image->CommitBits();
    res->image = handle;
    image->purgeBits = res->purgeBits;
    DDImage* surfaceImage = dynamic_cast<DDImage*>(image);
    if (res->ddSurface)
    {
        // An image without alpha keeps only its display surface.
        image->CommitBits();
        if (!image->hasAlpha)
        {
            if (surfaceImage) surfaceImage->mWantSurface = true;
            image->purgeBits = true;
        }
    }
    if (res->palletize)
    {
        // A surface the image already has (an image shared with an earlier resource) stays:
        // the palette is made when the image is set up again.
        if (surfaceImage && surfaceImage->mSurface)
            image->wantPal = true;
        else
            image->Palletize();
    }
    if (res->a4r4g4b4) image->d3dFlags |= kHintA4R4G4B4;
    if (res->a8r8g8b8) image->d3dFlags |= kHintA8R8G8B8;
    if (res->minSubdivide) image->d3dFlags |= kHintMinSubdivide;
    if (res->animInfo.animType != AnimInfo::AnimNone)
        image->animInfo = std::make_unique<AnimInfo>(res->animInfo);
    image->numRows = res->rows;
    image->numCols = res->cols;
    if (image->purgeBits) image->PurgeBits();
    OnResourceLoaded(res);
    return true;
}

bool ResourceManager::ApplyAlphaImage(ImageRes* res, MemoryImage* image)
{
    std::unique_ptr<ImageLib::Image> alpha = ImageLib::GetImage(res->alphaImage, true);
    if (!alpha) return Fail("Failed to load image: " + res->alphaImage);
    if (alpha->width != image->width || alpha->height != image->height)
        return Fail("AlphaImage size mismatch between " + res->path + " and " + res->alphaImage);
    uint32_t* bits = image->GetBits();
    size_t count = size_t(image->width) * size_t(image->height);
    for (size_t i = 0; i < count; ++i)
        bits[i] = (bits[i] & 0x00FFFFFF) | ((alpha->bits[i] & 0xFF) << 24);
    image->BitsChanged();
    return true;
}

bool ResourceManager::ApplyAlphaGrid(ImageRes* res, MemoryImage* image)
{
    std::unique_ptr<ImageLib::Image> alpha = ImageLib::GetImage(res->alphaGridImage, true);
    if (!alpha) return Fail("Failed to load image: " + res->alphaGridImage);
    int cols = std::max(res->cols, 1);
    int rows = std::max(res->rows, 1);
    int celWidth = image->width / cols;
    int celHeight = image->height / rows;
    if (alpha->width != celWidth || alpha->height != celHeight)
        return Fail("GridAlphaImage size mismatch between " + res->path + " and " + res->alphaGridImage);
    uint32_t* bits = image->GetBits();
    size_t width = size_t(image->width);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            for (int y = 0; y < celHeight; ++y)
            {
                uint32_t* dest = bits + (size_t(row) * size_t(celHeight) + size_t(y)) * width +
                                 size_t(col) * size_t(celWidth);
                const uint32_t* source = alpha->bits.get() + size_t(y) * size_t(celWidth);
                for (int x = 0; x < celWidth; ++x)
                    dest[x] = (dest[x] & 0x00FFFFFF) | ((source[x] & 0xFF) << 24);
            }
    image->BitsChanged();
    return true;
}

// ---------------------------------------------------------------- sounds

bool ResourceManager::LoadSound(SoundRes* res)
{
    SoundManager* sounds = mApp->GetSoundManager();
    int id = sounds ? sounds->GetFreeSoundId() : -1;
    if (id < 0) return Fail("Out of free sound ids");
    if (!sounds->LoadSoundFile(id, res->path)) return Fail("Failed to load sound: " + res->path);
    if (res->volume >= 0) sounds->SetBaseVolume(id, res->volume);
    if (res->pan != 0) sounds->SetBasePan(id, res->pan);
    res->soundId = id;
    res->soundManager = sounds;
    OnResourceLoaded(res);
    return true;
}

// ---------------------------------------------------------------- fonts

ResourceManager::FontRes* ResourceManager::FindFontResource(const std::string& id)
{
    return static_cast<FontRes*>(Find(mFontMap, id));
}

bool ResourceManager::LoadFont(FontRes* res)
{
    std::unique_ptr<Font> font;
    std::shared_ptr<MemoryImage> image;
    if (res->sysFont)
    {
        // The Windows 95 family draws bold by drawing twice.
        bool simulateBold = res->bold && IsWindows9x();
        auto sysFont = std::make_unique<SysFont>(res->path.substr(5), res->size, res->bold && !simulateBold,
                                                 res->italic, res->underline);
        sysFont->simulateBold = simulateBold;
        sysFont->drawShadow = res->shadow;
        font = std::move(sysFont);
    }
    else if (res->imagePath.empty() && res->path.compare(0, 5, "!ref:") == 0)
    {
        std::string refId = res->path.substr(5);
        FontRes* ref = FindFontResource(refId);
        if (!ref || !ref->font) return Fail("Ref font not found: " + refId);
        font.reset(ref->font->Duplicate());
        image = ref->image;
    }
    else if (res->imagePath.empty())
    {
        font = std::make_unique<ImageFont>(mApp, res->path);
    }
    else
    {
        image.reset(mApp->GetImage(res->imagePath, true));
        if (!image) return Fail("Failed to load image: " + res->imagePath);
        font = std::make_unique<ImageFont>(image.get(), res->path);
    }

    if (auto* imageFont = dynamic_cast<ImageFont*>(font.get()))
    {
        if (!imageFont->fontData->mInitialized) return Fail("Failed to load font: " + res->path);
        if (!res->tags.empty())
        {
            std::string tags = res->tags.substr(0, kMaxTagText);
            size_t start = 0;
            while ((start = tags.find_first_not_of(", \r\n\t", start)) != std::string::npos)
            {
                size_t end = tags.find_first_of(", \r\n\t", start);
                imageFont->AddTag(tags.substr(start, end - start));
                start = end;
            }
            imageFont->Prepare();
        }
    }
    res->font = std::move(font);
    res->image = std::move(image);
    OnResourceLoaded(res);
    return true;
}

// ---------------------------------------------------------------- lookups

ResourceManager::BaseRes* ResourceManager::Find(const ResMap& map, const std::string& id)
{
    auto found = map.find(id);
    return found == map.end() ? nullptr : found->second.get();
}

void ResourceManager::ThrowNotFound(const std::string& text)
{
    Fail(text);
    throw ResourceManagerException(GetErrorText());
}

SharedImageHandle ResourceManager::GetImageOrThrow(const std::string& id)
{
    auto* res = static_cast<ImageRes*>(Find(mImageMap, id));
    if (res && res->image.GetImage()) return res->image;
    ThrowNotFound("Image resource not found: " + id);
}

int ResourceManager::GetSoundOrThrow(const std::string& id)
{
    auto* res = static_cast<SoundRes*>(Find(mSoundMap, id));
    if (res && res->soundId != -1) return res->soundId;
    ThrowNotFound("Sound resource not found: " + id);
}

Font* ResourceManager::GetFontOrThrow(const std::string& id)
{
    auto* res = static_cast<FontRes*>(Find(mFontMap, id));
    if (res && res->font) return res->font.get();
    ThrowNotFound("Font resource not found: " + id);
}

} // namespace Kavo
