// The resource manager's records, errors and the reading of the manifest. Loading, lookups and
// releasing are in ResourceManagerLoad.cpp.
#include "media/ResourceManager.h"

#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "base/XMLParser.h"
#include "graphics/Font.h"
#include "graphics/MemoryImage.h"
#include "media/ResourceHost.h"
#include "media/SoundManager.h"
#include "platform/files/AsciiCase.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Kavo
{

namespace
{

const char* const kExpectingManifest = "Expecting ResourceManifest tag";
const char* const kUnexpectedEnd = "Unexpected End of File";

bool Has(const XMLElement& element, const char* name)
{
    return element.attributes.count(name) != 0;
}

// The attribute's value; empty when it is absent.
std::string Value(const XMLElement& element, const char* name)
{
    auto it = element.attributes.find(name);
    return it == element.attributes.end() ? std::string() : it->second;
}

// As "%x" reads: leading white space, an optional "0x", hexadecimal digits (wrapping past 32
// bits). False when no digit follows.
bool ParseHex(const std::string& text, uint32_t& value)
{
    size_t i = 0;
    while (i < text.size() && IsSpaceByte(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        i + 2 < text.size() && HexDigitValue(text[i + 2]) >= 0)
        i += 2;
    uint32_t result = 0;
    size_t start = i;
    for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i)
        result = result * 16 + uint32_t(HexDigitValue(text[i]));
    if (i == start) return false;
    value = result;
    return true;
}

// Integers separated by ',', each read as atoi reads it.
std::vector<int> ParseIntList(const std::string& text)
{
    std::vector<int> values;
    size_t start = 0;
    for (;;)
    {
        size_t comma = text.find(',', start);
        values.push_back(StringToIntBase10(text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return values;
}

} // namespace

// ---------------------------------------------------------------- records

void ResourceManager::SoundRes::DeleteResource()
{
    if (soundId >= 0 && soundManager) soundManager->ReleaseSound(soundId);
    soundId = -1;
    soundManager = nullptr;
}

ResourceManager::FontRes::FontRes() : BaseRes(ResType_Font) {}

ResourceManager::FontRes::~FontRes() = default;

void ResourceManager::FontRes::DeleteResource()
{
    font.reset();
    image.reset();
}

// ---------------------------------------------------------------- the manager

ResourceManager::ResourceManager(ResourceHost* app) : mApp(app) {}

ResourceManager::~ResourceManager()
{
    for (ResMap* map : {&mImageMap, &mSoundMap, &mFontMap})
    {
        for (auto& [id, res] : *map)
            res->DeleteResource();
        map->clear();
    }
    mResGroupMap.clear();
    mLoadedGroups.clear();
    mCurResGroupList = nullptr;
}

bool ResourceManager::Fail(const std::string& text)
{
    if (mHasFailed) return false;
    mHasFailed = true;
    mError = text;
    if (mXMLParser)
    {
        int line = mXMLParser->GetCurrentLineNum();
        if (line > 0) mError += " on Line " + std::to_string(line);
        std::string file = mXMLParser->GetFileName();
        if (!file.empty()) mError += " in File '" + file + "'";
    }
    return false;
}

void ResourceManager::ClearError()
{
    mHasFailed = false;
    mError.clear();
}

int ResourceManager::CountGroupResources(const std::string& group)
{
    if (group.empty()) return int(mImageMap.size() + mSoundMap.size() + mFontMap.size());
    auto found = mResGroupMap.find(group);
    if (found == mResGroupMap.end()) return 0;
    int count = 0;
    for (const BaseRes* res : found->second)
        if (!res->fromProgram) ++count;
    return count;
}

// ---------------------------------------------------------------- reading the manifest

bool ResourceManager::LoadManifest(const std::string& fileName)
{
    mXMLParser = std::make_unique<XMLParser>();
    if (!mXMLParser->OpenFile(fileName))
    {
        Fail("Resource file not found: " + fileName);
    }
    else
    {
        XMLElement element;
        for (;;)
        {
            if (!mXMLParser->NextElement(element))
            {
                // The end of the input has no error text of its own.
                std::string text = mXMLParser->GetErrorText();
                Fail(text.empty() ? kExpectingManifest : text);
                break;
            }
            if (element.type == XMLElement::TYPE_START)
            {
                if (element.value != "ResourceManifest" || mXMLParser->HasFailed()) Fail(kExpectingManifest);
                break;
            }
        }
    }
    ReadGroups();
    mXMLParser.reset();
    // Reading leaves no group started: LoadNextResource loads nothing until StartLoadResources.
    mCurResGroup.clear();
    mCurResGroupList = nullptr;
    mCurResGroupPos = 0;
    return !mHasFailed;
}

void ResourceManager::ReadGroups()
{
    XMLElement element;
    bool rootClosed = false;
    while (!mXMLParser->HasFailed() && mXMLParser->NextElement(element))
    {
        if (element.type == XMLElement::TYPE_END && element.section.find('/') == std::string::npos)
            rootClosed = true;
        if (element.type == XMLElement::TYPE_START)
        {
            if (element.value != "Resources")
            {
                Fail("Invalid Section '" + element.value + "'");
                break;
            }
            mCurResGroup = Value(element, "id");
            if (mCurResGroup.empty())
            {
                Fail("No id specified.");
                break;
            }
            mCurResGroupList = &mResGroupMap[mCurResGroup];
            if (!ReadGroupElements()) break;
        }
        else if (element.type == XMLElement::TYPE_ELEMENT)
        {
            Fail("Element Not Expected '" + element.value + "'");
            break;
        }
    }
    if (mXMLParser->HasFailed())
        Fail(mXMLParser->GetErrorText());
    else if (!rootClosed)
        Fail(kUnexpectedEnd); // a truncated file is not a whole manifest
}

bool ResourceManager::ReadGroupElements()
{
    XMLElement element;
    while (mXMLParser->NextElement(element))
    {
        switch (element.type)
        {
        case XMLElement::TYPE_START:
        {
            bool read = false;
            if (element.value == "Image")
                read = ReadImageResource(element);
            else if (element.value == "Sound")
                read = ReadSoundResource(element);
            else if (element.value == "Font")
                read = ReadFontResource(element);
            else if (element.value == "SetDefaults")
                read = ReadSetDefaults(element);
            else
                return Fail("Invalid Section '" + element.value + "'");
            if (!read) return false;
            XMLElement end;
            if (!mXMLParser->NextElement(end)) return EndOfInput();
            if (end.type != XMLElement::TYPE_END) return Fail("Unexpected element found.");
            break;
        }
        case XMLElement::TYPE_END:
            return true;
        case XMLElement::TYPE_ELEMENT:
            return Fail("Element Not Expected '" + element.value + "'");
        default:
            break;
        }
    }
    return EndOfInput();
}

bool ResourceManager::EndOfInput()
{
    // The reader's own error is recorded by ReadGroups.
    return mXMLParser->HasFailed() ? false : Fail(kUnexpectedEnd);
}

bool ResourceManager::ReadCommonAttributes(const XMLElement& element, std::unique_ptr<BaseRes> res,
                                           ResMap& map)
{
    std::string path = Value(element, "path");
    if (path.empty()) return Fail("No path specified.");
    res->attributes = element.attributes;
    res->path = path[0] == '!' ? path : mDefaultPath + path;
    res->fromProgram = res->path == "!program";
    std::string id = Value(element, "id");
    res->id = mDefaultIdPrefix + (id.empty() ? GetFileName(res->path) : id);
    res->group = mCurResGroup;
    auto [entry, inserted] = map.try_emplace(res->id);
    if (!inserted) return Fail("Resource already defined.");
    mCurResGroupList->push_back(res.get());
    entry->second = std::move(res);
    return true;
}

bool ResourceManager::ReadSoundResource(const XMLElement& element)
{
    auto owned = std::make_unique<SoundRes>();
    SoundRes* res = owned.get();
    if (!ReadCommonAttributes(element, std::move(owned), mSoundMap)) return false;
    if (Has(element, "volume"))
    {
        // As "%lf" reads it; a value that is not a finite number counts as none given.
        std::string text = Value(element, "volume");
        char* end = nullptr;
        double volume = std::strtod(text.c_str(), &end);
        if (end != text.c_str() && std::isfinite(volume)) res->volume = volume;
    }
    // A pan past full left or right is full left or right.
    if (Has(element, "pan")) res->pan = ClampToRange(-10000, 10000, StringToIntBase10(Value(element, "pan")));
    return true;
}

bool ResourceManager::ReadBoundedInt(const XMLElement& element, const char* name, int min, int max,
                                     int& value)
{
    if (!Has(element, name)) return true;
    std::string text = Value(element, name);
    int read = StringToIntBase10(text);
    if (read < min || read > max) return Fail(std::string("Invalid ") + name + " '" + text + "'.");
    value = read;
    return true;
}

bool ResourceManager::ReadImageResource(const XMLElement& element)
{
    auto owned = std::make_unique<ImageRes>();
    ImageRes* res = owned.get();
    if (!ReadCommonAttributes(element, std::move(owned), mImageMap)) return false;

    res->palletize = !Has(element, "nopal");
    res->a4r4g4b4 = Has(element, "a4r4g4b4");
    res->a8r8g8b8 = Has(element, "a8r8g8b8");
    res->minSubdivide = Has(element, "minsubdivide");
    res->ddSurface = Has(element, "ddsurface");
    bool is3D = mApp->Is3DAccelerated();
    res->purgeBits =
        Has(element, "nobits") || (is3D && Has(element, "nobits3d")) || (!is3D && Has(element, "nobits2d"));
    res->autoFindAlpha = !Has(element, "noalpha");

    std::string alphaImage = Value(element, "alphaimage");
    if (!alphaImage.empty()) res->alphaImage = mDefaultPath + alphaImage;
    std::string alphaGrid = Value(element, "alphagrid");
    if (!alphaGrid.empty()) res->alphaGridImage = mDefaultPath + alphaGrid;
    if (Has(element, "alphacolor")) ParseHex(Value(element, "alphacolor"), res->alphaColor);
    res->variant = Value(element, "variant");

    // The cel grid divides the image (and its alpha grid): at least one cel each way.
    if (!ReadBoundedInt(element, "rows", 1, kMaxCelsPerSide, res->rows)) return false;
    if (!ReadBoundedInt(element, "cols", 1, kMaxCelsPerSide, res->cols)) return false;
    return ReadAnimation(element, res);
}

bool ResourceManager::ReadAnimation(const XMLElement& element, ImageRes* res)
{
    AnimInfo& anim = res->animInfo;
    if (Has(element, "anim"))
    {
        std::string type = Value(element, "anim");
        if (platform::EqualIgnoringCase(type, "none"))
            anim.animType = AnimInfo::AnimNone;
        else if (platform::EqualIgnoringCase(type, "once"))
            anim.animType = AnimInfo::AnimOnce;
        else if (platform::EqualIgnoringCase(type, "loop"))
            anim.animType = AnimInfo::AnimLoop;
        else if (platform::EqualIgnoringCase(type, "pingpong"))
            anim.animType = AnimInfo::AnimPingPong;
        else
            return Fail("Invalid animation type.");
    }
    if (anim.animType == AnimInfo::AnimNone) return true;

    // Delays and frames are bounded so that the animation's total time fits an int.
    const int minDelay = std::numeric_limits<int>::min();
    int beginDelay = 0, endDelay = 0;
    if (!ReadBoundedInt(element, "framedelay", minDelay, kMaxFrameDelay, anim.frameDelay) ||
        !ReadBoundedInt(element, "begindelay", minDelay, kMaxFrameDelay, beginDelay) ||
        !ReadBoundedInt(element, "enddelay", minDelay, kMaxFrameDelay, endDelay))
        return false;
    if (Has(element, "perframedelay"))
    {
        anim.perFrameDelay = ParseIntList(Value(element, "perframedelay"));
        for (int delay : anim.perFrameDelay)
            if (delay > kMaxFrameDelay) return Fail("Invalid perframedelay '" + std::to_string(delay) + "'.");
    }
    if (Has(element, "framemap"))
    {
        // Each entry names a cel of the grid.
        anim.frameMap = ParseIntList(Value(element, "framemap"));
        int64_t cels = int64_t(res->rows) * res->cols;
        if (anim.frameMap.size() > kMaxFrames) return Fail("Invalid framemap: more than 65536 frames.");
        for (int cel : anim.frameMap)
            if (cel < 0 || cel >= cels) return Fail("Invalid framemap '" + std::to_string(cel) + "'.");
    }
    anim.Compute(std::max(res->rows, res->cols), beginDelay, endDelay);
    return true;
}

bool ResourceManager::ReadFontResource(const XMLElement& element)
{
    auto owned = std::make_unique<FontRes>();
    FontRes* res = owned.get();
    if (!ReadCommonAttributes(element, std::move(owned), mFontMap)) return false;
    res->imagePath = Value(element, "image");
    res->tags = Value(element, "tags");
    if (res->path.compare(0, 5, "!sys:") == 0)
    {
        res->sysFont = true;
        res->size = StringToIntBase10(Value(element, "size"));
        if (res->size < 1) return Fail("SysFont needs point size");
        res->bold = Has(element, "bold");
        res->italic = Has(element, "italic");
        res->shadow = Has(element, "shadow");
        res->underline = Has(element, "underline");
    }
    return true;
}

bool ResourceManager::ReadSetDefaults(const XMLElement& element)
{
    // An empty path goes back to none (rather than the root folder).
    if (Has(element, "path"))
    {
        std::string path = Value(element, "path");
        mDefaultPath = path.empty() ? std::string() : RemoveTrailingSlash(path) + "/";
    }
    if (Has(element, "idprefix")) mDefaultIdPrefix = RemoveTrailingSlash(Value(element, "idprefix"));
    return true;
}

} // namespace Kavo
