#include "graphics/MemoryImage.h"

#include "graphics/BlendRows.h"
#include "graphics/ImageRegistry.h"
#include "graphics/NativeDisplay.h"
#include "graphics/PaletteBuilder.h"
#include "graphics/PixelBlend.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Kavo
{

using PixelBlend::AlphaClass;

void AlignedWordsDeleter::operator()(uint32_t* words) const
{
    ::operator delete[](words, std::align_val_t(64));
}

AlignedWords AllocateAlignedWords(size_t count)
{
    return AlignedWords(
        static_cast<uint32_t*>(::operator new[](count * sizeof(uint32_t), std::align_val_t(64))));
}

namespace
{

AlignedWords CopyWords(const AlignedWords& from, size_t count)
{
    if (!from) return nullptr;
    AlignedWords copy = AllocateAlignedWords(count);
    std::memcpy(copy.get(), from.get(), count * sizeof(uint32_t));
    return copy;
}

template <typename T>
std::unique_ptr<T[]> CopyArray(const std::unique_ptr<T[]>& from, size_t count)
{
    if (!from) return nullptr;
    std::unique_ptr<T[]> copy(new T[count]);
    std::memcpy(copy.get(), from.get(), count * sizeof(T));
    return copy;
}

// Writes, for each pixel of a row, the length of its run of one class to the run's end,
// counting itself, capped at 255.
template <typename ClassOf>
void FillRunLengths(uint8_t* out, int width, ClassOf classOf)
{
    int x = width - 1;
    while (x >= 0)
    {
        int cls = classOf(x);
        int run = 0;
        while (x >= 0 && classOf(x) == cls)
        {
            ++run;
            out[x] = uint8_t(run > 255 ? 255 : run);
            --x;
        }
    }
}

} // namespace

MemoryImage::MemoryImage() : MemoryImage(ImageRegistry::Get()) {}

MemoryImage::MemoryImage(ImageRegistry* registry) : app(registry)
{
    Init();
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other), bitsChangedCount(other.bitsChangedCount), d3dFlags(other.d3dFlags),
      forcedMode(other.forcedMode), hasTrans(other.hasTrans), hasAlpha(other.hasAlpha),
      isVolatile(other.isVolatile), purgeBits(other.purgeBits), wantPal(other.wantPal),
      bitsChanged(other.bitsChanged), app(other.app)
{
    MemoryImage& source = const_cast<MemoryImage&>(other);
    size_t pixels = size_t(width) * size_t(height);
    if (!source.bits && !source.colorTable)
    {
        // Held only as native or 3D data: read the pixels out, copy them, and drop the
        // temporary bits again from the source.
        source.GetBits();
        bits = CopyWords(source.bits, pixels + 1);
        source.bits.reset();
    }
    else if (source.bits)
    {
        bits = CopyWords(source.bits, pixels + 1);
    }
    colorTable = CopyArray(source.colorTable, 256);
    colorIndices = CopyArray(source.colorIndices, pixels);
    nativeAlphaData = CopyArray(source.nativeAlphaData, source.colorTable ? 256 : pixels);
    rlAlphaData = CopyArray(source.rlAlphaData, pixels);
    rlAdditiveData = CopyArray(source.rlAdditiveData, pixels);
    if (app) app->AddMemoryImage(this);
}

MemoryImage::~MemoryImage()
{
    if (app) app->RemoveMemoryImage(this);
}

void MemoryImage::Init()
{
    bits.reset();
    colorTable.reset();
    colorIndices.reset();
    nativeAlphaData.reset();
    rlAlphaData.reset();
    rlAdditiveData.reset();
    alphaWeightedData.reset();
    forcedMode = hasTrans = hasAlpha = isVolatile = purgeBits = wantPal = bitsChanged = false;
    if (app) app->AddMemoryImage(this);
}

bool MemoryImage::SetSize(int w, int h)
{
    if (w < 0 || h < 0 || int64_t(w) * h > kMaxPixels)
    {
        width = height = 0;
        return false;
    }
    width = w;
    height = h;
    return true;
}

void MemoryImage::AllocateBits()
{
    size_t pixels = size_t(width) * size_t(height);
    bits = AllocateAlignedWords(pixels + 1);
    bits[pixels] = kGuardWord;
}

uint32_t* MemoryImage::GetBits()
{
    if (bits) return bits.get();
    size_t pixels = size_t(width) * size_t(height);
    AllocateBits();
    uint32_t* out = bits.get();

    if (IsPalettized())
    {
        for (size_t i = 0; i < pixels; ++i)
            out[i] = colorTable[colorIndices[i]];
        colorIndices.reset();
        colorTable.reset();
        nativeAlphaData.reset(); // a 256-entry table means nothing without its palette
        return out;
    }
    if (nativeAlphaData)
    {
        // Undo the premultiplication; colours of pixels with alpha 0 come back as 0.
        const NativeDisplay* d = app ? app->GetNativeDisplay() : nullptr;
        for (size_t i = 0; i < pixels; ++i)
        {
            uint32_t n = nativeAlphaData[i];
            uint32_t a = n >> 24;
            auto channel = [&](uint32_t mask, int channelBits, int shift) -> uint32_t
            {
                if (!d || mask == 0) return 0;
                uint64_t v = ((((uint64_t(n & mask) << 8) / (a + 1)) & mask) << 8) >> (channelBits + shift);
                return uint32_t(v) & 0xFF;
            };
            uint32_t r = d ? channel(d->redMask, d->redBits, d->redShift) : 0;
            uint32_t g = d ? channel(d->greenMask, d->greenBits, d->greenShift) : 0;
            uint32_t b = d ? channel(d->blueMask, d->blueBits, d->blueShift) : 0;
            out[i] = (a << 24) | (r << 16) | (g << 8) | b;
        }
        return out;
    }
    if (!(d3dData && app && app->CopyTexturesToBits(this))) std::memset(out, 0, pixels * sizeof(uint32_t));
    return out;
}

uint32_t MemoryImage::GetPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    size_t i = size_t(y) * size_t(width) + size_t(x);
    if (IsPalettized()) return colorTable[colorIndices[i]];
    const uint32_t* words = GetBits(); // null when the pixels cannot be read (a display image)
    return words ? words[i] : 0;
}

