#include "graphics/FontData.h"

#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "graphics/FontHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/SingleDataElement.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/Files.h"

#include <algorithm>
#include <cstdio>

namespace Kavo
{

namespace
{

const std::string* SingleText(const DataElement* element)
{
    if (!element || element->mIsList) return nullptr;
    return &static_cast<const SingleDataElement*>(element)->mValue;
}

bool StartsLikeLiteral(const std::string& text)
{
    if (text.empty()) return false;
    char c = text[0];
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '\'' || c == '"';
}

uint8_t CharCode(const std::string& oneChar)
{
    return static_cast<uint8_t>(oneChar[0]);
}

int ClampChannel(double fraction)
{
    return int(std::clamp(fraction * 255.0, 0.0, 255.0));
}

} // namespace

struct FontData::Command
{
    const char* name;
    size_t count; // elements, the command word included
    bool (FontData::*handler)(ListDataElement&);
};

const FontData::Command FontData::kCommands[] = {
    {"Define", 3, &FontData::CmdDefine},
    {"CreateHorzSpanRectList", 4, &FontData::CmdCreateHorzSpanRectList},
    {"SetDefaultPointSize", 2, &FontData::CmdSetDefaultPointSize},
    {"SetCharMap", 3, &FontData::CmdSetCharMap},
    {"CreateLayer", 2, &FontData::CmdCreateLayer},
    {"CreateLayerFrom", 3, &FontData::CmdCreateLayerFrom},
    {"LayerRequireTags", 3, &FontData::CmdLayerRequireTags},
    {"LayerExcludeTags", 3, &FontData::CmdLayerExcludeTags},
    {"LayerPointRange", 4, &FontData::CmdLayerPointRange},
    {"LayerSetPointSize", 3, &FontData::CmdLayerSetPointSize},
    {"LayerSetHeight", 3, &FontData::CmdLayerSetHeight},
    {"LayerSetImage", 3, &FontData::CmdLayerSetImage},
    {"LayerSetDrawMode", 3, &FontData::CmdLayerSetDrawMode},
    {"LayerSetColorMult", 3, &FontData::CmdLayerSetColorMult},
    {"LayerSetColorAdd", 3, &FontData::CmdLayerSetColorAdd},
    {"LayerSetAscent", 3, &FontData::CmdLayerSetAscent},
    {"LayerSetAscentPadding", 3, &FontData::CmdLayerSetAscentPadding},
    {"LayerSetLineSpacingOffset", 3, &FontData::CmdLayerSetLineSpacingOffset},
    {"LayerSetOffset", 3, &FontData::CmdLayerSetOffset},
    {"LayerSetCharWidths", 4, &FontData::CmdLayerSetCharWidths},
    {"LayerSetSpacing", 3, &FontData::CmdLayerSetSpacing},
    {"LayerSetImageMap", 4, &FontData::CmdLayerSetImageMap},
    {"LayerSetCharOffsets", 4, &FontData::CmdLayerSetCharOffsets},
    {"LayerSetKerningPairs", 4, &FontData::CmdLayerSetKerningPairs},
    {"LayerSetBaseOrder", 3, &FontData::CmdLayerSetBaseOrder},
    {"LayerSetCharOrders", 4, &FontData::CmdLayerSetCharOrders},
};

FontData::FontData()
{
    for (int i = 0; i < 256; ++i)
        mCharMap[i] = uint8_t(i);
}

FontData::~FontData() = default;

void FontData::DeRef()
{
    if (--mRefCount <= 0) delete this;
}

bool FontData::Load(FontHost* app, const std::string& fontDescFileName)
{
    if (mInitialized) return false;
    mApp = app;
    mErrorHeader = "Font Descriptor Error in " + fontDescFileName + "\r\n";
    mSourceFile = fontDescFileName;
    mInitialized = LoadFile(fontDescFileName);
    return true;
}

bool FontData::LoadLegacy(MemoryImage* fontImage, const std::string& widthsFileName)
{
    if (mInitialized || !fontImage) return false;
    FontLayer& layer = AddLayer("", nullptr);
    layer.mImage.AssignUnshared(fontImage);
    int imageWidth = fontImage->GetWidth();
    int imageHeight = fontImage->GetHeight();
    layer.mDefaultHeight = imageHeight;
    layer.mAscent = imageHeight;

    std::FILE* file = platform::OpenFile(widthsFileName, "r");
    if (!file) return false;
    mSourceFile = widthsFileName;

    int spaceWidth = 0, ascent = 0;
    if (std::fscanf(file, "%d%d", &spaceWidth, &ascent) != 2)
    {
        std::fclose(file);
        return false;
    }
    layer.mCharData[uint8_t(' ')].mWidth = spaceWidth;
    layer.mAscent = ascent;

    // Glyphs lie side by side; a rectangle never reaches past the image, whatever the widths.
    int x = 0;
    char character[2] = {};
    int width = 0;
    while (std::fscanf(file, "%1s%d", character, &width) == 2)
    {
        CharData& data = layer.mCharData[CharCode(character)];
        int advance = std::max(width, 0);
        data.mImageRect = Rect(x, 0, std::min(advance, imageWidth - x), imageHeight);
        data.mWidth = advance;
        x += data.mImageRect.mWidth;
    }
    std::fclose(file);

    // A letter missing in one case is drawn with the other case's glyph.
    for (int upper = 'A'; upper <= 'Z'; ++upper)
    {
        int lower = upper - 'A' + 'a';
        const CharData* chars = layer.mCharData;
        if (chars[upper].mWidth == 0 && chars[lower].mWidth != 0)
            mCharMap[upper] = uint8_t(lower);
        else if (chars[lower].mWidth == 0 && chars[upper].mWidth != 0)
            mCharMap[lower] = uint8_t(upper);
    }
    mInitialized = true;
    return true;
}

bool FontData::GetLayer(DataElement* element, FontLayer*& layer)
{
    layer = nullptr;
    const std::string* text = SingleText(element);
    if (!text) return false;
    auto it = mFontLayersByName.find(StringToUpper(*text));
    if (it == mFontLayersByName.end()) return Error("Undefined Layer");
    layer = it->second;
    return true;
}

bool FontData::Error(const std::string& text)
{
    std::string message = mErrorHeader + text;
    if (mCurrentLine > 0) message += " on Line " + StrFormat("%d:\r\n\r\n", mCurrentLine) + mCurrentCommand;
    DescParser::Error(message);
    if (mApp) mApp->Popup(message);
    return false;
}

bool FontData::HandleCommand(ListDataElement& params)
{
    const std::string* word = SingleText(params.Size() ? params.At(0) : nullptr);
    if (!word) return Error("Unknown Command");
    for (const Command& command : kCommands)
    {
        if (!platform::EqualIgnoringCase(*word, command.name)) continue;
        if (params.Size() != command.count) return Error("Invalid Number of Parameters");
        return (this->*command.handler)(params);
    }
    return Error("Unknown Command");
}

FontLayer& FontData::AddLayer(const std::string& name, const FontLayer* source)
{
    mFontLayers.push_back(source ? *source : FontLayer(this));
    FontLayer& layer = mFontLayers.back();
    layer.mFontData = this;
    // A second layer of a used name stays in the list but cannot be named.
    mFontLayersByName.emplace(name, &layer);
    return layer;
}

// --- Parameter readers ---

bool FontData::ReadName(DataElement* element, std::string& name)
{
    const std::string* text = SingleText(element);
    if (!text) return false;
    name = StringToUpper(*text);
    return true;
}

bool FontData::ReadInt(DataElement* element, int& value)
{
    const std::string* text = SingleText(element);
    return text && StringToInt(*text, value);
}

bool FontData::ReadColor(DataElement* element, Color& color)
{
    if (const std::string* text = SingleText(element))
    {
        int packed = 0;
        if (!StringToInt(*text, packed)) return false;
        color = Color::ColorFromARGB(uint32_t(packed));
        return true;
    }
    std::vector<double> fractions;
    if (!DataToDoubleVector(element, fractions) || fractions.size() < 4) return false;
    color = Color(ClampChannel(fractions[0]), ClampChannel(fractions[1]), ClampChannel(fractions[2]),
                  ClampChannel(fractions[3]));
    return true;
}

bool FontData::ReadIntLists(DataElement* element, std::vector<std::vector<int>>& lists)
{
    lists.clear();
    ListDataElement outer;
    if (!DataToList(element, outer)) return false;
    for (DataElement* inner : outer.mElements)
    {
        // A malformed entry is kept empty, so that the lists stay parallel; it is skipped later.
        lists.emplace_back();
        if (!DataToIntVector(inner, lists.back())) lists.back().clear();
    }
    return true;
}

template <typename T, typename Read, typename Apply>
bool FontData::ApplyPerChar(ListDataElement& p, Read read, Apply apply)
{
    FontLayer* layer = nullptr;
    if (!GetLayer(p.At(1), layer)) return InvalidParam();
    std::vector<std::string> chars;
    if (!DataToStringVector(p.At(2), chars)) return InvalidParam();
    std::vector<T> values;
    if (!read(p.At(3), values)) return InvalidParam();
    if (chars.size() != values.size()) return Error("List Size Mismatch");
    bool allApplied = true;
    for (size_t i = 0; i < chars.size(); ++i)
    {
        if (chars[i].size() != 1 || !apply(*layer, CharCode(chars[i]), values[i])) allApplied = false;
    }
    return allApplied || InvalidParam();
}

bool FontData::SetLayerInt(ListDataElement& p, int FontLayer::*field)
{
    FontLayer* layer = nullptr;
    int value = 0;
    if (!GetLayer(p.At(1), layer) || !ReadInt(p.At(2), value)) return InvalidParam();
    layer->*field = value;
    return true;
}

bool FontData::SetLayerColor(ListDataElement& p, Color FontLayer::*field)
{
    FontLayer* layer = nullptr;
    Color color;
    if (!GetLayer(p.At(1), layer) || !ReadColor(p.At(2), color)) return InvalidParam();
    layer->*field = color;
    return true;
}

bool FontData::AddLayerTags(ListDataElement& p, std::vector<std::string> FontLayer::*field)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> tags;
    if (!GetLayer(p.At(1), layer) || !DataToStringVector(p.At(2), tags)) return InvalidParam();
    for (const std::string& tag : tags)
        (layer->*field).push_back(StringToUpper(tag));
    return true;
}

