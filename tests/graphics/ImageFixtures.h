#pragma once

// Image files made in memory for the image reader tests and the fuzz targets' seed corpora: TGA
// byte by byte, PNG through libpng, JPEG through libjpeg, GIF code by code and JPEG 2000 through
// OpenJPEG.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <openjpeg.h>

namespace imagefixture
{

inline void Put16(std::string& s, int v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

inline std::string MakeTga(int w, int h, const std::vector<uint32_t>& pixels, int bpp = 32,
                           int descriptor = 0x28, int type = 2, const std::string& id = "")
{
    std::string s;
    s += char(id.size());
    s += char(0);
    s += char(type);
    Put16(s, 0);
    Put16(s, 0);
    s += char(0);
    Put16(s, 0);
    Put16(s, 0);
    Put16(s, w);
    Put16(s, h);
    s += char(bpp);
    s += char(descriptor);
    s += id;
    for (uint32_t p : pixels)
        for (int k = 0; k < 4; ++k)
            s += char((p >> (8 * k)) & 0xFF);
    return s;
}

struct PngOptions
{
    int depth = 8;
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    int interlace = PNG_INTERLACE_NONE;
};

inline void AppendPng(png_structp png, png_bytep data, png_size_t n)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}

// Writes w x h pixels given as 0xAARRGGBB in the requested layout (grey takes the red channel).
inline std::string MakePng(int w, int h, const std::vector<uint32_t>& pixels, PngOptions o)
{
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendPng, nullptr);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), o.depth, o.colorType, o.interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    if (o.colorType == PNG_COLOR_TYPE_PALETTE)
    {
        for (uint32_t p : pixels)
        {
            bool known = false;
            for (size_t i = 0; i < palette.size(); ++i)
                known = known || (palette[i].red == ((p >> 16) & 0xFF) && alphas[i] == (p >> 24));
            if (known) continue;
            palette.push_back({png_byte(p >> 16), png_byte(p >> 8), png_byte(p)});
            alphas.push_back(png_byte(p >> 24));
        }
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    }
    png_write_info(png, info);
    int channels = o.colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : o.colorType == PNG_COLOR_TYPE_GRAY ? 1 : 1;
    int bytes = o.depth == 16 ? 2 : 1;
    std::vector<std::vector<png_byte>> rows(size_t(h), std::vector<png_byte>(size_t(w * channels * bytes)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            uint32_t p = pixels[size_t(y * w + x)];
            png_byte* out = rows[size_t(y)].data() + size_t(x * channels * bytes);
            uint32_t values[4] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24};
            if (o.colorType == PNG_COLOR_TYPE_PALETTE)
            {
                for (size_t i = 0; i < palette.size(); ++i)
                    if (palette[i].red == values[0] && alphas[i] == values[3]) out[0] = png_byte(i);
                continue;
            }
            for (int c = 0; c < channels; ++c)
            {
                if (bytes == 2)
                {
                    out[c * 2] = png_byte(values[c]);
                    out[c * 2 + 1] = png_byte(0x5A); // low byte: dropped when reduced to 8 bits
                }
                else
                    out[c] = png_byte(values[c]);
            }
        }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// components 1 (grey from red), 3 or 4 (CMYK as given, with the Adobe marker libjpeg writes).
