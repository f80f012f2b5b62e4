// The TGA reader: 32 bits per pixel, top-left origin, 8 alpha bits, uncompressed.
#include "graphics/ImageLib.h"

#include "platform/files/LittleEndian.h"

#include <cstring>

namespace ImageLib
{

std::unique_ptr<Image> LoadTGA(const std::string& path)
{
    std::string file;
    if (!ReadWholeFile(path, file)) return nullptr;
    const size_t kHeader = 18;
    if (file.size() < kHeader) return nullptr;
    const unsigned char* h = reinterpret_cast<const unsigned char*>(file.data());
    int idLength = h[0];
    int colorMapType = h[1];
    int imageType = h[2];
    int colorMapLength = platform::LoadLE16(h + 5);
    int colorMapDepth = h[7];
    int width = platform::LoadLE16(h + 12);
    int height = platform::LoadLE16(h + 14);
    int bitsPerPixel = h[16];
    int descriptor = h[17];

    // Uncompressed true colour only: a run-length or colour-mapped file read as raw pixels
    // would be garbage.
    if (imageType != 2 || bitsPerPixel != 32 || descriptor != 0x28) return nullptr;
    if (colorMapType > 1) return nullptr;

    // The pixels follow the ID field and any colour map, which are skipped.
    size_t offset = kHeader + size_t(idLength);
    if (colorMapType == 1) offset += size_t(colorMapLength) * size_t((colorMapDepth + 7) / 8);

    // The pixels must all be there before any is allocated.
    size_t bytes = size_t(width) * size_t(height) * 4;
    if (offset > file.size() || file.size() - offset < bytes) return nullptr;
    auto image = std::make_unique<Image>();
    if (!image->Allocate(width, height)) return nullptr;
    // Blue, green, red, alpha in the file: 0xAARRGGBB read little-endian.
    const unsigned char* p = h + offset;
    size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i, p += 4)
        image->bits[i] = platform::LoadLE32(p);
    return image;
}

} // namespace ImageLib
