// The stand-in JPEG 2000 codec module over OpenJPEG.
#include "platform/system/Jpeg2000Codec.h"

#include "platform/system/LibraryModules.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace platform
{

struct J2KImage
{
    std::string data; // the whole file
    size_t position = 0;
    opj_codec_t* codec = nullptr;
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr; // the header, then the decoded image
    bool decoded = false;

    ~J2KImage()
    {
        if (image) opj_image_destroy(image);
        if (codec) opj_destroy_codec(codec);
        if (stream) opj_stream_destroy(stream);
    }
};

namespace
{

// A codestream may cut its image into tiles as small as one pixel, and the decoder's work grows
// with their number: a few hundred bytes can ask for tens of thousands. Images of any size are
// cut into far fewer.
// The decoder sets up every tile as it reads the header, so they are counted from the image and
// tile size marker first.
constexpr uint64_t kMaxTiles = 1024;

uint32_t Big32(const std::string& d, size_t at)
{
    return uint32_t(uint8_t(d[at])) << 24 | uint32_t(uint8_t(d[at + 1])) << 16 |
           uint32_t(uint8_t(d[at + 2])) << 8 | uint32_t(uint8_t(d[at + 3]));
}

// The number of tiles the codestream's size marker asks for (in a JP2 file, of the codestream
// box), or 0 when the marker cannot be found whole; the decoder judges the rest.
uint64_t TileCount(const std::string& d, bool jp2)
{
    size_t at = 0;
    if (jp2)
    {
        for (;;)
        {
            if (d.size() - at < 8) return 0;
            uint64_t length = Big32(d, at);
            size_t header = 8;
            if (length == 1)
            {
                if (d.size() - at < 16) return 0;
                length = uint64_t(Big32(d, at + 8)) << 32 | Big32(d, at + 12);
                header = 16;
            }
            if (d.compare(at + 4, 4, "jp2c") == 0)
            {
                at += header;
                break;
            }
            if (length < header || length > d.size() - at) return 0;
            at += size_t(length);
        }
    }
    // SOC, SIZ, Lsiz, Rsiz, then the image and tile sizes and offsets.
    if (d.size() - at < 40 || uint8_t(d[at + 2]) != 0xFF || uint8_t(d[at + 3]) != 0x51) return 0;
    const uint64_t width = Big32(d, at + 8), height = Big32(d, at + 12);
    const uint64_t tileWidth = Big32(d, at + 24), tileHeight = Big32(d, at + 28);
    const uint64_t tileX = Big32(d, at + 32), tileY = Big32(d, at + 36);
    if (tileWidth == 0 || tileHeight == 0 || tileX >= width || tileY >= height) return 0;
    return ((width - tileX + tileWidth - 1) / tileWidth) * ((height - tileY + tileHeight - 1) / tileHeight);
}

enum Error
{
    kOk = 0,
    kBadArgument = 1,
    kNotJpeg2000 = 2,
    kBadHeader = 3,
    kDecodeFailed = 4,
    kBufferTooSmall = 5,
    kCannotOpen = 6,
};

thread_local int gLastError = kOk;

int Fail(int error)
{
    gLastError = error;
    return error;
}

void Quiet(const char*, void*) {}

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T bytes, void* user)
{
    J2KImage* j = static_cast<J2KImage*>(user);
    if (j->position >= j->data.size()) return OPJ_SIZE_T(-1);
    size_t n = std::min<size_t>(bytes, j->data.size() - j->position);
    std::memcpy(buffer, j->data.data() + j->position, n);
    j->position += n;
    return n;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T bytes, void* user)
{
    J2KImage* j = static_cast<J2KImage*>(user);
    if (bytes < 0)
    {
        OPJ_OFF_T back = std::min<OPJ_OFF_T>(-bytes, OPJ_OFF_T(j->position));
        j->position -= size_t(back);
        return -back;
    }
    OPJ_OFF_T forward =
        std::min<OPJ_OFF_T>(bytes, OPJ_OFF_T(j->data.size() - std::min(j->position, j->data.size())));
    j->position += size_t(forward);
    return forward;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void* user)
{
    J2KImage* j = static_cast<J2KImage*>(user);
    if (offset < 0 || size_t(offset) > j->data.size()) return OPJ_FALSE;
    j->position = size_t(offset);
    return OPJ_TRUE;
}

// Reads the header of the file held in j; false (with the error set) when it is not one.
J2KImage* OpenData(J2KImage* j)
{
    const std::string& d = j->data;
    auto refuse = [j](int error) -> J2KImage*
    {
        Fail(error);
        delete j;
        return nullptr;
    };
    static const unsigned char kJp2[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const unsigned char kCodestream[4] = {0xFF, 0x4F, 0xFF, 0x51};
    OPJ_CODEC_FORMAT format;
    if (d.size() >= 12 && std::memcmp(d.data(), kJp2, 12) == 0)
        format = OPJ_CODEC_JP2;
    else if (d.size() >= 4 && std::memcmp(d.data(), kCodestream, 4) == 0)
        format = OPJ_CODEC_J2K;
    else
        return refuse(kNotJpeg2000);
    if (TileCount(d, format == OPJ_CODEC_JP2) > kMaxTiles) return refuse(kBadHeader);
    j->codec = opj_create_decompress(format);
    j->stream = opj_stream_create(1 << 16, OPJ_TRUE);
    if (!j->codec || !j->stream) return refuse(kBadHeader);
    opj_set_info_handler(j->codec, Quiet, nullptr);
    opj_set_warning_handler(j->codec, Quiet, nullptr);
    opj_set_error_handler(j->codec, Quiet, nullptr);
    opj_stream_set_user_data(j->stream, j, nullptr);
    opj_stream_set_user_data_length(j->stream, d.size());
    opj_stream_set_read_function(j->stream, StreamRead);
    opj_stream_set_skip_function(j->stream, StreamSkip);
    opj_stream_set_seek_function(j->stream, StreamSeek);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(j->codec, &parameters) || !opj_read_header(j->stream, j->codec, &j->image) ||
        !j->image || j->image->numcomps == 0 || j->image->x1 <= j->image->x0 || j->image->y1 <= j->image->y0)
        return refuse(kBadHeader);
    gLastError = kOk;
    return j;
}

int GetVersion()
{
    return kJ2KVersion;
}

J2KImage* OpenCustom(void* user, const J2KStreamCallbacks* callbacks)
{
    if (!callbacks || !callbacks->read) return Fail(kBadArgument), nullptr;
    J2KImage* j = new J2KImage;
    if (callbacks->seek) callbacks->seek(user, 0);
    char buffer[65536];
    for (;;)
    {
        int n = callbacks->read(buffer, int(sizeof buffer), user);
        if (n <= 0) break;
        j->data.append(buffer, size_t(std::min<int>(n, int(sizeof buffer))));
    }
    return OpenData(j);
}

J2KImage* OpenFile(const char* path)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) return Fail(kCannotOpen), nullptr;
    J2KImage* j = new J2KImage;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        j->data.append(buffer, n);
    std::fclose(file);
    return OpenData(j);
}