inline std::string MakeJpeg(int w, int h, const std::vector<uint32_t>& pixels, int components,
                            int quality = 100, bool progressive = false)
{
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(w * components));
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            uint32_t p = pixels[size_t(y * w + x)];
            for (int c = 0; c < components; ++c)
                row[size_t(x * components + c)] =
                    JSAMPLE((p >> (components == 4 ? 24 - 8 * c : 16 - 8 * c)) & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

// A GIF with a 4-colour table and minimum code size 2, optional transparency and interlacing,
// whose image data is the given codes, each written with its own bit width.
inline std::string MakeGifFromCodes(int w, int h, const uint32_t colors[4],
                                    const std::vector<std::pair<int, int>>& codes, int transparent = -1,
                                    bool interlaced = false)
{
    std::string s = "GIF89a";
    Put16(s, w);
    Put16(s, h);
    s += char(0x80 | 1); // global table of 4 entries
    s += char(0);
    s += char(0);
    for (int i = 0; i < 4; ++i)
    {
        s += char((colors[i] >> 16) & 0xFF);
        s += char((colors[i] >> 8) & 0xFF);
        s += char(colors[i] & 0xFF);
    }
    s += std::string("!\xFF\x0B"
                     "NETSCAPE2.0\x03\x01\x00\x00\x00",
                     19); // a looping extension, skipped
    if (transparent >= 0)
    {
        s += "!\xF9\x04";
        s += char(1);
        Put16(s, 0);
        s += char(transparent);
        s += '\0';
    }
    s += ',';
    Put16(s, 0);
    Put16(s, 0);
    Put16(s, w);
    Put16(s, h);
    s += char(interlaced ? 0x40 : 0);
    s += char(2); // minimum code size
    std::string data;
    uint32_t buffer = 0;
    int bits = 0;
    for (auto [code, width] : codes)
    {
        buffer |= uint32_t(code) << bits;
        bits += width;
        while (bits >= 8)
        {
            data += char(buffer & 0xFF);
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) data += char(buffer & 0xFF);
    for (size_t i = 0; i < data.size(); i += 255)
    {
        std::string block = data.substr(i, 255);
        s += char(block.size());
        s += block;
    }
    s += '\0';
    s += ';';
    return s;
}

// 3-bit codes throughout (a clear code before every second index keeps the code size fixed);
// extra raw codes can be appended.
inline std::string MakeGif(int w, int h, const std::vector<int>& indices, const uint32_t colors[4],
                           int transparent = -1, bool interlaced = false,
                           const std::vector<int>& rawCodes = {})
{
    std::vector<std::pair<int, int>> codes;
    for (size_t i = 0; i < indices.size(); ++i)
    {
        if (i % 2 == 0) codes.push_back({4, 3});
        codes.push_back({indices[i], 3});
    }
    for (int code : rawCodes)
        codes.push_back({code, 3});
    codes.push_back({5, 3});
    return MakeGifFromCodes(w, h, colors, codes, transparent, interlaced);
}

// An output stream in memory that the JP2 writer can seek back in.
struct J2kOut
{
    std::string bytes;
    size_t position = 0;
};

inline OPJ_SIZE_T WriteJ2k(void* data, OPJ_SIZE_T n, void* user)
{
    J2kOut* out = static_cast<J2kOut*>(user);
    if (out->bytes.size() < out->position + n) out->bytes.resize(out->position + n);
    std::memcpy(out->bytes.data() + out->position, data, n);
    out->position += n;
    return n;
}

inline OPJ_OFF_T SkipJ2k(OPJ_OFF_T n, void* user)
{
    J2kOut* out = static_cast<J2kOut*>(user);
    out->position = size_t(OPJ_OFF_T(out->position) + n);
    if (out->bytes.size() < out->position) out->bytes.resize(out->position);
    return n;
}

inline OPJ_BOOL SeekJ2k(OPJ_OFF_T n, void* user)
{
    J2kOut* out = static_cast<J2kOut*>(user);
    out->position = size_t(n);
    if (out->bytes.size() < out->position) out->bytes.resize(out->position);
    return OPJ_TRUE;
}

// A lossless JPEG 2000 codestream (or JP2 file) of the pixels' red, green and blue.
inline std::string MakeJ2k(int w, int h, const std::vector<uint32_t>& pixels, bool jp2, int tileSize = 0)
{
    opj_image_cmptparm_t parms[3];
    std::memset(parms, 0, sizeof parms);
    for (auto& p : parms)
    {
        p.dx = p.dy = 1;
        p.w = OPJ_UINT32(w);
        p.h = OPJ_UINT32(h);
        p.prec = 8;
    }
    opj_image_t* image = opj_image_create(3, parms, OPJ_CLRSPC_SRGB);
    image->x1 = OPJ_UINT32(w);
    image->y1 = OPJ_UINT32(h);
    for (int i = 0; i < w * h; ++i)
        for (int c = 0; c < 3; ++c)
            image->comps[c].data[i] = OPJ_INT32((pixels[size_t(i)] >> (16 - 8 * c)) & 0xFF);
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.numresolution = tileSize > 0 && tileSize < 4 ? 1 : 2;
    if (tileSize > 0)
    {
        parameters.tile_size_on = OPJ_TRUE;
        parameters.cp_tdx = parameters.cp_tdy = tileSize;
    }
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &parameters, image);
    J2kOut out;
    opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_FALSE);
    opj_stream_set_user_data(stream, &out, nullptr);
    opj_stream_set_write_function(stream, WriteJ2k);
    opj_stream_set_skip_function(stream, SkipJ2k);
    opj_stream_set_seek_function(stream, SeekJ2k);
    opj_start_compress(codec, image, stream);
    opj_encode(codec, stream);
    opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return out.bytes;
}

} // namespace imagefixture
