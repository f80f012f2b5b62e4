#pragma once

#include "graphics/ActiveFontLayer.h"
#include "graphics/Font.h"
#include "graphics/GlyphBlit.h"
#include "graphics/TintedGlyphs.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace Kavo
{

class FontData;
class FontHost;
class FontLayer;
class MemoryImage;

// The layered bitmap font. Its glyphs come from the layers of a shared FontData; at any time it
// draws with the layers that its point size and tags select, each scaled to the size, and the
// glyphs of all layers are drawn in the order their layers and characters give (a shadow layer
// under an outline under the face). Measuring and drawing rebuild the layers after a change of
// size, scale or tags.
class ImageFont : public Font
{
public:
    // DrawStringEx queues at most this many glyphs (counting each layer's); what does not fit is
    // neither drawn nor measured.
    static constexpr int kMaxDrawCommands = 4096;

    FontData* fontData = nullptr;
    int pointSize = 0;
    std::vector<std::string> tags; // upper case
    bool activeLayersValid = false;
    std::vector<ActiveFontLayer> activeLayers;
    double scale = 1.0;
    uint64_t tintedPixelCount = 0; // pixels the tint cache has tinted so far: its work

    // Loads the description (through the archive); a description that fails leaves a font that
    // measures 0 and draws nothing.
    ImageFont(FontHost* app, const std::string& fontDescFileName);
    // The older form: glyphs side by side in the image (not owned) and a widths file.
    ImageFont(MemoryImage* fontImage, const std::string& widthsFileName);
    // Shares the description; owned scaled images are copied.
    ImageFont(const ImageFont& other);
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() override;

    int StringWidth(const std::string& text) override;
    int CharWidth(char c) override;
    // The largest, over the layers, of the character's advance plus the kerning (and spacing)
    // after previous (0: none); at least 0.
    int CharWidthKern(char c, char previous) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    virtual void GenerateActiveFontLayers();
    // Draws with the baseline at y; drawnAreas (when given) gets every glyph's rectangle and
    // width the advance of the whole string. The clip is not used: the context's own applies.
    virtual void DrawStringEx(Graphics* g, int x, int y, const std::string& text, const Color& color,
                              const Rect& clip, std::list<Rect>* drawnAreas, int* width);
    virtual int SetPointSize(int newPointSize);
    virtual int GetPointSize() { return pointSize; }
    virtual void SetScale(double newScale);
    virtual int GetDefaultPointSize();
    virtual bool AddTag(const std::string& tag);
    virtual bool RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag);
    // The description's define of that name as text; empty when there is none.
    virtual std::string GetDefine(const std::string& name);
    virtual void Prepare();

private:
    // A layer as one line draws it; inked: its glyphs' inked parts when it is drawn in the
    // normal mode, where the rest leaves the destination as it is; first: where its glyphs start
    // in the drawing order, when they are placed there straight.
    struct LineLayer
    {
        const ActiveFontLayer* active;
        double ratio;
        Color color;
        const Rect* inked;
        size_t first;
    };
    // Glyphs [start, end) of the drawing order, all of one layer.
    struct LineRun
    {
        size_t start;
        size_t end;
        uint32_t layer;
    };
    // One queued glyph: its blit, draw order (0-255) and layer.
    struct LineGlyph
    {
        GlyphBlit blit;
        uint8_t bucket;
        uint32_t layer;
    };
    // The line being drawn, kept to spare an allocation a line; not shared between fonts.
    std::vector<LineLayer> lineLayers;
    std::vector<LineGlyph> lineGlyphs;
    std::vector<GlyphBlit> lineBlits;
    std::vector<uint32_t> lineBlitLayers;
    std::vector<LineRun> lineRuns;

    // A layer's image as ARGB words (made when the image keeps a palette) and each glyph's inked
    // part, the smallest rectangle holding its pixels of alpha above 0; stamp: the image's
    // bitsChangedCount when they were made.
    struct LayerPixels
    {
        const MemoryImage* image = nullptr;
        int stamp = -1;
        std::vector<uint32_t> plain;
        std::vector<Rect> inked;
    };
    // A layer's image tinted for a colour (BlendRows::TintedPixel), for the colours lines were
    // drawn in lately: room for kTintedPixels pixels in all, enough for the colours one screen
    // writes a large font in, the least lately used dropped first. Only the glyphs drawn are
    // tinted, each the first time it is drawn in the colour; the rest of the pixels are never read.
    struct Tint
    {
        const MemoryImage* image = nullptr;
        int stamp = -1;
        Color color;
        uint64_t used = 0;
        size_t count = 0; // the image's pixels
        std::unique_ptr<uint32_t[]> pixels;
        std::array<bool, 256> glyphs{}; // tinted already
    };
    static constexpr size_t kTintedPixels = size_t(1) << 22;
    std::vector<LayerPixels> layerPixels;
    std::vector<Tint> tints;
    uint64_t tintClock = 0;

    // The layer's placements (ActiveFontLayer::Placement) at the font's size.
    void PlaceGlyphs(ActiveFontLayer& active) const;
    // The layer's pixels, made again when its image changed; null for an image of no pixels or
    // one too large.
    const LayerPixels* PixelsOf(size_t layer);
    // The forms of the layer's image for drawing text in the colour (its glyphs tinted): none
    // when the image is too large.
    TintedGlyphs FormsFor(size_t layer, const Color& color, bool tinted, const std::string& text);

    // The description's default size and the layers it selects, after loading.
    void Start();
    double LayerRatio(const FontLayer& layer) const;
};

} // namespace Kavo