void MemoryImage::BitsChanged()
{
    ++bitsChangedCount;
    bitsChanged = true;
    translucentPixels = -1;
    nativeAlphaData.reset();
    rlAlphaData.reset();
    rlAdditiveData.reset();
    alphaWeightedData.reset();
}

void MemoryImage::CommitBits()
{
    if (!bitsChanged || forcedMode) return;
    hasAlpha = false;
    int64_t translucent = 0;
    auto scan = [&](const uint32_t* words, size_t count)
    {
        hasTrans = false;
        for (size_t i = 0; i < count; ++i)
        {
            uint32_t a = words[i] >> 24;
            if (a == 0)
                hasTrans = true;
            else if (a != 255)
                ++translucent;
        }
        hasAlpha = translucent > 0;
    };
    if (bits)
    {
        scan(bits.get(), size_t(width) * size_t(height));
        translucentPixels = translucent;
    }
    else if (colorTable)
        scan(colorTable.get(), 256);
    else
        hasTrans = true;
    bitsChanged = false;
}

void MemoryImage::SetImageMode(bool trans, bool alpha)
{
    forcedMode = true;
    hasTrans = trans;
    hasAlpha = alpha;
}

bool MemoryImage::IsOpaque()
{
    CommitBits();
    return !forcedMode && !hasTrans && !hasAlpha && width > 0 && height > 0;
}

void MemoryImage::SetVolatile(bool isVolatileImage)
{
    isVolatile = isVolatileImage;
}

void MemoryImage::Clear()
{
    uint32_t* words = GetBits();
    if (!words) return;
    std::memset(words, 0, size_t(width) * size_t(height) * sizeof(uint32_t));
    BitsChanged();
}

void MemoryImage::SetBits(const uint32_t* pixels, int w, int h, bool commit)
{
    if (pixels && pixels == bits.get()) return;
    colorTable.reset();
    colorIndices.reset();
    if (!bits || w != width || h != height)
    {
        bits.reset();
        if (!SetSize(w, h)) pixels = nullptr;
        AllocateBits();
    }
    size_t count = size_t(width) * size_t(height);
    if (pixels)
        std::memcpy(bits.get(), pixels, count * sizeof(uint32_t));
    else
        std::memset(bits.get(), 0, count * sizeof(uint32_t));
    bits[count] = kGuardWord;
    BitsChanged();
    if (commit) CommitBits();
}

void MemoryImage::Create(int w, int h)
{
    bits.reset();
    colorTable.reset();
    colorIndices.reset();
    SetSize(w, h);
    hasTrans = true;
    hasAlpha = true;
    BitsChanged();
}

