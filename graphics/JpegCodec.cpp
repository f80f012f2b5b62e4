// JPEG through libjpeg: the reader over the archive file wrappers and the writer.
#include "graphics/ImageLib.h"

#include "base/PakFile.h"
#include "platform/files/Files.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace ImageLib
{

namespace
{

struct ErrorManager
{
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr info)
{
    longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void QuietMessage(j_common_ptr) {}

// libjpeg's error handling for one run of the codec: an error jumps back, messages are dropped.
jpeg_error_mgr* QuietErrors(ErrorManager& err)
{
    jpeg_error_mgr* manager = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = QuietMessage;
    return manager;
}

// A source manager over an archive file with a 64 KiB buffer. Running out of data after the
// start supplies an end-of-image marker so libjpeg can stop, and notes the truncation.
struct PakSource
{
    jpeg_source_mgr pub;
    Kavo::PakFileHandle* file;
    JOCTET buffer[65536];
    bool startOfFile;
    bool truncated;
};

void InitSource(j_decompress_ptr info)
{
    reinterpret_cast<PakSource*>(info->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    PakSource* src = reinterpret_cast<PakSource*>(info->src);
    size_t n = Kavo::PakFRead(src->buffer, 1, sizeof src->buffer, src->file);
    if (n == 0)
    {
        if (src->startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        src->truncated = true;
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    PakSource* src = reinterpret_cast<PakSource*>(info->src);
    if (count <= 0) return;
    while (count > long(src->pub.bytes_in_buffer))
    {
        count -= long(src->pub.bytes_in_buffer);
        FillInputBuffer(info);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

// Everything the error jump must release, kept outside the jumping frame.
struct JpegRead
{
    jpeg_decompress_struct info;
    ErrorManager err;
    PakSource source;
    bool created = false;
    std::unique_ptr<Image> image;
    std::vector<JSAMPLE> row;
    ~JpegRead()
    {
        if (created) jpeg_destroy_decompress(&info);
        if (source.file) Kavo::PakFClose(source.file);
    }
};

bool DecodeJpeg(JpegRead& r)
{
    if (setjmp(r.err.jump)) return false;
    jpeg_create_decompress(&r.info);
    r.created = true;
    r.source.pub.init_source = InitSource;
    r.source.pub.fill_input_buffer = FillInputBuffer;
    r.source.pub.skip_input_data = SkipInputData;
    r.source.pub.resync_to_restart = jpeg_resync_to_restart;
    r.source.pub.term_source = TermSource;
    r.source.pub.bytes_in_buffer = 0;
    r.source.pub.next_input_byte = nullptr;
    r.info.src = &r.source.pub;
    jpeg_read_header(&r.info, TRUE);
    // A claimed size is refused before libjpeg sets up for it (a progressive file makes
    // coefficient buffers for the whole image).
    if (!Image::SizeAllowed(r.info.image_width, r.info.image_height)) return false;

    // Grey and colour files come out of libjpeg straight in the image's layout (blue, green, red
    // and an opaque alpha byte in memory: 0xAARRGGBB), written into the image's rows. CMYK and
    // YCCK files come out as CMYK and are converted below.
    bool cmyk = r.info.jpeg_color_space == JCS_CMYK || r.info.jpeg_color_space == JCS_YCCK;
    constexpr J_COLOR_SPACE kImageLayout =
        std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    r.info.out_color_space = cmyk ? JCS_CMYK : kImageLayout;
    jpeg_start_decompress(&r.info);

    int width = int(r.info.output_width), height = int(r.info.output_height);
    int components = r.info.output_components;
    if (components != 4) return false;
    r.image = std::make_unique<Image>();
    if (!r.image->Allocate(width, height, false)) return false;
    if (!cmyk)
    {
        JSAMPROW rows[16];
        while (r.info.output_scanline < r.info.output_height)
        {
            JDIMENSION first = r.info.output_scanline;
            JDIMENSION count = std::min<JDIMENSION>(16, r.info.output_height - first);
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = reinterpret_cast<JSAMPROW>(r.image->bits.get() + size_t(first + i) * size_t(width));
            if (jpeg_read_scanlines(&r.info, rows, count) == 0) return false;
        }
        jpeg_finish_decompress(&r.info);
        return true;
    }

    r.row.resize(size_t(width) * 4);
    bool inverted = r.info.saw_Adobe_marker; // Adobe writes CMYK inverted
    for (int y = 0; y < height; ++y)
    {
        JSAMPROW rows[1] = {r.row.data()};
        if (jpeg_read_scanlines(&r.info, rows, 1) != 1) return false;
        uint32_t* out = r.image->bits.get() + size_t(y) * size_t(width);
        const JSAMPLE* p = r.row.data();
        for (int x = 0; x < width; ++x)
        {
            uint32_t c = p[x * 4], m = p[x * 4 + 1], yl = p[x * 4 + 2], k = p[x * 4 + 3];
            if (!inverted)
            {
                c = 255 - c;
                m = 255 - m;
                yl = 255 - yl;
                k = 255 - k;
            }
            uint32_t red = c * k / 255, green = m * k / 255, blue = yl * k / 255;
            out[x] = 0xFF000000 | red << 16 | green << 8 | blue;
        }
    }
    jpeg_finish_decompress(&r.info);
    return true;
}

struct JpegWrite
{
    jpeg_compress_struct info;
    ErrorManager err;
    bool created = false;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<JSAMPLE> row;
    ~JpegWrite()
    {
        if (created) jpeg_destroy_compress(&info);
        free(buffer);
    }
};

bool EncodeJpeg(JpegWrite& w, const Image& image)
{
    if (setjmp(w.err.jump)) return false;
    jpeg_create_compress(&w.info);
    w.created = true;
    jpeg_mem_dest(&w.info, &w.buffer, &w.size);
    w.info.image_width = JDIMENSION(image.width);
    w.info.image_height = JDIMENSION(image.height);
    w.info.input_components = 3;
    w.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&w.info);
    jpeg_set_quality(&w.info, 80, TRUE);
    jpeg_start_compress(&w.info, TRUE);
    w.row.resize(size_t(image.width) * 3);
    for (int y = 0; y < image.height; ++y)
    {
        const uint32_t* p = image.bits.get() + size_t(y) * size_t(image.width);
        for (int x = 0; x < image.width; ++x)
        {
            w.row[size_t(x) * 3] = JSAMPLE((p[x] >> 16) & 0xFF);
            w.row[size_t(x) * 3 + 1] = JSAMPLE((p[x] >> 8) & 0xFF);
            w.row[size_t(x) * 3 + 2] = JSAMPLE(p[x] & 0xFF);
        }
        JSAMPROW rows[1] = {w.row.data()};
        jpeg_write_scanlines(&w.info, rows, 1);
    }
    jpeg_finish_compress(&w.info);
    return true;
}

} // namespace

// A file that ends before its image data does, or any decoder error, yields null.
std::unique_ptr<Image> LoadJPEG(const std::string& path)
{
    JpegRead r;
    r.source.file = Kavo::PakFOpen(path.c_str(), "rb");
    if (!r.source.file) return nullptr;
    r.source.truncated = false;
    r.info.err = QuietErrors(r.err);
    if (!DecodeJpeg(r) || r.source.truncated) return nullptr;
    return std::move(r.image);
}

bool WriteJPEG(const std::string& path, const Image& image)
{
    if (image.width <= 0 || image.height <= 0 || !image.bits) return false;
    JpegWrite w;
    w.info.err = QuietErrors(w.err);
    if (!EncodeJpeg(w, image)) return false;
    return platform::WriteFileAtomically(path, std::string(reinterpret_cast<const char*>(w.buffer), w.size));
}

} // namespace ImageLib
