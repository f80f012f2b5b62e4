#pragma once

#include "graphics/DescParser.h"
#include "graphics/FontLayer.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>

namespace Kavo
{

class FontHost;
class MemoryImage;

// Everything a bitmap-font description defines: the character map, the default point size
// and the named layers in creation order. Shared, with a reference count, by every font made
// from the same file. Commands (case-insensitive, parameters as in DescParser):
//
//   Define name value                      SetDefaultPointSize int
//   CreateHorzSpanRectList name (x y w h) (widths...)
//   SetCharMap (chars...) (chars...)       CreateLayer name      CreateLayerFrom name layer
//   LayerRequireTags layer (tags...)       LayerExcludeTags layer (tags...)
//   LayerPointRange layer min max          LayerSetPointSize layer int
//   LayerSetHeight layer int               LayerSetImage layer file
//   LayerSetDrawMode layer 0|1             LayerSetColorMult layer colour
//   LayerSetColorAdd layer colour          LayerSetAscent layer int
//   LayerSetAscentPadding layer int        LayerSetLineSpacingOffset layer int
//   LayerSetOffset layer (x y)             LayerSetCharWidths layer (chars...) (ints...)
//   LayerSetSpacing layer int              LayerSetImageMap layer (chars...) ((x y w h)...)
//   LayerSetCharOffsets layer (chars...) ((x y)...)
//   LayerSetKerningPairs layer (pairs...) (ints...)
//   LayerSetBaseOrder layer int            LayerSetCharOrders layer (chars...) (ints...)
//
// A colour is a packed 0xAARRGGBB number (alpha 0 reads as opaque) or a list of four fractions
// (red green blue alpha). Errors read "Font Descriptor Error in <file>\r\n<message> on Line
// <n>:\r\n\r\n<command>" and stop the loading at the failed command.
class FontData : public DescParser
{
public:
    bool mInitialized = false;
    int mRefCount = 0;
    FontHost* mApp = nullptr;
    int mDefaultPointSize = 0;
    uint8_t mCharMap[256];            // every character is replaced by mCharMap[c] before use
    std::list<FontLayer> mFontLayers; // creation order; addresses stay put
    std::map<std::string, FontLayer*> mFontLayersByName; // upper-case name -> layer
    std::string mSourceFile;
    std::string mErrorHeader;

    FontData();
    ~FontData() override;

    void Ref() { ++mRefCount; }
    // Deletes the object when the last reference goes.
    void DeRef();

    // Reads the description once (false when already loaded). Whether it succeeded is in
    // mInitialized: a failed description leaves a font that draws nothing.
    bool Load(FontHost* app, const std::string& fontDescFileName);
    // The older form: one layer from an image holding the glyphs side by side (not owned, the
    // caller keeps it alive) and a text file of widths: "space-width ascent" and then pairs of a
    // character and its width.
    bool LoadLegacy(MemoryImage* fontImage, const std::string& widthsFileName);

    // The layer named by a single value; "Undefined Layer" for an unknown name.
    bool GetLayer(DataElement* element, FontLayer*& layer);

    bool Error(const std::string& text) override;
    bool HandleCommand(ListDataElement& params) override;

private:
    struct Command;
    static const Command kCommands[];

    bool ReadName(DataElement* element, std::string& name);
    bool ReadInt(DataElement* element, int& value);
    bool ReadColor(DataElement* element, Color& color);
    bool ReadIntLists(DataElement* element, std::vector<std::vector<int>>& lists);
    bool InvalidParam() { return Error("Invalid Paramater Type"); }
    FontLayer& AddLayer(const std::string& name, const FontLayer* source);

    bool CmdDefine(ListDataElement& p);
    bool CmdCreateHorzSpanRectList(ListDataElement& p);
    bool CmdSetDefaultPointSize(ListDataElement& p);
    bool CmdSetCharMap(ListDataElement& p);
    bool CmdCreateLayer(ListDataElement& p);
    bool CmdCreateLayerFrom(ListDataElement& p);
    bool CmdLayerRequireTags(ListDataElement& p);
    bool CmdLayerExcludeTags(ListDataElement& p);
    bool CmdLayerPointRange(ListDataElement& p);
    bool CmdLayerSetPointSize(ListDataElement& p);
    bool CmdLayerSetHeight(ListDataElement& p);
    bool CmdLayerSetImage(ListDataElement& p);
    bool CmdLayerSetDrawMode(ListDataElement& p);
    bool CmdLayerSetColorMult(ListDataElement& p);
    bool CmdLayerSetColorAdd(ListDataElement& p);
    bool CmdLayerSetAscent(ListDataElement& p);
    bool CmdLayerSetAscentPadding(ListDataElement& p);
    bool CmdLayerSetLineSpacingOffset(ListDataElement& p);
    bool CmdLayerSetOffset(ListDataElement& p);
    bool CmdLayerSetCharWidths(ListDataElement& p);
    bool CmdLayerSetSpacing(ListDataElement& p);
    bool CmdLayerSetImageMap(ListDataElement& p);
    bool CmdLayerSetCharOffsets(ListDataElement& p);
    bool CmdLayerSetKerningPairs(ListDataElement& p);
    bool CmdLayerSetBaseOrder(ListDataElement& p);
    bool CmdLayerSetCharOrders(ListDataElement& p);

    // A layer and one int, stored through the member pointer.
    bool SetLayerInt(ListDataElement& p, int FontLayer::*field);
    bool SetLayerColor(ListDataElement& p, Color FontLayer::*field);
    // A layer and a list of tags, appended in upper case.
    bool AddLayerTags(ListDataElement& p, std::vector<std::string> FontLayer::*field);
    // p[1] a layer, p[2] a list of one-character strings, p[3] a parallel list read by
    // read(element, vector<T>&); apply(layer, character, value) -> false for a value of the
    // wrong shape, which is skipped and reported after the others are applied.
    template <typename T, typename Read, typename Apply>
    bool ApplyPerChar(ListDataElement& p, Read read, Apply apply);
};

} // namespace Kavo
