#include "media/FModMusicInterface.h"

#include "base/PathUtils.h"
#include "media/FMOD_INSTANCE.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace Kavo
{

FModMusicInterface::FModMusicInterface(platform::WindowId window) : mFMod(AcquireFModInstance())
{
    (void)window;
}

FModMusicInterface::~FModMusicInterface()
{
    if (mFMod->IsLoaded())
        for (auto& [id, song] : mMusicMap)
            if (song.mHSample)
            {
                mFMod->FSOUND_StopSound(id);
                mFMod->FSOUND_Sample_Free(song.mHSample);
            }
    ReleaseFModInstance();
}

bool FModMusicInterface::IsLoaded() const
{
    return mFMod->IsLoaded();
}

FModSongInfo* FModMusicInterface::Find(int songId)
{
    auto it = mMusicMap.find(songId);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

const FModSongInfo* FModMusicInterface::GetSong(int songId) const
{
    auto it = mMusicMap.find(songId);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

platform::FSoundSample* FModMusicInterface::LoadSample(const std::string& fileName)
{
    if (!mFMod->IsLoaded()) return nullptr;
    // The cache is keyed by the name's whole relative path, so that two folders' files of one
    // name keep apart; a name from the root has no cache entry.
    const bool relative = !fileName.empty() && fileName[0] != '\\' && fileName[0] != '/' &&
                          (fileName.size() < 2 || fileName[1] != ':');
    std::string cachePath;
    if (relative)
    {
        cachePath = GetAppDataFolder() + "cached\\" + fileName + ".wav";
        MakeDirectories(GetFileDir(cachePath));
        if (platform::FSoundSample* cached =
                mFMod->FSOUND_Sample_Load(platform::FSOUND_FREE, cachePath.c_str(), 0, 0))
            return cached;
    }
    const std::string source = fileName + ".ogg";
    platform::FSoundSample* sample = mFMod->FSOUND_Sample_Load(platform::FSOUND_FREE, source.c_str(), 0, 0);
    if (!sample || cachePath.empty()) return sample;

    const unsigned mode = mFMod->FSOUND_Sample_GetMode(sample);
    int frequency = 0;
    mFMod->FSOUND_Sample_GetDefaults(sample, &frequency, nullptr, nullptr, nullptr);
    const uint16_t channels = (mode & platform::FSOUND_MONO) ? 1 : 2;
    const uint16_t bits = (mode & platform::FSOUND_8BITS) ? 8 : 16;
    const uint16_t blockAlign = uint16_t(channels * bits / 8);
    const uint64_t dataSize = uint64_t(mFMod->FSOUND_Sample_GetLength(sample)) * blockAlign;
    void* part1 = nullptr;
    void* part2 = nullptr;
    unsigned bytes1 = 0, bytes2 = 0;
    if (dataSize <= 0x7FFFFFFF &&
        mFMod->FSOUND_Sample_Lock(sample, 0, int(dataSize), &part1, &part2, &bytes1, &bytes2))
    {
        std::string file = "RIFF";
        platform::AppendLE32(file, uint32_t(dataSize + 36));
        file += "WAVEfmt ";
        platform::AppendLE32(file, 16);
        platform::AppendLE16(file, 1);
        platform::AppendLE16(file, channels);
        platform::AppendLE32(file, uint32_t(frequency));
        platform::AppendLE32(file, uint32_t(blockAlign * frequency));
        platform::AppendLE16(file, blockAlign);
        platform::AppendLE16(file, bits);
        file += "data";
        platform::AppendLE32(file, uint32_t(dataSize));
        file.append(static_cast<const char*>(part1), bytes1 < dataSize ? bytes1 : size_t(dataSize));
        platform::WriteFileAtomically(cachePath, file);
        mFMod->FSOUND_Sample_Unlock(sample, part1, part2, bytes1, bytes2);
    }
    return sample;
}

bool FModMusicInterface::LoadSampleSong(int songId, const std::string& fileName, bool loop)
{
    platform::FSoundSample* sample = LoadSample(fileName);
    if (!sample) return false;
    FModSongInfo song;
    song.mHSample = sample;
    song.mRepeats = loop;
    // An id already loaded keeps its song; the new sample is not needed.
    if (!mMusicMap.emplace(songId, song).second) mFMod->FSOUND_Sample_Free(sample);
    return true;
}

bool FModMusicInterface::LoadJoinedSample(int songId, const std::string& intro, const std::string& loopPart,
                                          bool loop)
{
    platform::FSoundSample* first = LoadSample(intro);
    platform::FSoundSample* second = first ? LoadSample(loopPart) : nullptr;
    auto giveUp = [&]
    {
        if (first) mFMod->FSOUND_Sample_Free(first);
        if (second) mFMod->FSOUND_Sample_Free(second);
        return false;
    };
    if (!first || !second) return giveUp();
    int firstRate = 0, secondRate = 0;
    mFMod->FSOUND_Sample_GetDefaults(first, &firstRate, nullptr, nullptr, nullptr);
    mFMod->FSOUND_Sample_GetDefaults(second, &secondRate, nullptr, nullptr, nullptr);
    const unsigned mode = mFMod->FSOUND_Sample_GetMode(first);
    if (firstRate != secondRate || mode != mFMod->FSOUND_Sample_GetMode(second)) return giveUp();
    const unsigned firstLength = mFMod->FSOUND_Sample_GetLength(first);
    const unsigned secondLength = mFMod->FSOUND_Sample_GetLength(second);
    const uint64_t frameBytes =
        ((mode & platform::FSOUND_MONO) ? 1 : 2) * ((mode & platform::FSOUND_8BITS) ? 1 : 2);
    const uint64_t firstBytes = firstLength * frameBytes, secondBytes = secondLength * frameBytes;
    if (uint64_t(firstLength) + secondLength > 0x7FFFFFFF || firstBytes + secondBytes > 0x7FFFFFFF)
        return giveUp();
    platform::FSoundSample* joined =
        mFMod->FSOUND_Sample_Alloc(platform::FSOUND_FREE, int(firstLength + secondLength),
                                   mode | platform::FSOUND_LOOP_NORMAL, firstRate, 255, 128, 0);
    if (!joined) return giveUp();

    // Copies part's bytes into the joined sample at offset.
    auto copy = [&](platform::FSoundSample* part, uint64_t offset, uint64_t bytes)
    {
        void *to1 = nullptr, *to2 = nullptr, *from1 = nullptr, *from2 = nullptr;
        unsigned toBytes1 = 0, toBytes2 = 0, fromBytes1 = 0, fromBytes2 = 0;
        if (!mFMod->FSOUND_Sample_Lock(joined, int(offset), int(bytes), &to1, &to2, &toBytes1, &toBytes2))
            return;
        if (mFMod->FSOUND_Sample_Lock(part, 0, int(bytes), &from1, &from2, &fromBytes1, &fromBytes2))
        {
            std::memcpy(to1, from1, std::min<size_t>(toBytes1, fromBytes1));
            mFMod->FSOUND_Sample_Unlock(part, from1, from2, fromBytes1, fromBytes2);
        }
        mFMod->FSOUND_Sample_Unlock(joined, to1, to2, toBytes1, toBytes2);
    };
    copy(first, 0, firstBytes);
    copy(second, firstBytes, secondBytes);
    mFMod->FSOUND_Sample_Free(first);
    mFMod->FSOUND_Sample_Free(second);
    // The loop is the whole second part: from the intro's end to the last frame.
    mFMod->FSOUND_Sample_SetLoopPoints(joined, int(firstLength), int(firstLength + secondLength - 1));

    FModSongInfo song;
    song.mHSample = joined;
    song.mRepeats = loop;
    if (!mMusicMap.emplace(songId, song).second) mFMod->FSOUND_Sample_Free(joined);
    return true;
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName)
{
    if (!mFMod->IsLoaded()) return false;
    platform::FMusicModule* module = mFMod->FMUSIC_LoadSong(fileName.c_str());
    if (!module) return false;
    FModSongInfo song;
    song.mHMusic = module;
    mMusicMap.emplace(songId, song);
    return true;
}

void FModMusicInterface::ApplyVolume(int songId, const FModSongInfo& song)
{
    if (song.mHMusic)
        mFMod->FMUSIC_SetMasterVolume(song.mHMusic, int(song.mVolume * mMasterVolume * mMusicVolumeScale));
    else
        mFMod->FSOUND_SetVolume(songId, int(song.mVolume * mMasterVolume * mSampleVolumeScale));
}

void FModMusicInterface::StartSample(int songId, const FModSongInfo& song)
{
    mFMod->FSOUND_PlaySound(songId, song.mHSample);
    mFMod->FSOUND_SetLoopMode(songId,
                              song.mRepeats ? platform::FSOUND_LOOP_NORMAL : platform::FSOUND_LOOP_OFF);
}

void FModMusicInterface::StopSong(int songId, const FModSongInfo& song)
{
    if (song.mHMusic)
        mFMod->FMUSIC_StopSong(song.mHMusic);
    else
        mFMod->FSOUND_StopSound(songId);
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    song->mVolume = song->mVolumeCap;
    song->mVolumeAdd = 0.0;
    if (song->mHMusic)
    {
        ApplyVolume(songId, *song);
        mFMod->FMUSIC_SetLooping(song->mHMusic, noLoop ? 0 : 1);
        mFMod->FMUSIC_PlaySong(song->mHMusic);
        mFMod->FMUSIC_SetOrder(song->mHMusic, offset);
    }
    else
    {
        StartSample(songId, *song);
        ApplyVolume(songId, *song);
    }
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    song->mVolumeAdd = speed;
    if (song->mHSample)
    {
        if (!mFMod->FSOUND_IsPlaying(songId)) StartSample(songId, *song);
        ApplyVolume(songId, *song);
        return;
    }
    ApplyVolume(songId, *song);
    mFMod->FMUSIC_SetLooping(song->mHMusic, noLoop ? 0 : 1);
    if (!mFMod->FMUSIC_IsPlaying(song->mHMusic)) mFMod->FMUSIC_PlaySong(song->mHMusic);
    if (offset != -1) mFMod->FMUSIC_SetOrder(song->mHMusic, offset);
}

void FModMusicInterface::FadeOut(int songId, bool stopSong, double speed)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    song->mStopOnFade = stopSong;
    song->mVolumeAdd = -speed;
}

void FModMusicInterface::FadeOutAll(bool stopSong, double speed)
{
    for (auto& [id, song] : mMusicMap)
    {
        song.mStopOnFade = stopSong;
        song.mVolumeAdd = -speed;
    }
}

void FModMusicInterface::Update()
{
    for (auto& [id, song] : mMusicMap)
    {
        if (song.mVolumeAdd == 0.0) continue;
        if (song.StepFade()) StopSong(id, song);
        ApplyVolume(id, song);
    }
}

void FModMusicInterface::StopMusic(int songId)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    song->mVolume = 0.0;
    StopSong(songId, *song);
}

void FModMusicInterface::StopAllMusic()
{
    for (auto& [id, song] : mMusicMap)
    {
        song.mVolume = 0.0;
        StopSong(id, song);
    }
}

void FModMusicInterface::PauseMusic(int songId)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    if (song->mHMusic)
        mFMod->FMUSIC_SetPaused(song->mHMusic, 1);
    else
        mFMod->FSOUND_SetPaused(songId, 1);
}

void FModMusicInterface::ResumeMusic(int songId)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    if (song->mHMusic)
        mFMod->FMUSIC_SetPaused(song->mHMusic, 0);
    else
        mFMod->FSOUND_SetPaused(songId, 0);
}

void FModMusicInterface::SetSongVolume(int songId, double volume)
{
    FModSongInfo* song = Find(songId);
    if (!song) return;
    song->mVolume = volume;
    ApplyVolume(songId, *song);
}

void FModMusicInterface::SetVolume(double volume)
{
    mMasterVolume = volume;
    for (auto& [id, song] : mMusicMap)
        ApplyVolume(id, song);
}

bool FModMusicInterface::IsPlaying(int songId)
{
    FModSongInfo* song = Find(songId);
    if (!song) return false;
    return song->mHMusic ? mFMod->FMUSIC_IsPlaying(song->mHMusic) != 0 : mFMod->FSOUND_IsPlaying(songId) != 0;
}

} // namespace Kavo
