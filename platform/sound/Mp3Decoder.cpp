#include "platform/sound/Mp3Decoder.h"

#include "platform/files/Files.h"

#include <mpg123.h>

#include <cstring>

namespace platform
{

namespace
{

bool Initialise()
{
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

} // namespace

Mp3Decoder::~Mp3Decoder()
{
    if (mHandle)
    {
        mpg123_close(mHandle);
        mpg123_delete(mHandle);
    }
}

bool Mp3Decoder::OpenFile(const std::string& path)
{
    if (!Initialise()) return false;
    int error = MPG123_OK;
    mHandle = mpg123_new(nullptr, &error);
    if (!mHandle) return false;
    mpg123_param(mHandle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Every rate the decoder knows, always 16-bit.
    mpg123_format_none(mHandle);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(mHandle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    const std::string resolved = ResolvePath(path);
    if (mpg123_open(mHandle, resolved.c_str()) != MPG123_OK) return false;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(mHandle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels < 1 ||
        channels > 2)
        return false;
    mRate = uint32_t(rate);
    mChannels = channels;
    return true;
}

int Mp3Decoder::ReadFrames(int16_t* out, int frames)
{
    if (!mHandle || frames <= 0) return 0;
    const size_t wanted = size_t(frames) * size_t(mChannels) * 2;
    size_t got = 0;
    int failures = 0;
    while (got < wanted)
    {
        size_t done = 0;
        const int result =
            mpg123_read(mHandle, reinterpret_cast<unsigned char*>(out) + got, wanted - got, &done);
        got += done;
        if (result == MPG123_DONE) break;
        if (result == MPG123_NEW_FORMAT) continue; // the format stays 16-bit as asked
        if (result != MPG123_OK && (done == 0 && ++failures > 8)) break;
    }
    return int(got / (size_t(mChannels) * 2));
}

bool Mp3Decoder::SeekFrame(int64_t frame)
{
    return mHandle && mpg123_seek(mHandle, off_t(frame), SEEK_SET) >= 0;
}

int64_t Mp3Decoder::LengthFrames()
{
    if (!mHandle) return -1;
    const off_t length = mpg123_length(mHandle);
    return length < 0 ? -1 : int64_t(length);
}

} // namespace platform
