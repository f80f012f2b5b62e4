// The sound-file readers of the sound manager and its wave cache.
#include "media/DSoundManager.h"

#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PathUtils.h"
#include "media/FMOD_INSTANCE.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/sound/VorbisDecoder.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace Kavo
{

namespace
{

// FILETIME counts 100 ns from 1601; the file layer counts nanoseconds from 1970.
constexpr uint64_t kFileTimeOf1970 = 116444736000000000ull;

struct PakCloser
{
    void operator()(PakFileHandle* file) const { PakFClose(file); }
};
using PakFilePtr = std::unique_ptr<PakFileHandle, PakCloser>;

// The size of an open file, or -1.
long FileSize(PakFileHandle* file)
{
    long here = PakFTell(file);
    if (here < 0 || PakFSeek(file, 0, SEEK_END) != 0) return -1;
    long size = PakFTell(file);
    return PakFSeek(file, here, SEEK_SET) == 0 ? size : -1;
}

bool ReadBytes(PakFileHandle* file, void* buffer, size_t bytes)
{
    return PakFRead(buffer, 1, bytes, file) == bytes;
}

bool ReadTag(PakFileHandle* file, const char* tag)
{
    char read[4];
    return ReadBytes(file, read, 4) && std::memcmp(read, tag, 4) == 0;
}

bool ReadU16(PakFileHandle* file, uint16_t& value)
{
    uint8_t b[2];
    if (!ReadBytes(file, b, 2)) return false;
    value = platform::LoadLE16(b);
    return true;
}

bool ReadU32(PakFileHandle* file, uint32_t& value)
{
    uint8_t b[4];
    if (!ReadBytes(file, b, 4)) return false;
    value = platform::LoadLE32(b);
    return true;
}

bool ReadBigU32(PakFileHandle* file, uint32_t& value)
{
    uint8_t b[4];
    if (!ReadBytes(file, b, 4)) return false;
    value = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    return true;
}

// The vorbis decoder reads through the archive wrappers.
platform::VorbisCallbacks PakVorbisCallbacks()
{
    platform::VorbisCallbacks c;
    c.read = [](void* buffer, size_t size, size_t count, void* source)
    { return PakFRead(buffer, size, count, static_cast<PakFileHandle*>(source)); };
    c.seek = [](void* source, int64_t offset, int origin)
    {
        if (!source) return -1;
        return PakFSeek(static_cast<PakFileHandle*>(source), long(int32_t(offset)), origin);
    };
    c.close = [](void* source) { return PakFClose(static_cast<PakFileHandle*>(source)); };
    c.tell = [](void* source) { return PakFTell(static_cast<PakFileHandle*>(source)); };
    return c;
}

// One 8-bit mu-law byte as a 16-bit sample. A byte of 128 or more is positive; with the top bit
// set (u from 128 to 255), eight segments of sixteen codes each fall towards silence at 255, the
// step doubling from one segment to the next louder one. The loudest segment runs from 128 to
// 143, so 128 is the loudest code of all.
int16_t MuLawToLinear(uint8_t byte)
{
    const int sign = byte >= 128 ? 1 : -1;
    const int u = byte | 128;
    int magnitude;
    if (u >= 240)
        magnitude = (255 - u) * 2;
    else if (u >= 224)
        magnitude = (247 - u) * 4;
    else if (u >= 208)
        magnitude = (235 - u) * 8;
    else if (u >= 192)
        magnitude = (221 - u) * 16;
    else if (u >= 176)
        magnitude = (206 - u) * 32;
    else if (u >= 160)
        magnitude = 12192 - u * 64;
    else if (u >= 144)
        magnitude = 22368 - u * 128;
    else
        magnitude = 40672 - u * 256;
    return int16_t(magnitude * sign * 4);
}

} // namespace

bool GetFileLastWriteTime(const std::string& path, uint64_t& fileTime)
{
    fileTime = 0;
    platform::FileTimes times;
    if (!platform::GetFileTimes(path, times)) return false;
    fileTime = uint64_t(times.lastWrite / 100) + kFileTimeOf1970;
    return true;
}

std::string DSoundManager::CachePathOf(const std::string& fileName)
{
    return GetAppDataFolder() + "cached\\" + fileName + ".wav";
}

bool DSoundManager::CreateBuffer(int soundId, int channels, uint32_t rate, int bits, uint32_t bytes)
{
    mSourceSounds[soundId].reset();
    mSourceDataSizes[soundId] = bytes;
    platform::SoundBufferDesc desc;
    desc.flags = platform::DSBCAPS_STATIC | platform::DSBCAPS_LOCSOFTWARE | platform::DSBCAPS_CTRLFREQUENCY |
                 platform::DSBCAPS_CTRLPAN | platform::DSBCAPS_CTRLVOLUME | platform::DSBCAPS_GLOBALFOCUS;
    desc.bufferBytes = bytes;
    desc.format.formatTag = 1;
    desc.format.channels = uint16_t(channels);
    desc.format.samplesPerSecond = rate;
    desc.format.blockAlign = uint16_t(channels * bits / 8);
    desc.format.bytesPerSecond = desc.format.blockAlign * rate;
    desc.format.bitsPerSample = uint16_t(bits);
    return mDirectSound->CreateSoundBuffer(desc, mSourceSounds[soundId]) == platform::DS_OK;
}

bool DSoundManager::LoadSoundFile(int soundId, const std::string& fileName)
{
    if (!ValidId(soundId)) return false;
    ReleaseSound(soundId);
    if (!mDirectSound) return true;
    mSourceFileNames[soundId] = fileName;

    std::string cachePath;
    const bool relative =
        fileName.size() > 2 && fileName[0] != '\\' && fileName[0] != '/' && fileName[1] != ':';
    if (relative)
    {
        cachePath = CachePathOf(fileName);
        if (LoadWave(soundId, cachePath)) return true;
        MakeDirectories(GetFileDir(cachePath));
    }
    if (LoadWave(soundId, fileName + ".wav")) return true;
    if (mUseFMod && mFMod && mFMod->IsLoaded() && LoadMp3ThroughFMod(soundId, fileName + ".mp3"))
    {
        WriteCachedWave(soundId, fileName + ".mp3", cachePath);
        return true;
    }
    if (LoadOgg(soundId, fileName + ".ogg"))
    {
        WriteCachedWave(soundId, fileName + ".ogg", cachePath);
        return true;
    }
    if (LoadAu(soundId, fileName + ".au"))
    {
        WriteCachedWave(soundId, fileName + ".au", cachePath);
        return true;
    }
    return false;
}

bool DSoundManager::LoadWave(int soundId, const std::string& path)
{
    if (!ValidId(soundId) || !mDirectSound) return false;
    PakFilePtr file(PakFOpen(path.c_str(), "rb"));
    if (!file) return false;
    const long fileSize = FileSize(file.get());
    uint32_t riffSize = 0;
    if (fileSize < 0 || !ReadTag(file.get(), "RIFF") || !ReadU32(file.get(), riffSize) ||
        !ReadTag(file.get(), "WAVE"))
        return false;

    uint16_t channels = 1, bits = 16;
    uint32_t rate = 22050;
    uint8_t key = 0;
    for (;;)
    {
        char tag[4];
        uint32_t size = 0;
        if (!ReadBytes(file.get(), tag, 4) || !ReadU32(file.get(), size)) return false;
        const long position = PakFTell(file.get());
        if (position < 0 || size > uint64_t(fileSize - position)) return false; // more than the file holds
        if (std::memcmp(tag, "fmt ", 4) == 0)
        {
            uint16_t formatTag = 0, blockAlign = 0;
            uint32_t bytesPerSecond = 0;
            if (size < 16 || !ReadU16(file.get(), formatTag) || !ReadU16(file.get(), channels) ||
                !ReadU32(file.get(), rate) || !ReadU32(file.get(), bytesPerSecond) ||
                !ReadU16(file.get(), blockAlign) || !ReadU16(file.get(), bits))
                return false;
            if (formatTag != 1 || channels == 0 || bits == 0) return false;
        }
        else if (std::memcmp(tag, "dep ", 4) == 0)
        {
            uint16_t length = 0;
            if (!ReadU16(file.get(), length)) return false;
            if (length > 255) length = 255;
            char name[256];
            uint8_t stamp[8];
            if (!ReadBytes(file.get(), name, length) || !ReadBytes(file.get(), stamp, 8)) return false;
            uint64_t sourceTime = 0;
            GetFileLastWriteTime(std::string(name, length), sourceTime);
            if (sourceTime != platform::LoadLE64(stamp))
                return false; // the source changed since the entry was written
        }
        else if (std::memcmp(tag, "xor ", 4) == 0)
        {
            if (!ReadBytes(file.get(), &key, 1)) return false;
        }
        else if (std::memcmp(tag, "data", 4) == 0)
        {
            if (!CreateBuffer(soundId, channels, rate, bits, size)) return false;
            uint8_t* data = nullptr;
            if (mSourceSounds[soundId]->Lock(0, size, data) != platform::DS_OK) return false;
            const bool whole = ReadBytes(file.get(), data, size);
            file.reset();
            if (key)
                for (uint32_t i = 0; i < size; ++i)
                    data[i] ^= key;
            return mSourceSounds[soundId]->Unlock() == platform::DS_OK && whole;
        }
        if (PakFSeek(file.get(), position + long(size), SEEK_SET) != 0) return false;
    }
}

bool DSoundManager::LoadOgg(int soundId, const std::string& path)
{
    if (!ValidId(soundId) || !mDirectSound) return false;
    PakFileHandle* file = PakFOpen(path.c_str(), "rb");
    if (!file) return false;
    const long fileSize = FileSize(file);
    platform::VorbisDecoder decoder;
    if (fileSize < 0 || decoder.Open(file, PakVorbisCallbacks()) < 0)
    {
        PakFClose(file);
        return false;
    }
    // From here the decoder closes the file.
    const int channels = decoder.Channels();
    const uint32_t rate = decoder.Rate();
    const int64_t frames = decoder.PcmTotal();
    // A packet of a byte or two decodes to at most 4096 frames: a length beyond that is a lie.
    const int64_t mostFrames = int64_t(fileSize) * 2048 + 8192;
    if (channels <= 0 || channels > 2 || frames <= 0 || frames > mostFrames ||
        frames > int64_t(platform::DSBSIZE_MAX / (2 * channels)))
        return false;
    const uint32_t bytes = uint32_t(frames * 2 * channels);
    if (!CreateBuffer(soundId, channels, rate, 16, bytes)) return false;
    uint8_t* data = nullptr;
    if (mSourceSounds[soundId]->Lock(0, bytes, data) != platform::DS_OK) return false;
    uint32_t done = 0;
    while (done < bytes)
    {
        const uint32_t missing = bytes - done;
        long n = decoder.Read(reinterpret_cast<char*>(data + done),
                              missing > 0x10000000u ? 0x10000000 : int(missing));
        if (n <= 0) break;
        done += uint32_t(n);
    }
    mSourceSounds[soundId]->Unlock();
    return done == bytes;
}

bool DSoundManager::LoadAu(int soundId, const std::string& path)
{
    if (!ValidId(soundId) || !mDirectSound) return false;
    PakFilePtr file(PakFOpen(path.c_str(), "rb"));
    if (!file) return false;
    const long fileSize = FileSize(file.get());
    uint32_t offset = 0, size = 0, encoding = 0, rate = 0, channels = 0;
    if (fileSize < 0 || !ReadTag(file.get(), ".snd") || !ReadBigU32(file.get(), offset) ||
        !ReadBigU32(file.get(), size) || !ReadBigU32(file.get(), encoding) || !ReadBigU32(file.get(), rate) ||
        !ReadBigU32(file.get(), channels))
        return false;
    if (offset < 24 || offset > uint64_t(fileSize)) return false;
    const uint64_t held = uint64_t(fileSize) - offset;
    if (size == 0xFFFFFFFF) size = uint32_t(held); // "size unknown": the data runs to the end
    if (size > held || channels == 0 || channels > 2) return false;
    if (encoding != 1 && encoding != 2) return false;
    const int bits = encoding == 1 ? 16 : 8;
    const uint64_t bytes = uint64_t(size) * bits / 8;
    if (bytes > platform::DSBSIZE_MAX || PakFSeek(file.get(), long(offset), SEEK_SET) != 0) return false;
    if (!CreateBuffer(soundId, int(channels), rate, bits, uint32_t(bytes))) return false;
    uint8_t* data = nullptr;
    if (mSourceSounds[soundId]->Lock(0, uint32_t(bytes), data) != platform::DS_OK) return false;
    const bool whole = ReadBytes(file.get(), data, size);
    file.reset();
    if (encoding == 2)
    {
        // Signed 8-bit samples become the unsigned form the buffers hold.
        for (uint32_t i = 0; i < size; ++i)
            data[i] ^= 0x80;
    }
    else
    {
        // Expanded in place from the end, so no byte is overwritten before it is read.
        int16_t* samples = reinterpret_cast<int16_t*>(data);
        for (uint32_t i = size; i-- > 0;)
            samples[i] = MuLawToLinear(data[i]);
    }
    return mSourceSounds[soundId]->Unlock() == platform::DS_OK && whole;
}

bool DSoundManager::LoadMp3ThroughFMod(int soundId, const std::string& path)
{
    if (!ValidId(soundId) || !mDirectSound || !mFMod || !mFMod->IsLoaded()) return false;
    platform::FSoundSample* sample = mFMod->FSOUND_Sample_Load(platform::FSOUND_FREE, path.c_str(), 0, 0);
    if (!sample) return false;
    const unsigned mode = mFMod->FSOUND_Sample_GetMode(sample);
    int frequency = 0, volume = 0, pan = 0, priority = 0;
    mFMod->FSOUND_Sample_GetDefaults(sample, &frequency, &volume, &pan, &priority);
    const int channels = (mode & platform::FSOUND_MONO) ? 1 : 2;
    const int bits = (mode & platform::FSOUND_8BITS) ? 8 : 16;
    const uint64_t bytes = uint64_t(mFMod->FSOUND_Sample_GetLength(sample)) * (channels * bits / 8);
    if (bytes > platform::DSBSIZE_MAX || frequency <= 0 ||
        !CreateBuffer(soundId, channels, uint32_t(frequency), bits, uint32_t(bytes)))
    {
        mFMod->FSOUND_Sample_Free(sample);
        return false;
    }
    uint8_t* data = nullptr;
    void* part1 = nullptr;
    void* part2 = nullptr;
    unsigned bytes1 = 0, bytes2 = 0;
    if (mSourceSounds[soundId]->Lock(0, uint32_t(bytes), data) == platform::DS_OK &&
        mFMod->FSOUND_Sample_Lock(sample, 0, int(bytes), &part1, &part2, &bytes1, &bytes2))
    {
        std::memcpy(data, part1, bytes1 < bytes ? bytes1 : size_t(bytes));
        mFMod->FSOUND_Sample_Unlock(sample, part1, part2, bytes1, bytes2);
    }
    mSourceSounds[soundId]->Unlock();
    mFMod->FSOUND_Sample_Free(sample);
    return true;
}

bool DSoundManager::WriteCachedWave(int soundId, const std::string& sourcePath, const std::string& cachePath)
{
    if (cachePath.empty() || !ValidId(soundId) || !mSourceSounds[soundId]) return false;
    const uint32_t dataSize = mSourceDataSizes[soundId];
    uint8_t* data = nullptr;
    if (mSourceSounds[soundId]->Lock(0, dataSize, data) != platform::DS_OK) return false;
    platform::SoundFormat format;
    mSourceSounds[soundId]->GetFormat(format);
    uint64_t sourceTime = 0;
    GetFileLastWriteTime(sourcePath, sourceTime);
    const std::string name = sourcePath.substr(0, 0xFFFF);
    const uint8_t key = PakInterface::kScrambleKey;
    const uint16_t blockAlign = uint16_t(format.channels * format.bitsPerSample / 8);

    std::string file;
    file.reserve(71 + name.size() + dataSize);
    file += "RIFF";
    platform::AppendLE32(file, uint32_t(name.size() + dataSize + 63));
    file += "WAVEfmt ";
    platform::AppendLE32(file, 16);
    platform::AppendLE16(file, 1);
    platform::AppendLE16(file, format.channels);
    platform::AppendLE32(file, format.samplesPerSecond);
    platform::AppendLE32(file, blockAlign * format.samplesPerSecond);
    platform::AppendLE16(file, blockAlign);
    platform::AppendLE16(file, format.bitsPerSample);
    file += "dep ";
    platform::AppendLE32(file, uint32_t(name.size() + 10));
    platform::AppendLE16(file, uint16_t(name.size()));
    file += name;
    platform::AppendLE64(file, sourceTime);
    file += "xor ";
    platform::AppendLE32(file, 1);
    file += char(key);
    file += "data";
    platform::AppendLE32(file, dataSize);
    const size_t start = file.size();
    file.append(reinterpret_cast<const char*>(data), dataSize);
    for (size_t i = start; i < file.size(); ++i)
        file[i] = char(uint8_t(file[i]) ^ key);
    const bool written = platform::WriteFileAtomically(cachePath, file);
    return mSourceSounds[soundId]->Unlock() == platform::DS_OK && written;
}

} // namespace Kavo