uint32_t* MemoryImage::GetNativeAlphaData(const NativeDisplay* display)
{
    if (nativeAlphaData) return nativeAlphaData.get();
    CommitBits();
    if (!display) display = app ? app->GetNativeDisplay() : nullptr;
    NativeDisplay fallback;
    if (!display)
    {
        fallback.SetLayout8888();
        display = &fallback;
    }

    const uint32_t* source;
    size_t count;
    if (IsPalettized())
    {
        source = colorTable.get();
        count = 256;
    }
    else
    {
        source = GetBits();
        count = size_t(width) * size_t(height);
    }
    auto place = [](uint32_t premultiplied, int fromBits, int channelBits, int shift,
                    uint32_t mask) -> uint32_t
    {
        int down = fromBits - channelBits;
        uint32_t v = down >= 0 ? premultiplied >> down : premultiplied << -down;
        return (shift < 32 ? v << shift : 0) & mask;
    };
    nativeAlphaData.reset(new uint32_t[count]);
    for (size_t i = 0; i < count; ++i)
    {
        uint32_t p = source[i];
        uint32_t a1 = (p >> 24) + 1;
        uint32_t r = place(uint32_t((uint64_t(p & 0xFF0000) * a1) >> 8), 24, display->redBits,
                           display->redShift, display->redMask);
        uint32_t g =
            place(((p & 0xFF00) * a1) >> 8, 16, display->greenBits, display->greenShift, display->greenMask);
        uint32_t b =
            place(((p & 0xFF) * a1) >> 8, 8, display->blueBits, display->blueShift, display->blueMask);
        nativeAlphaData[i] = r | g | b | (p & 0xFF000000);
    }
    return nativeAlphaData.get();
}

uint8_t* MemoryImage::GetRLAlphaData()
{
    if (rlAlphaData) return rlAlphaData.get();
    CommitBits();
    size_t pixels = size_t(width) * size_t(height);
    rlAlphaData.reset(new uint8_t[pixels ? pixels : 1]);
    for (int y = 0; y < height; ++y)
    {
        size_t row = size_t(y) * size_t(width);
        uint8_t* out = rlAlphaData.get() + row;
        if (IsPalettized())
        {
            const uint8_t* idx = colorIndices.get() + row;
            const uint32_t* pal = colorTable.get();
            FillRunLengths(out, width, [&](int x) { return AlphaClass(pal[idx[x]]); });
        }
        else if (nativeAlphaData)
        {
            const uint32_t* words = nativeAlphaData.get() + row;
            FillRunLengths(out, width, [&](int x) { return AlphaClass(words[x]); });
        }
        else
        {
            const uint32_t* words = GetBits() + row;
            FillRunLengths(out, width, [&](int x) { return AlphaClass(words[x]); });
        }
    }
    return rlAlphaData.get();
}

uint8_t* MemoryImage::GetRLAdditiveData(const NativeDisplay* display)
{
    if (rlAdditiveData) return rlAdditiveData.get();
    const uint32_t* native = GetNativeAlphaData(display);
    size_t pixels = size_t(width) * size_t(height);
    rlAdditiveData.reset(new uint8_t[pixels ? pixels : 1]);
    bool pal = IsPalettized();
    for (int y = 0; y < height; ++y)
    {
        size_t row = size_t(y) * size_t(width);
        uint8_t* out = rlAdditiveData.get() + row;
        if (pal)
        {
            const uint8_t* idx = colorIndices.get() + row;
            FillRunLengths(out, width, [&](int x) { return (native[idx[x]] & 0xFFFFFF) == 0 ? 0 : 1; });
        }
        else
        {
            const uint32_t* words = native + row;
            FillRunLengths(out, width, [&](int x) { return (words[x] & 0xFFFFFF) == 0 ? 0 : 1; });
        }
    }
    return rlAdditiveData.get();
}

