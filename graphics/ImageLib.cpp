#include "graphics/ImageLib.h"

#include "base/PakFile.h"
#include "platform/files/AsciiCase.h"

#include <cstring>

namespace ImageLib
{

uint32_t gAlphaComposeColor = 0xFFFFFF;

bool Image::SizeAllowed(int64_t w, int64_t h)
{
    return w > 0 && h > 0 && w <= kMaxDimension && h <= kMaxDimension && w * h <= kMaxPixels;
}

bool Image::Allocate(int w, int h, bool clear)
{
    if (!SizeAllowed(w, h)) return false;
    width = w;
    height = h;
    size_t n = size_t(w) * size_t(h);
    bits.reset(clear ? new uint32_t[n]() : new uint32_t[n]);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& contents)
{
    // No image file of ours is larger than 8 bytes a pixel of the largest image.
    return Kavo::PakReadWholeFile(path, contents, size_t(kMaxPixels * 8));
}

namespace
{

using Loader = std::unique_ptr<Image> (*)(const std::string&);

struct Format
{
    const char* extension;
    Loader load;
};

const Format kFormats[] = {
    {".tga", LoadTGA}, {".jpg", LoadJPEG},     {".png", LoadPNG},
    {".gif", LoadGIF}, {".j2k", LoadJPEG2000}, {".jp2", LoadJPEG2000},
};

std::unique_ptr<Image> LoadAnyFormat(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    size_t dot = path.find_last_of('.');
    bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    std::string base = hasExtension ? path.substr(0, dot) : path;
    std::string extension = hasExtension ? path.substr(dot) : std::string();
    for (const Format& format : kFormats)
    {
        if (hasExtension && !platform::EqualIgnoringCase(extension, format.extension)) continue;
        if (std::unique_ptr<Image> image = format.load(base + format.extension)) return image;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<Image> GetImage(const std::string& path, bool lookForAlphaImage)
{
    std::unique_ptr<Image> image = LoadAnyFormat(path);
    if (!lookForAlphaImage) return image;

    size_t slash = path.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::unique_ptr<Image> alpha = GetImage(folder + "_" + name, false);
    if (!alpha) alpha = GetImage(path + "_", false);
    if (!alpha) return image;

    if (image)
    {
        if (image->width == alpha->width && image->height == alpha->height)
        {
            size_t n = size_t(image->width) * size_t(image->height);
            for (size_t i = 0; i < n; ++i)
                image->bits[i] = (image->bits[i] & 0xFFFFFF) | (alpha->bits[i] << 24);
        }
        return image;
    }
    size_t n = size_t(alpha->width) * size_t(alpha->height);
    for (size_t i = 0; i < n; ++i)
        alpha->bits[i] = (alpha->bits[i] << 24) | (gAlphaComposeColor & 0xFFFFFF);
    return alpha;
}

} // namespace ImageLib
