// PNG through libpng: the reader over the archive file wrappers and the writer.
#include "graphics/ImageLib.h"

#include "base/PakFile.h"
#include "platform/files/Files.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <vector>

namespace ImageLib
{

namespace
{

void ReadCallback(png_structp png, png_bytep data, png_size_t length)
{
    auto* file = static_cast<Kavo::PakFileHandle*>(png_get_io_ptr(png));
    if (Kavo::PakFRead(data, 1, length, file) != length) png_error(png, "short read");
}

void QuietWarning(png_structp, png_const_charp) {}
void ErrorJump(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Deflate stores at most 258 bytes in 2 bits: no file decodes to more than this many bytes
// for each of its own.
constexpr uint64_t kMaxDeflateRatio = 1032;
// Rows of a file that is not interlaced are decoded into blocks of about this many bytes.
constexpr size_t kBlockBytes = size_t(1) << 20;

// Everything the error jump must release, kept outside the jumping frame.
struct PngRead
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    Kavo::PakFileHandle* file = nullptr;
    uint64_t fileSize = 0;
    std::unique_ptr<Image> image;
    std::vector<png_bytep> rows;
    std::vector<std::unique_ptr<uint32_t[]>> blocks;

    ~PngRead()
    {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file) Kavo::PakFClose(file);
    }
};

// Runs the libpng calls; false when libpng reported an error. No C++ object with a destructor
// lives in this frame across the jump.
bool DecodePng(PngRead& r)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_read_fn(r.png, r.file, ReadCallback);
    png_set_user_limits(r.png, kMaxDimension, kMaxDimension);
    png_read_info(r.png, r.info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(r.png, r.info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    // The file's own rows, before any expansion, cannot come out of fewer compressed bytes.
    if (uint64_t(height) * png_get_rowbytes(r.png, r.info) > r.fileSize * kMaxDeflateRatio)
        png_error(r.png, "more pixels than the file can hold");

    // Every row becomes width x 4 bytes blue, green, red, alpha: 0xAARRGGBB in memory.
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r.png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(r.png);
    if (png_get_valid(r.png, r.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(r.png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(r.png);
    if (depth == 16) png_set_strip_16(r.png); // 16-bit channels are reduced to 8
    png_set_filler(r.png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(r.png);
    int passes = png_set_interlace_handling(r.png); // interlaced files are read pass by pass
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != size_t(width) * 4) png_error(r.png, "unexpected row layout");

    if (!Image::SizeAllowed(width, height)) png_error(r.png, "image too large");
    r.image = std::make_unique<Image>();
    if (passes > 1)
    {
        // Every pass writes over the whole image, which must exist from the start.
        r.image->Allocate(int(width), int(height));
        r.rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            r.rows[y] = reinterpret_cast<png_bytep>(r.image->bits.get() + size_t(y) * width);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_read_row(r.png, r.rows[y], nullptr);
        png_read_end(r.png, nullptr);
        return true;
    }
    // One row at a time into blocks, so that memory follows the rows the file really holds; the
    // image is made once they are all there.
    const size_t blockRows = std::max<size_t>(1, kBlockBytes / (size_t(width) * 4));
    for (png_uint_32 y = 0; y < height; ++y)
    {
        size_t inBlock = y % blockRows;
        if (inBlock == 0)
            r.blocks.emplace_back(new uint32_t[std::min<size_t>(blockRows, height - y) * width]);
        png_read_row(r.png, reinterpret_cast<png_bytep>(r.blocks.back().get() + inBlock * width), nullptr);
    }
    png_read_end(r.png, nullptr);
    r.image->Allocate(int(width), int(height));
    for (size_t b = 0; b < r.blocks.size(); ++b)
    {
        size_t first = b * blockRows, count = std::min<size_t>(blockRows, height - first);
        std::copy_n(r.blocks[b].get(), count * width, r.image->bits.get() + first * width);
        r.blocks[b].reset();
    }
    return true;
}

struct PngWrite
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string out;
    std::vector<png_bytep> rows;
    ~PngWrite()
    {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

void WriteCallback(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<PngWrite*>(png_get_io_ptr(png))->out.append(reinterpret_cast<const char*>(data), length);
}

void FlushCallback(png_structp) {}

bool EncodePng(PngWrite& w, const Image& image)
{
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_set_write_fn(w.png, &w, WriteCallback, FlushCallback);
    png_set_IHDR(w.png, w.info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_8 sig;
    sig.red = sig.green = sig.blue = sig.alpha = 8;
    sig.gray = 0;
    png_set_sBIT(w.png, w.info, &sig);
    png_write_info(w.png, w.info);
    png_set_bgr(w.png); // the pixel words are written unchanged
    w.rows.resize(size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        w.rows[size_t(y)] = reinterpret_cast<png_bytep>(image.bits.get() + size_t(y) * size_t(image.width));
    png_write_image(w.png, w.rows.data());
    png_write_end(w.png, nullptr);
    return true;
}

} // namespace

std::unique_ptr<Image> LoadPNG(const std::string& path)
{
    PngRead r;
    r.file = Kavo::PakFOpen(path.c_str(), "rb");
    if (!r.file) return nullptr;
    if (Kavo::PakFSeek(r.file, 0, Kavo::kPakSeekEnd) != 0) return nullptr;
    long size = Kavo::PakFTell(r.file);
    if (size < 0 || Kavo::PakFSeek(r.file, 0, Kavo::kPakSeekSet) != 0) return nullptr;
    r.fileSize = uint64_t(size);
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, QuietWarning);
    if (!r.png) return nullptr;
    r.info = png_create_info_struct(r.png);
    if (!r.info) return nullptr;
    if (!DecodePng(r)) return nullptr;
    return std::move(r.image);
}

bool WritePNG(const std::string& path, const Image& image)
{
    if (image.width <= 0 || image.height <= 0 || !image.bits) return false;
    PngWrite w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, QuietWarning);
    if (!w.png) return false;
    w.info = png_create_info_struct(w.png);
    if (!w.info) return false;
    if (!EncodePng(w, image)) return false;
    return platform::WriteFileAtomically(path, w.out);
}

} // namespace ImageLib