void Close(J2KImage* image)
{
    delete image;
}

int GetInfo(J2KImage* j, int* width, int* height, int* components)
{
    if (!j || !j->image) return Fail(kBadArgument);
    if (width) *width = int(j->image->x1 - j->image->x0);
    if (height) *height = int(j->image->y1 - j->image->y0);
    if (components) *components = int(j->image->numcomps);
    return gLastError = kOk;
}

int GetResolutionDimensions(J2KImage* j, int resolution, int* width, int* height)
{
    if (!j || !j->image || resolution < 0 || resolution > 30) return Fail(kBadArgument);
    // Each level halves the size, rounding up.
    int64_t w = int64_t(j->image->x1 - j->image->x0), h = int64_t(j->image->y1 - j->image->y0);
    if (width) *width = int((w + (int64_t(1) << resolution) - 1) >> resolution);
    if (height) *height = int((h + (int64_t(1) << resolution) - 1) >> resolution);
    return gLastError = kOk;
}

// Widened first: a signed sample of up to 31 bits plus its offset does not fit an int.
uint8_t ToByte(const opj_image_comp_t& comp, int sample)
{
    int64_t value = sample;
    if (comp.sgnd) value += int64_t(1) << (comp.prec - 1);
    if (comp.prec > 8)
        value >>= comp.prec - 8;
    else if (comp.prec < 8)
        value *= int64_t(1) << (8 - comp.prec);
    return uint8_t(std::clamp<int64_t>(value, 0, 255));
}

