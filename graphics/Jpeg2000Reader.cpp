// JPEG 2000 through the codec module, its entry points looked up by name on first use.
#include "graphics/ImageLib.h"

#include "base/CheckedConversions.h"
#include "base/PakFile.h"
#include "platform/system/Jpeg2000Codec.h"
#include "platform/system/Library.h"

#include <mutex>
#include <vector>

namespace ImageLib
{

namespace
{

using platform::J2KImage;
using platform::J2KStreamCallbacks;

struct Codec
{
    platform::LibraryHandle library = nullptr;
    bool bound = false;
    int (*getVersion)() = nullptr;
    J2KImage* (*openCustom)(void*, const J2KStreamCallbacks*) = nullptr;
    J2KImage* (*openFile)(const char*) = nullptr;
    void (*close)(J2KImage*) = nullptr;
    int (*getInfo)(J2KImage*, int*, int*, int*) = nullptr;
    int (*getResolutionDimensions)(J2KImage*, int, int*, int*) = nullptr;
    int (*decode)(J2KImage*, unsigned char*, int, const char*, int) = nullptr;
    int (*getLastError)() = nullptr;
    const char* (*getErrorStr)(int) = nullptr;
};

Codec gCodec;
std::mutex gCodecLock;

template <typename F>
bool Bind(F& function, const char* name)
{
    function = reinterpret_cast<F>(platform::GetProcAddress(gCodec.library, name));
    return function != nullptr;
}

int SeekCallback(void* user, long offset)
{
    return Kavo::PakFSeek(static_cast<Kavo::PakFileHandle*>(user), offset, SEEK_SET);
}

int ReadCallback(void* buffer, int size, void* user)
{
    if (size <= 0) return 0;
    return int(Kavo::PakFRead(buffer, 1, size_t(size), static_cast<Kavo::PakFileHandle*>(user)));
}

int ReservedCallback(void*)
{
    return 0;
}

} // namespace

void InitJPEG2000()
{
    std::lock_guard<std::mutex> lock(gCodecLock);
    if (!gCodec.library) gCodec.library = platform::LoadLibrary("j2k-codec.dll");
}

void CloseJPEG2000()
{
    std::lock_guard<std::mutex> lock(gCodecLock);
    if (gCodec.library) platform::FreeLibrary(gCodec.library);
    gCodec = Codec();
}

std::unique_ptr<Image> LoadJPEG2000(const std::string& path)
{
    {
        std::unique_lock<std::mutex> lock(gCodecLock);
        if (!gCodec.library) return nullptr;
        if (!gCodec.bound)
        {
            bool all =
                Bind(gCodec.getVersion, "_J2K_getVersion@0") &&
                Bind(gCodec.openCustom, "_J2K_OpenCustom@8") && Bind(gCodec.openFile, "_J2K_OpenFile@4") &&
                Bind(gCodec.close, "_J2K_Close@4") && Bind(gCodec.getInfo, "_J2K_GetInfo@16") &&
                Bind(gCodec.getResolutionDimensions, "_J2K_GetResolutionDimensions@16") &&
                Bind(gCodec.decode, "_J2K_Decode@20") && Bind(gCodec.getLastError, "_J2K_getLastError@0") &&
                Bind(gCodec.getErrorStr, "_J2K_getErrorStr@4");
            if (!all || gCodec.getVersion() < platform::kJ2KVersion)
            {
                lock.unlock();
                CloseJPEG2000();
                return nullptr;
            }
            gCodec.bound = true;
        }
    }

    Kavo::PakFileHandle* file = Kavo::PakFOpen(path.c_str(), "rb");
    if (!file) return nullptr;
    J2KStreamCallbacks callbacks = {SeekCallback, ReadCallback, ReservedCallback};
    // The codec reads through the callbacks until its handle is closed: the file stays open
    // until then.
    J2KImage* j2k = gCodec.openCustom(file, &callbacks);
    if (!j2k)
    {
        gCodec.getErrorStr(gCodec.getLastError()); // the codec's reason; loaders write no message
        Kavo::PakFClose(file);
        return nullptr;
    }

    std::unique_ptr<Image> image;
    int width = 0, height = 0, components = 0;
    if (gCodec.getInfo(j2k, &width, &height, &components) == 0 &&
        gCodec.getResolutionDimensions(j2k, 0, &width, &height) == 0)
    {
        image = std::make_unique<Image>();
        if (!image->Allocate(width, height) ||
            gCodec.decode(j2k, reinterpret_cast<unsigned char*>(image->bits.get()),
                          Kavo::ClampToInt(int64_t(width) * height * 4), "bpp=4,rl=0", width * 4) != 0)
            image.reset();
    }
    gCodec.close(j2k);
    Kavo::PakFClose(file);
    if (image)
    {
        size_t n = size_t(width) * size_t(height);
        for (size_t i = 0; i < n; ++i)
            image->bits[i] |= 0xFF000000;
    }
    return image;
}

} // namespace ImageLib