// --- Commands ---

bool FontData::CmdDefine(ListDataElement& p)
{
    std::string name;
    if (!ReadName(p.At(1), name) || StartsLikeLiteral(name)) return InvalidParam();
    DataElement* source = p.At(2);
    DataElement* value = nullptr;
    if (source->mIsList)
    {
        auto* list = new ListDataElement();
        if (!Dereference(*static_cast<ListDataElement*>(source), *list))
        {
            delete list;
            return InvalidParam();
        }
        value = list;
    }
    else if (DataElement* defined = FindDefine(*SingleText(source)))
    {
        value = defined->Duplicate();
    }
    else
    {
        value = source->Duplicate();
    }
    SetDefine(name, value);
    return true;
}

bool FontData::CmdCreateHorzSpanRectList(ListDataElement& p)
{
    std::string name;
    std::vector<int> rect, widths;
    if (!ReadName(p.At(1), name) || !DataToIntVector(p.At(2), rect) || rect.size() != 4 ||
        !DataToIntVector(p.At(3), widths))
        return InvalidParam();
    auto* list = new ListDataElement();
    int64_t x = rect[0];
    for (int width : widths)
    {
        auto* entry = new ListDataElement();
        for (int64_t v : {x, int64_t(rect[1]), int64_t(width), int64_t(rect[3])})
            entry->Add(new SingleDataElement(StrFormat("%d", int(v))));
        list->Add(entry);
        x += width;
    }
    SetDefine(name, list);
    return true;
}

