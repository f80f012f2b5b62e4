#include "platform/sound/WaveStream.h"

#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform
{

WaveStream::~WaveStream()
{
    if (mFile) std::fclose(mFile);
}

bool WaveStream::OpenFile(const std::string& path)
{
    uint64_t fileSize = 0;
    if (!GetFileSize(path, fileSize) || fileSize > uint64_t(INT32_MAX)) return false;
    mFile = platform::OpenFile(path, "rb");
    if (!mFile) return false;
    uint8_t header[12];
    if (std::fread(header, 1, 12, mFile) != 12 || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    for (;;)
    {
        uint8_t chunk[8];
        if (std::fread(chunk, 1, 8, mFile) != 8) return false;
        const uint32_t size = LoadLE32(chunk + 4);
        const long start = std::ftell(mFile);
        if (start < 0 || size > fileSize - uint64_t(start)) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0)
        {
            uint8_t f[16];
            if (size < 16 || std::fread(f, 1, 16, mFile) != 16) return false;
            mChannels = LoadLE16(f + 2);
            mRate = LoadLE32(f + 4);
            mBits = LoadLE16(f + 14);
            if (LoadLE16(f) != 1 || mChannels < 1 || mChannels > 2 || (mBits != 8 && mBits != 16) ||
                mRate < 100 || mRate > 200000)
                return false;
            haveFormat = true;
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
        {
            if (!haveFormat) return false;
            mDataStart = start;
            mFrames = size / uint32_t(mChannels * mBits / 8);
            return mFrames > 0;
        }
        // Chunks of odd size are followed by a pad byte.
        if (std::fseek(mFile, start + long(size) + long(size & 1), SEEK_SET) != 0) return false;
    }
}

int WaveStream::ReadFrames(int16_t* out, int frames)
{
    if (!mFile || frames <= 0) return 0;
    const int64_t left = mFrames - mPosition;
    const int n = int(std::min<int64_t>(frames, left));
    if (n <= 0) return 0;
    const size_t samples = size_t(n) * size_t(mChannels);
    size_t got = 0;
    if (mBits == 16)
    {
        std::vector<uint8_t> bytes(samples * 2);
        got = std::fread(bytes.data(), 2, samples, mFile);
        for (size_t i = 0; i < got; ++i)
            out[i] = int16_t(LoadLE16(&bytes[2 * i]));
    }
    else
    {
        std::vector<uint8_t> bytes(samples);
        got = std::fread(bytes.data(), 1, samples, mFile);
        for (size_t i = 0; i < got; ++i)
            out[i] = int16_t((int(bytes[i]) - 128) * 256);
    }
    const int read = int(got / size_t(mChannels));
    mPosition += read;
    return read;
}

bool WaveStream::SeekFrame(int64_t frame)
{
    if (!mFile || frame < 0 || frame > mFrames) return false;
    if (std::fseek(mFile, mDataStart + long(frame * mChannels * mBits / 8), SEEK_SET) != 0) return false;
    mPosition = frame;
    return true;
}

} // namespace platform
