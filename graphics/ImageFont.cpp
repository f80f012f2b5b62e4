#include "graphics/ImageFont.h"

#include "base/CheckedConversions.h"
#include "base/StringUtils.h"
#include "graphics/BlendRows.h"
#include "graphics/FontData.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Kavo
{

namespace
{

// Scaled sizes stay far inside int, so a hostile point size or scale cannot overflow.
constexpr double kScaledLimit = 1 << 20;

// trunc(value), toward zero, clamped into a safe range.
int Scaled(double value)
{
    if (std::isnan(value)) return 0;
    return int(std::clamp(value, -kScaledLimit, kScaledLimit));
}

uint8_t Code(char c)
{
    return static_cast<uint8_t>(c);
}

} // namespace

ImageFont::ImageFont(FontHost* app, const std::string& fontDescFileName) : fontData(new FontData())
{
    fontData->Ref();
    fontData->Load(app, fontDescFileName);
    Start();
}

ImageFont::ImageFont(MemoryImage* fontImage, const std::string& widthsFileName) : fontData(new FontData())
{
    fontData->Ref();
    fontData->LoadLegacy(fontImage, widthsFileName);
    Start();
}

void ImageFont::Start()
{
    pointSize = fontData->mDefaultPointSize;
    GenerateActiveFontLayers();
    activeLayersValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other), fontData(other.fontData), pointSize(other.pointSize), tags(other.tags),
      activeLayersValid(other.activeLayersValid), scale(other.scale)
{
    fontData->Ref();
    if (activeLayersValid) activeLayers = other.activeLayers;
}

ImageFont::~ImageFont()
{
    fontData->DeRef();
}

Font* ImageFont::Duplicate()
{
    return new ImageFont(*this);
}

double ImageFont::LayerRatio(const FontLayer& layer) const
{
    return layer.mPointSize != 0 ? pointSize * scale / layer.mPointSize : scale;
}

void ImageFont::GenerateActiveFontLayers()
{
    if (!fontData->mInitialized) return;
    activeLayers.clear();
    layerPixels.clear();
    tints.clear();
    // Room for every layer up front: growing would copy the scaled strips already made.
    activeLayers.reserve(fontData->mFontLayers.size());
    ascent = ascentPadding = height = lineSpacingOffset = 0;

    bool first = true;
    for (FontLayer& layer : fontData->mFontLayers)
    {
        if (layer.mMinPointSize > pointSize) continue;
        if (layer.mMaxPointSize != -1 && pointSize > layer.mMaxPointSize) continue;
        bool tagsFit = std::all_of(layer.mRequiredTags.begin(), layer.mRequiredTags.end(),
                                   [this](const std::string& t) { return HasTag(t); });
        for (const std::string& t : layer.mExcludedTags)
            tagsFit = tagsFit && !HasTag(t);
        if (!tagsFit) continue;

        activeLayers.emplace_back();
        ActiveFontLayer& active = activeLayers.back();
        active.baseLayer = &layer;
        MemoryImage* layerImage = layer.mImage.GetImage();
        double r = LayerRatio(layer);
        if (scale == 1.0 && (layer.mPointSize == 0 || layer.mPointSize == pointSize))
        {
            r = 1.0;
            active.scaledImage = layerImage;
            active.ownsImage = false;
            for (int c = 0; c < 256; ++c)
                active.scaledCharRects[c] = layer.mCharData[c].mImageRect;
        }
        else
        {
            // A new strip with every glyph scaled, side by side.
            int64_t x = 0;
            int tallest = 0;
            for (int c = 0; c < 256; ++c)
            {
                const Rect& source = layer.mCharData[c].mImageRect;
                int w = std::max(Scaled(source.mWidth * r), 0);
                int h = std::max(Scaled(source.mHeight * r), 0);
                active.scaledCharRects[c] = Rect(ClampToInt(x), 0, w, h);
                x += w;
                tallest = std::max(tallest, h);
            }
            auto* strip = new MemoryImage();
            strip->Create(ClampToInt(x), tallest);
            active.scaledImage = strip;
            active.ownsImage = true;
            if (layerImage && strip->GetWidth() > 0 && strip->GetHeight() > 0)
            {
                Graphics g(strip);
                for (int c = 0; c < 256; ++c)
                {
                    const Rect& dest = active.scaledCharRects[c];
                    if (dest.mWidth > 0 && dest.mHeight > 0)
                        g.DrawImageStretchedSrc(layerImage, dest, layer.mCharData[c].mImageRect);
                }
            }
            strip->Palletize();
        }

        PlaceGlyphs(active);
        ascent = std::max(ascent, Scaled(layer.mAscent * r));
        height = std::max(height, Scaled((layer.mHeight != 0 ? layer.mHeight : layer.mDefaultHeight) * r));
        int padding = Scaled(layer.mAscentPadding * r);
        int lineOffset = Scaled(layer.mLineSpacingOffset * r);
        ascentPadding = first ? padding : std::min(ascentPadding, padding);
        lineSpacingOffset = first ? lineOffset : std::max(lineSpacingOffset, lineOffset);
        first = false;
    }
}

void ImageFont::PlaceGlyphs(ActiveFontLayer& active) const
{
    const FontLayer& layer = *active.baseLayer;
    double r = LayerRatio(layer);
    for (int c = 0; c < 256; ++c)
    {
        const CharData& data = layer.mCharData[c];
        ActiveFontLayer::Placement& place = active.placements[c];
        if (r == 1.0)
            place = {int64_t(data.mOffset.mX) + layer.mOffset.mX,
                     int64_t(data.mOffset.mY) - layer.mAscent + layer.mOffset.mY, data.mWidth};
        else
            place = {Scaled((double(data.mOffset.mX) + layer.mOffset.mX) * r),
                     -int64_t(Scaled((double(layer.mAscent) - data.mOffset.mY - layer.mOffset.mY) * r)),
                     Scaled(data.mWidth * r)};
        place.order = uint8_t(std::clamp<int64_t>(int64_t(data.mOrder) + layer.mBaseOrder + 128, 0, 255));
        place.kerned = std::any_of(std::begin(data.mKerningOffsets), std::end(data.mKerningOffsets),
                                   [](int8_t k) { return k != 0; });
    }
    active.spacing = r == 1.0 ? layer.mSpacing : Scaled(double(layer.mSpacing) * r);
    active.order = active.placements[0].order;
    for (const ActiveFontLayer::Placement& place : active.placements)
        if (place.order != active.order) active.order = -1;
}

const ImageFont::LayerPixels* ImageFont::PixelsOf(size_t layer)
{
    MemoryImage* image = activeLayers[layer].scaledImage;
    if (!image) return nullptr;
    int width = image->GetWidth();
    size_t count = size_t(width) * size_t(image->GetHeight());
    if (count == 0 || count > kTintedPixels) return nullptr;
    if (layerPixels.size() < activeLayers.size()) layerPixels.resize(activeLayers.size());
    LayerPixels& pixels = layerPixels[layer];
    bool palettized = image->IsPalettized();
    if (pixels.image == image && pixels.stamp == image->bitsChangedCount &&
        palettized == !pixels.plain.empty())
        return &pixels;
    pixels.image = image;
    pixels.stamp = image->bitsChangedCount;
    pixels.plain.clear();
    const uint32_t* words = palettized ? nullptr : image->GetBits();
    if (palettized)
    {
        pixels.plain.resize(count);
        for (size_t i = 0; i < count; ++i)
            pixels.plain[i] = image->colorTable[image->colorIndices[i]];
        words = pixels.plain.data();
    }
    if (!words) return nullptr;
    pixels.inked.assign(256, Rect());
    for (int c = 0; c < 256; ++c)
    {
        const Rect& glyph = activeLayers[layer].scaledCharRects[c];
        int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
        for (int y = glyph.mY; y < glyph.mY + glyph.mHeight; ++y)
            for (int x = glyph.mX; x < glyph.mX + glyph.mWidth; ++x)
                if (words[size_t(y) * size_t(width) + size_t(x)] >> 24)
                {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
        pixels.inked[size_t(c)] =
            right > left ? Rect(left, top, right - left, bottom - top) : Rect(glyph.mX, glyph.mY, 0, 0);
    }
    return &pixels;
}

TintedGlyphs ImageFont::FormsFor(size_t layer, const Color& color, bool tinted, const std::string& text)
{
    TintedGlyphs forms;
    const LayerPixels* pixels = PixelsOf(layer);
    if (!pixels) return forms;
    MemoryImage* image = activeLayers[layer].scaledImage;
    size_t count = size_t(image->GetWidth()) * size_t(image->GetHeight());
    forms.color = color;
    forms.width = image->GetWidth();
    forms.height = image->GetHeight();
    forms.plain = pixels->plain.empty() ? image->GetBits() : pixels->plain.data();
    if (!forms.plain || !tinted) return forms;

    ++tintClock;
    Tint* found = nullptr;
    for (Tint& tint : tints)
        if (tint.image == image && tint.stamp == image->bitsChangedCount && tint.color == color &&
            tint.count == count)
        {
            found = &tint;
            break;
        }
    if (!found)
    {
        // Room for the new one: drop what no layer draws any more, then the least lately used.
        size_t held = 0;
        for (const Tint& tint : tints)
            held += tint.count;
        while (!tints.empty() && held + count > kTintedPixels)
        {
            auto oldest = std::min_element(tints.begin(), tints.end(),
                                           [](const Tint& a, const Tint& b) { return a.used < b.used; });
            held -= oldest->count;
            tints.erase(oldest);
        }
        found = &tints.emplace_back();
        found->image = image;
        found->stamp = image->bitsChangedCount;
        found->color = color;
        found->count = count;
        found->pixels.reset(new uint32_t[count]); // only the glyphs drawn are ever written and read
    }
    found->used = tintClock;
    // The text's glyphs not tinted yet in this colour.
    const ActiveFontLayer& active = activeLayers[layer];
    const uint8_t* map = fontData->mCharMap;
    const int width = image->GetWidth();
    BlendRows::Modulation m = BlendRows::ModulationOf(color);
    for (char ch : text)
    {
        uint8_t c = map[Code(ch)];
        if (found->glyphs[c]) continue;
        found->glyphs[c] = true;
        const Rect glyph = active.scaledCharRects[c].Intersection(Rect(0, 0, width, image->GetHeight()));
        for (int y = glyph.mY; y < glyph.mY + glyph.mHeight; ++y)
        {
            const size_t row = size_t(y) * size_t(width);
            for (int x = glyph.mX; x < glyph.mX + glyph.mWidth; ++x)
                found->pixels[row + size_t(x)] = BlendRows::TintedPixel(forms.plain[row + size_t(x)], m);
        }
        tintedPixelCount += uint64_t(std::max(glyph.mWidth, 0)) * uint64_t(std::max(glyph.mHeight, 0));
    }
    forms.tinted = found->pixels.get();
    return forms;
}

void ImageFont::Prepare()
{
    if (activeLayersValid) return;
    GenerateActiveFontLayers();
    activeLayersValid = true;
}

int ImageFont::SetPointSize(int newPointSize)
{
    pointSize = newPointSize;
    activeLayersValid = false;
    return pointSize;
}

void ImageFont::SetScale(double newScale)
{
    scale = newScale;
    activeLayersValid = false;
}

int ImageFont::GetDefaultPointSize()
{
    return fontData->mDefaultPointSize;
}

bool ImageFont::AddTag(const std::string& tag)
{
    if (HasTag(tag)) return false;
    tags.push_back(StringToUpper(tag));
    activeLayersValid = false;
    return true;
}

bool ImageFont::RemoveTag(const std::string& tag)
{
    auto it = std::find(tags.begin(), tags.end(), StringToUpper(tag));
    if (it == tags.end()) return false;
    tags.erase(it);
    activeLayersValid = false;
    return true;
}

bool ImageFont::HasTag(const std::string& tag)
{
    return std::find(tags.begin(), tags.end(), StringToUpper(tag)) != tags.end();
}

std::string ImageFont::GetDefine(const std::string& name)
{
    DataElement* value = fontData->FindDefine(name);
    return value ? DescParser::DataElementToString(value) : std::string();
}

int ImageFont::StringWidth(const std::string& text)
{
    int width = 0;
    char previous = 0;
    for (char c : text)
    {
        width += CharWidthKern(c, previous);
        previous = c;
    }
    return width;
}

int ImageFont::CharWidth(char c)
{
    return CharWidthKern(c, 0);
}

int ImageFont::CharWidthKern(char c, char previous)
{
    Prepare();
    const uint8_t* map = fontData->mCharMap;
    uint8_t mapped = map[Code(c)];
    uint8_t mappedPrevious = previous ? map[Code(previous)] : 0;
    int widest = 0;
    for (const ActiveFontLayer& active : activeLayers)
    {
        const FontLayer& layer = *active.baseLayer;
        double r = LayerRatio(layer);
        int w = Scaled(layer.mCharData[mapped].mWidth * r);
        int k = 0;
        if (previous)
            k = Scaled((double(layer.mCharData[mappedPrevious].mKerningOffsets[mapped]) + layer.mSpacing) *
                       r);
        widest = std::max(widest, w + k);
    }
    return widest;
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                           const Rect& clip)
{
    DrawStringEx(g, x, y, text, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringEx(Graphics* g, int x, int y, const std::string& text, const Color& color,
                             const Rect&, std::list<Rect>* drawnAreas, int* width)
{
    if (drawnAreas) drawnAreas->clear();
    if (!fontData->mInitialized || !g)
    {
        if (width) *width = 0;
        return;
    }
    Prepare();

    // What every glyph of a layer shares: its scale, its colour and, drawn in the normal mode,
    // its glyphs' inked parts. Those are drawn in place of the whole glyphs only where the context
    // moves every pixel by whole pixels (a scale or a fraction would place and sample them apart).
    bool wholePixels = g->scaleX == 1.0f && g->scaleY == 1.0f && std::trunc(g->transX) == g->transX &&
                       std::trunc(g->transY) == g->transY;
    lineLayers.clear();
    for (size_t l = 0; l < activeLayers.size(); ++l)
    {
        const ActiveFontLayer& active = activeLayers[l];
        const FontLayer& layer = *active.baseLayer;
        int mode = layer.mDrawMode != -1 ? layer.mDrawMode : g->GetDrawMode();
        const LayerPixels* pixels = wholePixels && mode == DRAWMODE_NORMAL ? PixelsOf(l) : nullptr;
        auto channel = [](int mult, int value, int add)
        { return std::clamp(int(int64_t(mult) * value / 255 + add), 0, 255); };
        lineLayers.push_back(
            LineLayer{&active, LayerRatio(layer),
                      Color(channel(layer.mColorMult.mRed, color.mRed, layer.mColorAdd.mRed),
                            channel(layer.mColorMult.mGreen, color.mGreen, layer.mColorAdd.mGreen),
                            channel(layer.mColorMult.mBlue, color.mBlue, layer.mColorAdd.mBlue),
                            channel(layer.mColorMult.mAlpha, color.mAlpha, layer.mColorAdd.mAlpha)),
                      pixels ? pixels->inked.data() : nullptr, 0});
    }

    // The glyphs in the order of the text, each layer's after the one before. Drawn by order,
    // lowest first, in the order of the text within one order, each run of one layer's glyphs in
    // one blit. When each layer's glyphs share one order and no two layers share one, every glyph
    // goes straight to its place in that order: its layer's glyphs follow those of the layers of
    // lower orders.
    const uint8_t* map = fontData->mCharMap;
    size_t layers = lineLayers.size();
    bool byLayer = text.size() * layers <= size_t(kMaxDrawCommands);
    for (size_t l = 0; l < layers && byLayer; ++l)
    {
        int order = lineLayers[l].active->order;
        size_t lower = 0;
        for (size_t k = 0; k < layers && byLayer; ++k)
        {
            byLayer = order != -1 && (k == l || lineLayers[k].active->order != order);
            lower += size_t(lineLayers[k].active->order < order);
        }
        lineLayers[l].first = lower * text.size();
    }
    if (byLayer) lineBlits.resize(text.size() * layers);
    lineGlyphs.clear();
    int64_t pen = x;
    bool full = false;
    int lowest = 255, highest = 0;
    for (size_t i = 0; i < text.size() && !full; ++i)
    {
        uint8_t c = map[Code(text[i])];
        bool hasNext = i + 1 < text.size();
        uint8_t n = hasNext ? map[Code(text[i + 1])] : 0;
        int64_t charEnd = pen;
        for (size_t l = 0; l < layers; ++l)
        {
            if (!byLayer && lineGlyphs.size() == size_t(kMaxDrawCommands))
            {
                full = true;
                break;
            }
            const ActiveFontLayer& active = *lineLayers[l].active;
            const ActiveFontLayer::Placement& place = active.placements[c];
            int64_t gx = pen + place.x, gy = int64_t(y) + place.y, advance = place.advance, kern = 0;
            if (hasNext)
            {
                const FontLayer& layer = *active.baseLayer;
                double r = lineLayers[l].ratio;
                int kerning = place.kerned ? layer.mCharData[c].mKerningOffsets[n] : 0;
                kern = kerning == 0 ? active.spacing
                       : r == 1.0   ? int64_t(kerning) + layer.mSpacing
                                    : Scaled((double(kerning) + layer.mSpacing) * r);
            }
            const Rect& src = active.scaledCharRects[c];
            if (drawnAreas)
                drawnAreas->push_back(Rect(ClampToInt(gx), ClampToInt(gy), src.mWidth, src.mHeight));
            GlyphBlit blit{ClampToInt(gx), ClampToInt(gy), src};
            if (const Rect* inked = lineLayers[l].inked)
            {
                const Rect& ink = inked[c];
                blit = GlyphBlit{ClampToInt(gx + (ink.mX - src.mX)), ClampToInt(gy + (ink.mY - src.mY)), ink};
            }
            if (byLayer)
                lineBlits[lineLayers[l].first + i] = blit;
            else
            {
                lowest = std::min<int>(lowest, place.order);
                highest = std::max<int>(highest, place.order);
                lineGlyphs.push_back(LineGlyph{blit, place.order, uint32_t(l)});
            }
            charEnd = std::max(charEnd, pen + advance + kern);
        }
        pen = charEnd;
    }
    if (width) *width = ClampToInt(pen - x);
    lineRuns.clear();
    if (byLayer)
    {
        lineRuns.resize(text.empty() ? 0 : layers);
        for (size_t l = 0; l < lineRuns.size(); ++l)
            lineRuns[lineLayers[l].first / text.size()] =
                LineRun{lineLayers[l].first, lineLayers[l].first + text.size(), uint32_t(l)};
    }
    else
    {
        // A stable counting sort.
        int counts[257] = {};
        for (const LineGlyph& glyph : lineGlyphs)
            ++counts[glyph.bucket + 1];
        for (int b = lowest; b <= highest; ++b)
            counts[b + 1] += counts[b];
        lineBlits.resize(lineGlyphs.size());
        lineBlitLayers.resize(lineGlyphs.size());
        for (const LineGlyph& glyph : lineGlyphs)
        {
            int at = counts[glyph.bucket]++;
            lineBlits[size_t(at)] = glyph.blit;
            lineBlitLayers[size_t(at)] = glyph.layer;
        }
        for (size_t start = 0, end; start < lineBlits.size(); start = end)
        {
            uint32_t l = lineBlitLayers[start];
            for (end = start + 1; end < lineBlits.size() && lineBlitLayers[end] == l; ++end)
            {
            }
            lineRuns.push_back(LineRun{start, end, l});
        }
    }
    if (lineRuns.empty()) return;

    bool wasColorizing = g->GetColorizeImages();
    g->SetColorizeImages(true);
    Color savedColor = g->GetColor();
    for (const LineRun& run : lineRuns)
    {
        uint32_t l = run.layer;
        const LineLayer& layer = lineLayers[l];
        if (!layer.active->scaledImage) continue;
        int savedMode = g->GetDrawMode();
        int mode = layer.active->baseLayer->mDrawMode;
        if (mode != -1) g->SetDrawMode(mode);
        g->SetColor(layer.color);
        // The layer's image without its palette and, for a colour, tinted by it.
        TintedGlyphs forms;
        if (g->GetDrawMode() == DRAWMODE_NORMAL)
            forms = FormsFor(l, layer.color, !layer.color.IsWhite(), text);
        g->DrawImageGlyphs(layer.active->scaledImage, lineBlits.data() + run.start, int(run.end - run.start),
                           forms.plain ? &forms : nullptr);
        g->SetDrawMode(savedMode);
    }
    g->SetColor(savedColor);
    g->SetColorizeImages(wasColorizing);
}

} // namespace Kavo