bool FontData::CmdSetDefaultPointSize(ListDataElement& p)
{
    return ReadInt(p.At(1), mDefaultPointSize) || InvalidParam();
}

bool FontData::CmdSetCharMap(ListDataElement& p)
{
    std::vector<std::string> from, to;
    if (!DataToStringVector(p.At(1), from) || !DataToStringVector(p.At(2), to)) return InvalidParam();
    if (from.size() != to.size()) return Error("List Size Mismatch");
    bool allApplied = true;
    for (size_t i = 0; i < from.size(); ++i)
    {
        if (from[i].size() != 1 || to[i].size() != 1)
        {
            allApplied = false;
            continue;
        }
        mCharMap[CharCode(from[i])] = CharCode(to[i]);
    }
    return allApplied || InvalidParam();
}

bool FontData::CmdCreateLayer(ListDataElement& p)
{
    std::string name;
    if (!ReadName(p.At(1), name)) return InvalidParam();
    bool taken = mFontLayersByName.count(name) != 0;
    AddLayer(name, nullptr);
    if (taken) Error("Layer Already Exists");
    return true;
}

bool FontData::CmdCreateLayerFrom(ListDataElement& p)
{
    std::string name;
    FontLayer* source = nullptr;
    if (!ReadName(p.At(1), name) || !GetLayer(p.At(2), source)) return InvalidParam();
    bool taken = mFontLayersByName.count(name) != 0;
    AddLayer(name, source);
    if (taken) Error("Layer Already Exists");
    return true;
}