int Decode(J2KImage* j, unsigned char* pixels, int size, const char*, int pitch)
{
    if (!j || !j->image || !pixels) return Fail(kBadArgument);
    int width = int(j->image->x1 - j->image->x0), height = int(j->image->y1 - j->image->y0);
    if (pitch < width * 4 || int64_t(pitch) * height > size) return Fail(kBufferTooSmall);
    if (!j->decoded)
    {
        if (!opj_decode(j->codec, j->stream, j->image) || !opj_end_decompress(j->codec, j->stream))
            return Fail(kDecodeFailed);
        j->decoded = true;
    }
    opj_image_t* image = j->image;
    for (OPJ_UINT32 c = 0; c < image->numcomps; ++c)
    {
        const opj_image_comp_t& comp = image->comps[c];
        if (!comp.data || comp.dx == 0 || comp.dy == 0 || comp.prec == 0 || comp.prec > 31)
            return Fail(kDecodeFailed);
    }
    bool grey = image->numcomps < 3;
    for (int y = 0; y < height; ++y)
    {
        unsigned char* row = pixels + size_t(y) * size_t(pitch);
        for (int x = 0; x < width; ++x)
        {
            uint8_t channel[4] = {0, 0, 0, 255};
            int count = grey ? 1 : std::min<int>(int(image->numcomps), 4);
            for (int c = 0; c < count; ++c)
            {
                const opj_image_comp_t& comp = image->comps[c];
                // Subsampled components cover several pixels each.
                OPJ_UINT32 cx = std::min<OPJ_UINT32>(OPJ_UINT32(x) / comp.dx, comp.w ? comp.w - 1 : 0);
                OPJ_UINT32 cy = std::min<OPJ_UINT32>(OPJ_UINT32(y) / comp.dy, comp.h ? comp.h - 1 : 0);
                if (comp.w == 0 || comp.h == 0) return Fail(kDecodeFailed);
                channel[c] = ToByte(comp, comp.data[size_t(cy) * comp.w + cx]);
            }
            if (grey) channel[1] = channel[2] = channel[0];
            row[x * 4] = channel[2];
            row[x * 4 + 1] = channel[1];
            row[x * 4 + 2] = channel[0];
            row[x * 4 + 3] = channel[3];
        }
    }
    return gLastError = kOk;
}

int GetLastError()
{
    return gLastError;
}

const char* GetErrorStr(int error)
{
    switch (error)
    {
    case kOk:
        return "no error";
    case kBadArgument:
        return "bad argument";
    case kNotJpeg2000:
        return "not a JPEG 2000 file";
    case kBadHeader:
        return "unreadable header";
    case kDecodeFailed:
        return "decoding failed";
    case kBufferTooSmall:
        return "buffer too small";
    case kCannotOpen:
        return "cannot open the file";
    default:
        return "unknown error";
    }
}

template <typename F>
EntryPoint Entry(F* function)
{
    return reinterpret_cast<EntryPoint>(function);
}

} // namespace

const LibraryEntry* Jpeg2000CodecEntries()
{
    static const LibraryEntry entries[] = {
        {"_J2K_getVersion@0", Entry(GetVersion)},
        {"_J2K_OpenCustom@8", Entry(OpenCustom)},
        {"_J2K_OpenFile@4", Entry(OpenFile)},
        {"_J2K_Close@4", Entry(Close)},
        {"_J2K_GetInfo@16", Entry(GetInfo)},
        {"_J2K_GetResolutionDimensions@16", Entry(GetResolutionDimensions)},
        {"_J2K_Decode@20", Entry(Decode)},
        {"_J2K_getLastError@0", Entry(GetLastError)},
        {"_J2K_getErrorStr@4", Entry(GetErrorStr)},
        {nullptr, nullptr},
    };
    return entries;
}

} // namespace platform
