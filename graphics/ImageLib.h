#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Image files: readers that turn TGA, JPEG, PNG, GIF and JPEG 2000 files into 0xAARRGGBB pixel
// arrays, and PNG and JPEG writers. Every reader goes through the archive file wrappers (the
// data archive first, then the disk) and treats its file as hostile: a truncated or corrupt
// file yields null, never a crash or a read outside the data.
namespace ImageLib
{

// The largest image a reader makes; larger claims are refused before anything is allocated.
constexpr int kMaxDimension = 32767;
constexpr int64_t kMaxPixels = int64_t(1) << 26;

class Image
{
public:
    int width = 0;
    int height = 0;
    std::unique_ptr<uint32_t[]> bits; // width x height pixels, row by row from the top

    Image() = default;
    virtual ~Image() = default;

    // Allocates width x height pixels (all 0, unless clear is false for a reader that writes
    // every pixel); false for a size the readers refuse.
    bool Allocate(int w, int h, bool clear = true);
    // Whether the readers make an image of that size.
    static bool SizeAllowed(int64_t w, int64_t h);
};

// The colour of an image made from an alpha file alone (0xFFFFFF unless the resource manager
// sets another around a load).
extern uint32_t gAlphaComposeColor;

// Loads path, which usually has no extension: ".tga", ".jpg", ".png", ".gif", ".j2k" and ".jp2"
// are tried in this order. With lookForAlphaImage, "_" + file name (or path + "_") supplies the
// alpha channel from its blue channel.
std::unique_ptr<Image> GetImage(const std::string& path, bool lookForAlphaImage = true);

// 32 bits per pixel, uncompressed, top-left origin with 8 alpha bits.
std::unique_ptr<Image> LoadTGA(const std::string& path);
std::unique_ptr<Image> LoadJPEG(const std::string& path);
std::unique_ptr<Image> LoadPNG(const std::string& path);
// The first frame; the transparent index becomes 0x00000000.
std::unique_ptr<Image> LoadGIF(const std::string& path);
// Through the JPEG 2000 codec module; null without it.
std::unique_ptr<Image> LoadJPEG2000(const std::string& path);

// Quality 80, RGB (alpha dropped).
bool WriteJPEG(const std::string& path, const Image& image);
// 8-bit RGBA, not interlaced.
bool WritePNG(const std::string& path, const Image& image);

// Loads the JPEG 2000 codec module ("j2k-codec.dll"); CloseJPEG2000 releases it.
void InitJPEG2000();
void CloseJPEG2000();

// Reads a whole file through the archive wrappers; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& contents);

} // namespace ImageLib