bool FontData::CmdLayerRequireTags(ListDataElement& p)
{
    return AddLayerTags(p, &FontLayer::mRequiredTags);
}

bool FontData::CmdLayerExcludeTags(ListDataElement& p)
{
    return AddLayerTags(p, &FontLayer::mExcludedTags);
}

bool FontData::CmdLayerPointRange(ListDataElement& p)
{
    FontLayer* layer = nullptr;
    int low = 0, high = 0;
    if (!GetLayer(p.At(1), layer) || !ReadInt(p.At(2), low) || !ReadInt(p.At(3), high)) return InvalidParam();
    layer->mMinPointSize = low;
    layer->mMaxPointSize = high;
    return true;
}

bool FontData::CmdLayerSetPointSize(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mPointSize);
}

bool FontData::CmdLayerSetHeight(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mHeight);
}

bool FontData::CmdLayerSetImage(ListDataElement& p)
{
    FontLayer* layer = nullptr;
    std::string file;
    if (!GetLayer(p.At(1), layer) || !DataToString(p.At(2), file)) return InvalidParam();
    std::string path = FontDataStringHelper(file, GetFileDir(mSourceFile));
    SharedImageHandle image;
    bool isNew = false;
    if (mApp) image = mApp->GetSharedImage(path, "", &isNew);
    MemoryImage* loaded = image.GetImage();
    if (!loaded) return Error("Failed to Load Image");
    if (isNew) loaded->Palletize();
    layer->mImage = image;
    return true;
}

bool FontData::CmdLayerSetDrawMode(ListDataElement& p)
{
    FontLayer* layer = nullptr;
    int mode = 0;
    if (!GetLayer(p.At(1), layer) || !ReadInt(p.At(2), mode) || (mode != 0 && mode != 1))
        return InvalidParam();
    layer->mDrawMode = mode;
    return true;
}

bool FontData::CmdLayerSetColorMult(ListDataElement& p)
{
    return SetLayerColor(p, &FontLayer::mColorMult);
}

bool FontData::CmdLayerSetColorAdd(ListDataElement& p)
{
    return SetLayerColor(p, &FontLayer::mColorAdd);
}

bool FontData::CmdLayerSetAscent(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mAscent);
}

bool FontData::CmdLayerSetAscentPadding(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mAscentPadding);
}

bool FontData::CmdLayerSetLineSpacingOffset(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mLineSpacingOffset);
}