const uint32_t* MemoryImage::GetAlphaWeightedData()
{
    if (alphaWeightedData) return alphaWeightedData.get(); // dropped by BitsChanged
    const size_t pixels = size_t(width) * size_t(height);
    const bool palettized = IsPalettized();
    const uint32_t* words = palettized ? nullptr : GetBits();
    if (pixels == 0 || (!palettized && !words)) return nullptr;
    AlignedWords weighted = AllocateAlignedWords(pixels);
    std::vector<uint32_t> row(palettized ? size_t(width) : 0);
    for (int y = 0; y < height; ++y)
    {
        const size_t start = size_t(y) * size_t(width);
        const uint32_t* from = words ? words + start : row.data();
        if (palettized)
            for (int x = 0; x < width; ++x)
                row[size_t(x)] = colorTable[colorIndices[start + size_t(x)]];
        uint32_t* out = weighted.get() + start;
        std::fill_n(out, width, 0u);
        BlendRows::AddAlphaRow(out, from, width); // onto nothing: the weighted channels, alpha 0
    }
    alphaWeightedData = std::move(weighted);
    return alphaWeightedData.get();
}

void MemoryImage::PurgeBits()
{
    purgeBits = true;
    alphaWeightedData.reset();
    if (app && app->Is3DAccelerated())
    {
        if (!d3dData) return;
    }
    else
    {
        if (!bits && !colorIndices) return;
        GetNativeAlphaData(app ? app->GetNativeDisplay() : nullptr);
    }
    bits.reset();
    if (d3dData)
    {
        colorIndices.reset();
        colorTable.reset();
    }
}

void MemoryImage::DeleteSWBuffers()
{
    if (!bits && !colorIndices) GetBits();
    nativeAlphaData.reset();
    rlAdditiveData.reset();
    rlAlphaData.reset();
    alphaWeightedData.reset();
}

void MemoryImage::DeleteNativeData()
{
    if (!bits && !colorIndices) GetBits();
    nativeAlphaData.reset();
    rlAdditiveData.reset();
}

void MemoryImage::Delete3DBuffers()
{
    if (app) app->RemoveImageFromDisplay(this);
}

void MemoryImage::DeleteExtraBuffers()
{
    DeleteSWBuffers();
    Delete3DBuffers();
}

void MemoryImage::ReInit()
{
    if (wantPal) Palletize();
    if (purgeBits) PurgeBits();
}

bool MemoryImage::Palletize()
{
    CommitBits();
    if (IsPalettized()) return true;
    uint32_t* words = GetBits();
    if (!words) return false;
    size_t pixels = size_t(width) * size_t(height);
    colorIndices.reset(new uint8_t[pixels ? pixels : 1]);
    colorTable.reset(new uint32_t[256]());
    if (BuildPaletteIndices(words, colorIndices.get(), width, height, colorTable.get()))
    {
        bits.reset();
        nativeAlphaData.reset();
        wantPal = true;
        return true;
    }
    colorIndices.reset();
    colorTable.reset();
    wantPal = false;
    return false;
}

namespace
{

int HighestBit(uint32_t mask)
{
    for (int bit = 31; bit >= 1; --bit)
        if (mask & (uint32_t(1) << bit)) return bit;
    return 0;
}

inline uint32_t MoveTo(uint32_t value, int from, int to)
{
    return from >= to ? value >> (from - to) : value << (to - from);
}

template <typename Word>
void ConvertSurface(uint32_t* dest, int w, int h, const void* surface, int pitch, uint32_t redMask,
                    uint32_t greenMask, uint32_t blueMask)
{
    int rb = HighestBit(redMask), gb = HighestBit(greenMask), bb = HighestBit(blueMask);
    const uint8_t* row = static_cast<const uint8_t*>(surface);
    for (int y = 0; y < h; ++y, row += pitch, dest += w)
    {
        const Word* src = reinterpret_cast<const Word*>(row);
        for (int x = 0; x < w; ++x)
        {
            uint32_t p = src[x];
            dest[x] = (MoveTo(p & redMask, rb, 23) & 0xFF0000) | (MoveTo(p & greenMask, gb, 15) & 0xFF00) |
                      (MoveTo(p & blueMask, bb, 7) & 0xFF) | 0xFF000000;
        }
    }
}

} // namespace

void ConvertSurface32ToARGB(uint32_t* dest, int w, int h, const void* surface, int pitch, uint32_t redMask,
                            uint32_t greenMask, uint32_t blueMask)
{
    ConvertSurface<uint32_t>(dest, w, h, surface, pitch, redMask, greenMask, blueMask);
}

void ConvertSurface16ToARGB(uint32_t* dest, int w, int h, const void* surface, int pitch, uint32_t redMask,
                            uint32_t greenMask, uint32_t blueMask)
{
    ConvertSurface<uint16_t>(dest, w, h, surface, pitch, redMask, greenMask, blueMask);
}

} // namespace Kavo