bool FontData::CmdLayerSetOffset(ListDataElement& p)
{
    FontLayer* layer = nullptr;
    std::vector<int> offset;
    if (!GetLayer(p.At(1), layer) || !DataToIntVector(p.At(2), offset) || offset.size() != 2)
        return InvalidParam();
    layer->mOffset = Point(offset[0], offset[1]);
    return true;
}

bool FontData::CmdLayerSetCharWidths(ListDataElement& p)
{
    return ApplyPerChar<int>(
        p, [this](DataElement* e, std::vector<int>& v) { return DataToIntVector(e, v); },
        [](FontLayer& layer, uint8_t c, int width)
        {
            layer.mCharData[c].mWidth = width;
            return true;
        });
}

bool FontData::CmdLayerSetSpacing(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mSpacing);
}

bool FontData::CmdLayerSetImageMap(ListDataElement& p)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> chars;
    std::vector<std::vector<int>> rects;
    if (!GetLayer(p.At(1), layer) || !DataToStringVector(p.At(2), chars) || !ReadIntLists(p.At(3), rects))
        return InvalidParam();
    if (chars.size() != rects.size()) return Error("List Size Mismatch");
    MemoryImage* image = layer->mImage.GetImage();
    if (!image) return Error("Layer image not set");

    bool outOfBounds = false, allApplied = true;
    for (size_t i = 0; i < chars.size(); ++i)
    {
        const std::vector<int>& r = rects[i];
        if (chars[i].size() != 1 || r.size() != 4)
        {
            allApplied = false;
            continue;
        }
        // Negative sizes are refused too: a glyph covers a real part of the image.
        int64_t right = int64_t(r[0]) + r[2], bottom = int64_t(r[1]) + r[3];
        if (r[0] < 0 || r[1] < 0 || r[2] < 0 || r[3] < 0 || right > image->GetWidth() ||
            bottom > image->GetHeight())
        {
            outOfBounds = true;
            continue;
        }
        layer->mCharData[CharCode(chars[i])].mImageRect = Rect(r[0], r[1], r[2], r[3]);
    }
    layer->ComputeDefaultHeight();
    if (outOfBounds) return Error("Image rectangle out of bounds");
    return allApplied || InvalidParam();
}

bool FontData::CmdLayerSetCharOffsets(ListDataElement& p)
{
    return ApplyPerChar<std::vector<int>>(
        p, [this](DataElement* e, std::vector<std::vector<int>>& v) { return ReadIntLists(e, v); },
        [](FontLayer& layer, uint8_t c, const std::vector<int>& offset)
        {
            if (offset.size() != 2) return false;
            layer.mCharData[c].mOffset = Point(offset[0], offset[1]);
            return true;
        });
}

bool FontData::CmdLayerSetKerningPairs(ListDataElement& p)
{
    FontLayer* layer = nullptr;
    std::vector<std::string> pairs;
    std::vector<int> values;
    if (!GetLayer(p.At(1), layer) || !DataToStringVector(p.At(2), pairs) || !DataToIntVector(p.At(3), values))
        return InvalidParam();
    if (pairs.size() != values.size()) return Error("List Size Mismatch");
    bool allApplied = true;
    for (size_t i = 0; i < pairs.size(); ++i)
    {
        if (pairs[i].size() != 2)
        {
            allApplied = false;
            continue;
        }
        uint8_t first = static_cast<uint8_t>(pairs[i][0]), second = static_cast<uint8_t>(pairs[i][1]);
        layer->mCharData[first].mKerningOffsets[second] = static_cast<int8_t>(values[i]);
    }
    return allApplied || InvalidParam();
}

bool FontData::CmdLayerSetBaseOrder(ListDataElement& p)
{
    return SetLayerInt(p, &FontLayer::mBaseOrder);
}

bool FontData::CmdLayerSetCharOrders(ListDataElement& p)
{
    return ApplyPerChar<int>(
        p, [this](DataElement* e, std::vector<int>& v) { return DataToIntVector(e, v); },
        [](FontLayer& layer, uint8_t c, int order)
        {
            layer.mCharData[c].mOrder = order;
            return true;
        });
}

} // namespace Kavo
